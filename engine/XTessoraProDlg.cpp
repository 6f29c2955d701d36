#include "engine/XTessoraProDlg.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstdlib>

#include "app/AppFiles.h"
#include "app/LanguageTable.h"
#include "app/Loading.h"
#include "app/Log.h"
#include "app/Settings.h"
#include "app/StartError.h"
#include "engine/ActKeyPanel.h"
#include "res/engine_ids.h"
#include "rules/SqliteLibrary.h"
#include "res/resource.h"
#include "res/ui_ids.h"
#include "ui/AboutDlg.h"
#include "ui/DialogHelpers.h"
#include "ui/OptionDlg.h"

// Counts the running copies of this executable: every process of the same image shares it.
static volatile LONG g_nInstanceCount __attribute__((section("Shared"), shared)) = 0;

BEGIN_MESSAGE_MAP(CXTessoraProDlg, CDialogEx)
    ON_MESSAGE(WM_CREATE, &CXTessoraProDlg::OnCreate)
    ON_MESSAGE(WM_DESTROY, &CXTessoraProDlg::OnDestroy)
    ON_MESSAGE(WM_COPYDATA, &CXTessoraProDlg::OnCopyData)
    ON_MESSAGE(WM_TIMER, &CXTessoraProDlg::OnTimer)
    ON_MESSAGE(WM_OPTIONS_CLOSED, &CXTessoraProDlg::OnOptionClosed)
    ON_MESSAGE(WM_OPTIONS_FREE, &CXTessoraProDlg::OnOptionFree)
    ON_MESSAGE(WM_CONTEXTMENU, &CXTessoraProDlg::OnContextMenu)
    ON_MESSAGE(WM_PAINT, &CXTessoraProDlg::OnPaint)
    ON_MESSAGE(WM_QUERYDRAGICON, &CXTessoraProDlg::OnQueryDragIcon)
    ON_COMMAND(ID_MENU_HIDE, &CXTessoraProDlg::OnMenuHide)
    ON_COMMAND(ID_MENU_OPTION, &CXTessoraProDlg::OnOption)
    ON_COMMAND(ID_TRAY_OPTION, &CXTessoraProDlg::OnOption)
    ON_COMMAND(ID_MENU_EXIT, &CXTessoraProDlg::OnMenuExit)
    ON_COMMAND(ID_APP_ABOUT, &CXTessoraProDlg::OnAbout)
    ON_COMMAND(ID_TRAY_EXIT, &CXTessoraProDlg::OnTrayExit)
    ON_COMMAND(ID_TRAY_HIDE, &CXTessoraProDlg::OnTrayHide)
    ON_COMMAND(IDC_DEBUG_OK, &CXTessoraProDlg::OnDebugExit)
    ON_COMMAND(IDC_DEBUG_EXIT, &CXTessoraProDlg::OnDebugExit)
    ON_COMMAND(IDC_RESTART_HOOK, &CXTessoraProDlg::OnRestartHook)
    ON_COMMAND(IDC_ACTKEY_PANEL, &CXTessoraProDlg::OnActKeyPanelTest)
END_MESSAGE_MAP()

