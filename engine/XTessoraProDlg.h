// The hidden main window: owns everything that lives as long as the program, receives the
// hook library's key sequences and the tray commands.
#pragma once

#include <windows.h>

#include "engine/core/EngineTypes.h"
#include "engine/core/HotkeyDispatch.h"
#include "engine/core/Placement.h"
#include "engine/TrayIcon.h"
#include "framework/AfxList.h"
#include "framework/AfxWin.h"
#include "hook/Tarnquilcore.h"

class CSettings;
class CLog;
class CLanguageTable;
class CRuleStore;
class CLoading;
class CAboutDlg;
class COptionDlg;
class CActKeyPanel;
class CWindowUtil;
class CCheckUpdate;
struct ExcludeRecord;
struct ActiveDetailRecord;

#define WM_TRAYNOTIFY (WM_USER + 100)
#define WM_OPTIONS_CLOSED (WM_USER + 103)
// Posted to itself: frees a closed options window once its OK or Cancel handler has returned.
#define WM_OPTIONS_FREE (WM_USER + 104)
#define IDT_HIDE_ACTKEYPANEL 5

class CXTessoraProDlg : public CDialogEx {
public:
    explicit CXTessoraProDlg(CWnd* parent = nullptr);
    ~CXTessoraProDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Enter and Escape reach this invisible window after a tray double click: they must not
    // end the program. Tray "Exit" ends the loop itself.
    void OnOK() override {}
    void OnCancel() override {}

    CTarnquilcore m_hook;
    HDC m_hDC = nullptr;
    HMODULE m_hUser32 = nullptr;
    HICON m_hIcon = nullptr;
    CTrayIcon m_trayIcon{134};
    int m_bShown = 0;
    COptionDlg* m_pOptionDlg = nullptr;
    CLoading* m_pLoading = nullptr;
    CAboutDlg* m_pAboutDlg = nullptr;
    CLog* m_pLog = nullptr;
    CSettings* m_pSettings = nullptr;
    CActKeyPanel* m_pActKeyPanel = nullptr;
    CRuleStore* m_pRuleStore = nullptr;
    // the store's exclude list as last loaded; the layouts read the store's own array afresh
    const ExcludeRecord* m_pExcludes = nullptr;
    ActiveDetailRecord* m_pRuleDetails = nullptr;
    int m_nScreenCount = 0;
    int m_bReady = 1;
    CString m_strLogHead, m_strLogTail;
    int m_nMaxPlacements = 100;
    CWindowUtil* m_pWindowUtil = nullptr;
    int m_nDebugWidth = 400, m_nDebugHeight = 300;
    int m_nWorkRight = 0, m_nWorkBottom = 0;
    CString m_strActKey, m_strKey2, m_strKey1;
    CLanguageTable* m_pLanguage = nullptr;
    int m_bDebug = 0;
    engine::UndoMemory m_undo;
    engine::PlacementArray m_placements;
    CStatic m_stcScreenCount, m_stcHotkey, m_stcWindowSize, m_stcScreens, m_stcMousePos;
    CListCtrl m_listWindows;
    engine::ScreenRect m_screens[engine::kMaxScreens];
    int m_nCurScreen = 0;
    CCheckUpdate* m_pCheckUpdate = nullptr;

protected:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnCopyData(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnOptionClosed(WPARAM, LPARAM);
    LRESULT OnOptionFree(WPARAM, LPARAM);
    // A closed options window waiting for WM_OPTIONS_FREE.
    COptionDlg* m_pClosedOptionDlg = nullptr;
    LRESULT OnContextMenu(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM, LPARAM);
    void OnMenuHide();
    void OnOption();
    void OnMenuExit();
    void OnAbout();
    void OnTrayExit();
    void OnTrayHide();
    void OnDebugExit();
    void OnRestartHook();
    void OnActKeyPanelTest();

    // False until the start-up has created everything a key sequence touches.
    bool m_bStarted = false;
    // The debug view's panel button has made its own panel.
    bool m_bDebugPanelMade = false;

    // ---- hotkey dispatch and layouts (engine/HotkeyDispatch.cpp, engine/LayoutRunner.cpp) ----
public:
    void SplitScreenGrid(int rows, int columns, int reserved);
    void SplitScreenUserDefined(int mode, int ruleId);
    void UndoLayout();
    // The debug view's display operations; the view is never switched on.
    void ShowScreenInfo() {}
    void UpdateDebugWindowList() {}
    void AddDebugWindowRow() {}
    // Start-up: the window filters (before the hook starts) and the hidden hotkey panel.
    void CreateWindowUtil();
    void CreateActKeyPanel();
    // The hotkey panel, when it exists: hidden; placed on the work area and redrawn; shown.
    void HideActKeyPanel();
    void MoveActKeyPanelToWorkArea();
    void ShowActKeyPanel();
    // The exclude list's names as the layouts test them: the rule store's current array, read
    // afresh for each layout (the array is replaced whenever the exclude page refills it).
    std::vector<CString> CurrentExcludeNames() const;
    // Moves that the last layout or undo could not make (windows closed or minimised meanwhile).
    int m_nLastMoveFailures = 0;
    // Stage 2 of one sequence: the layout, then the panel, then RestoreHook.
    void RunSequence(const engine::HotkeyDecision& d);
    // The newest complete sequence that arrived while another one was being carried out.
    unsigned char m_pendingSequence[3] = {};
    bool m_bSequencePending = false;

    DECLARE_MESSAGE_MAP()
};