CXTessoraProDlg::CXTessoraProDlg(CWnd* parent) : CDialogEx(IDD_TESSORA_DIALOG, parent) {
    if (InterlockedIncrement(&g_nInstanceCount) > 1) {
        AfxMessageBox(L"The program is already running!", MB_ICONERROR);
        exit(0);
    }
    m_pSettings = new CSettings();
    // the splash hides itself after two seconds and lives, hidden, until the process ends
    m_pLoading = new CLoading(nullptr);
    m_pLoading->Create(IDD_LOADING, this);
    m_pLoading->ShowWindow(SW_SHOW);
    m_hIcon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CXTessoraProDlg::~CXTessoraProDlg() = default;

void CXTessoraProDlg::DoDataExchange(CDataExchange* dx) {
    CDialogEx::DoDataExchange(dx);
    DDX_Control(dx, IDC_STC_WINDOW_SIZE, m_stcWindowSize);
    DDX_Control(dx, IDC_STC_SCREEN_COUNT, m_stcScreenCount);
    DDX_Control(dx, IDC_STC_HOTKEY, m_stcHotkey);
    DDX_Control(dx, IDC_STC_SCREENS, m_stcScreens);
    DDX_Control(dx, IDC_STC_MOUSE_POS, m_stcMousePos);
    DDX_Control(dx, IDC_LIST_WINDOWS, m_listWindows);
}

LRESULT CXTessoraProDlg::OnCreate(WPARAM wp, LPARAM lp) {
    if (DefWindowProc(WM_CREATE, wp, lp) == -1) return -1;
    ModifyStyleEx(0, WS_EX_TOOLWINDOW);
    CTrayIcon::AllowTaskbarCreatedMessage();
    m_trayIcon.SetNotificationWnd(this, WM_TRAYNOTIFY);
    m_trayIcon.SetIcon(IDR_MAINFRAME);
    m_hUser32 = LoadLibraryW(L"User32.DLL");
    if (!m_hUser32) {
        AfxMessageBox(L"User32.dll ERROR!", MB_ICONQUESTION);
        exit(0);
    }
    return 0;
}

BOOL CXTessoraProDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_hDC = ::GetDC(m_hWnd);
    m_nDebugWidth = 400;
    m_nDebugHeight = 300;
    m_bDebug = 0;
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    m_nWorkRight = work.right;
    m_nWorkBottom = work.bottom;
    m_undo.count = 0;
    m_undo.armed = 0;

    CreateWindowUtil();
    m_hook.StartHook(m_hWnd);
    m_hook.setExecuteType(m_pSettings->m_nExecuteHotkeyType);

    if (!m_pLanguage) {
        m_pLanguage = new CLanguageTable;
        m_pLanguage->m_strLanguageName = m_pSettings->m_strLanguage;
    }
    // an unopenable rule database ends the process here with the fatal start-up message
    m_pRuleStore = new CRuleStore(MakeRuleStoreHost(GetModuleDirectory(), [] {
        SetStartErrorText();
        ShowStartErrorAndExit();
    }));

    m_trayIcon.SetSettings(m_pSettings);

    SetWindowPos(HWND_TOP, (m_nWorkRight - m_nDebugWidth) / 2, (m_nWorkBottom - m_nDebugHeight) / 2, 0, 0, 0);

    m_pRuleStore->LoadExcludes();
    m_pExcludes = m_pRuleStore->m_pExcludes;
    CreateActKeyPanel();

    m_pLog = new CLog();
    m_pLog->m_strPrefix = L"Log_";
    m_strLogHead = L"";
    m_strLogTail = L"";
    m_pLog->Log(L"The TESSORA is running...");
    m_strLogHead.Format(L"Option:[L:%s A:%d AU:%d OW:%d EHT:%d SH:%d]", m_pSettings->m_strLanguage.GetString(),
                        m_pSettings->m_nAutomatics, m_pSettings->m_nAutoUpdate, m_pSettings->m_nOverlapWindows,
                        m_pSettings->m_nExecuteHotkeyType + 1, m_pSettings->m_nShowHotkey);
    m_strLogTail.Format(L"%s", m_strLogHead.GetString());
    m_pLog->Log(m_strLogTail);
    m_bStarted = true;
    return TRUE;
}

LRESULT CXTessoraProDlg::OnDestroy(WPARAM wp, LPARAM lp) {
    DefWindowProc(WM_DESTROY, wp, lp);
    m_bStarted = false;
    m_hook.StopHook();
    if (m_hUser32) FreeLibrary(m_hUser32);
    delete m_pSettings;
    m_pSettings = nullptr;
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = m_hWnd;
    nid.uID = IDR_TRAY_ICON;
    Shell_NotifyIconW(NIM_DELETE, &nid);
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
    if (m_pLog) m_pLog->Log(L"The TESSORA is closed.");
    delete m_pLog;
    m_pLog = nullptr;
    exit(0);
}

LRESULT CXTessoraProDlg::OnTimer(WPARAM wp, LPARAM lp) {
    // the timer stays set: the dispatch kills and sets it again for every sequence
    if (wp == IDT_HIDE_ACTKEYPANEL) HideActKeyPanel();
    return DefWindowProc(WM_TIMER, wp, lp);
}

LRESULT CXTessoraProDlg::OnOptionClosed(WPARAM wp, LPARAM) {
    if (wp != 99) return 0;
    m_pRuleStore->LoadExcludes();
    m_pExcludes = m_pRuleStore->m_pExcludes;
    if (m_pOptionDlg) {
        m_pOptionDlg->DestroyWindow();
        // the options window's OK or Cancel handler is still on the stack: free it afterwards
        delete m_pClosedOptionDlg;
        m_pClosedOptionDlg = m_pOptionDlg;
        m_pOptionDlg = nullptr;
        PostMessage(WM_OPTIONS_FREE);
    }
    m_hook.setExecuteType(m_pSettings->m_nExecuteHotkeyType);
    return 0;
}

LRESULT CXTessoraProDlg::OnOptionFree(WPARAM, LPARAM) {
    delete m_pClosedOptionDlg;
    m_pClosedOptionDlg = nullptr;
    return 0;
}

LRESULT CXTessoraProDlg::OnContextMenu(WPARAM, LPARAM lp) {
    m_bShown = 0;
    HMENU menu = LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    if (!menu) return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup) TrackPopupMenu(popup, 0, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    return 0;
}

LRESULT CXTessoraProDlg::OnPaint(WPARAM wp, LPARAM lp) {
    if (!IsIconic(m_hWnd)) return DefWindowProc(WM_PAINT, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rc;
    GetClientRect(&rc);
    int x = (rc.right - rc.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rc.bottom - rc.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CXTessoraProDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

void CXTessoraProDlg::OnMenuHide() {
    ShowWindow(SW_HIDE);
    m_bShown = 0;
    m_trayIcon.SetIcon(IDR_MAINFRAME);
}

void CXTessoraProDlg::OnOption() {
    if (m_pOptionDlg) {
        if (m_pOptionDlg->m_hWnd && ::IsWindow(m_pOptionDlg->m_hWnd)) m_pOptionDlg->ShowWindow(SW_SHOW);
        return;
    }
    m_pOptionDlg = new COptionDlg(m_pSettings, m_pLanguage, m_pRuleStore);
    m_pOptionDlg->Create(IDD_OPTION, this);
    m_pOptionDlg->SetForegroundWindow();
    CenterWindowOnWorkArea(m_pOptionDlg);
    m_pOptionDlg->ShowWindow(SW_SHOW);
}

void CXTessoraProDlg::OnMenuExit() {
    SendMessage(WM_CLOSE);
    exit(0);
}

void CXTessoraProDlg::OnAbout() {
    if (m_pAboutDlg && m_pAboutDlg->m_hWnd && ::IsWindow(m_pAboutDlg->m_hWnd)) {
        if (m_pAboutDlg->IsWindowVisible()) return;
        CenterWindowOnWorkArea(m_pAboutDlg);
        m_pAboutDlg->ShowWindow(SW_SHOW);
        m_pAboutDlg->SetForegroundWindow();
        return;
    }
    if (m_pAboutDlg) {
        AfxMessageBox(L"Have garbage window", MB_ICONQUESTION);
        delete m_pAboutDlg;
        m_pAboutDlg = nullptr;
        return;
    }
    m_pAboutDlg = new CAboutDlg();
    m_pAboutDlg->SetLanguage(m_pLanguage);
    m_pAboutDlg->Create(IDD_ABOUTBOX, this);
    m_pAboutDlg->SetForegroundWindow();
    CenterWindowOnWorkArea(m_pAboutDlg);
    m_pAboutDlg->ShowWindow(SW_SHOW);
}

void CXTessoraProDlg::OnTrayExit() {
    SendMessage(WM_CLOSE);
    // the dialog's own Cancel is disabled above, so the loop is ended here
    EndDialog(IDCANCEL);
}

void CXTessoraProDlg::OnTrayHide() {
    if (m_bShown == 0) {
        m_trayIcon.SetIcon(IDR_MAINFRAME);
        ShowWindow(SW_SHOW);
        SetForegroundWindow();
        m_bShown = 1;
    } else {
        ShowWindow(SW_HIDE);
        m_bShown = 0;
        m_trayIcon.SetIcon(IDR_MAINFRAME);
    }
}

void CXTessoraProDlg::OnDebugExit() { exit(0); }

void CXTessoraProDlg::OnRestartHook() { m_hook.RestoreHook(); }

// The debug view's panel test: the first press makes a fresh panel, later presses show it.
void CXTessoraProDlg::OnActKeyPanelTest() {
    if (!m_bDebugPanelMade) {
        m_bDebugPanelMade = true;
        CreateActKeyPanel();
        return;
    }
    m_pActKeyPanel->m_strActKeyName = L"Alt";
    m_pActKeyPanel->m_strFirstKey = L"1";
    MoveActKeyPanelToWorkArea();
    ShowActKeyPanel();
}
