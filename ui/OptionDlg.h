// The options window: a dark side panel with six page buttons, the language combo, OK and
// Cancel, and six pages that share the area to the right of the panel. Modeless; the main
// window creates it on the Option command and destroys it when OK or Cancel report back.
#pragma once

#include "framework/AfxCtrl.h"
#include "ui/XTab1.h"
#include "ui/XTab2.h"
#include "ui/XTab3.h"
#include "ui/XTab4.h"
#include "ui/XTabBackup.h"
#include "ui/XTabExclude.h"

class CSettings;
class CLanguageTable;
class CRuleStore;

// Sent to the main window by OK and Cancel (wParam 99, lParam 0).
#ifndef WM_OPTIONS_CLOSED
#define WM_OPTIONS_CLOSED (WM_USER + 103)
#endif

class COptionDlg : public CDialogEx {
public:
    static constexpr int kPageCount = 6;
    static constexpr COLORREF kPanelColor = RGB(80, 80, 80);
    static constexpr COLORREF kActiveFace = RGB(0, 102, 204);
    static constexpr COLORREF kIdleFace = RGB(50, 50, 50);

    // The three objects are lent by the main window and never deleted here.
    COptionDlg(CSettings* pSettings, CLanguageTable* pLanguage, CRuleStore* pRuleStore);
    ~COptionDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Puts the current language's texts on the window and all pages.
    void TranslateUI();

    CSettings* m_pSettings;
    CXTab1 m_tab1;
    CXTab2 m_tab2;
    CXTab3 m_tab3;
    CXTab4 m_tab4;
    CXTabExclude m_tabExclude;
    CXTabBackup m_tabBackup;
    CRuleStore* m_pRuleStore;
    CComboBox m_cbLanguage;
    CStatic m_stPanel;
    CLanguageTable* m_pLanguage;
    CMFCButton m_btnPage[kPageCount];

protected:
    LRESULT OnCtlColor(WPARAM wp, LPARAM lp);
    LRESULT OnDrawItem(WPARAM wp, LPARAM lp);
    LRESULT OnEraseBkgnd(WPARAM wp, LPARAM lp);
    void OnCbnSelchangeLanguage();
    void OnBnClickedOk();
    void OnBnClickedCancel();
    void OnBnClickedSplitScreenRule() { ShowPage(0); }
    void OnBnClickedUserDefinedRule() { ShowPage(1); }
    void OnBnClickedExclude() { ShowPage(2); }
    void OnBnClickedSettings() { ShowPage(3); }
    void OnBnClickedUpdate() { ShowPage(4); }
    void OnBnClickedBackup() { ShowPage(5); }

    // The page of button i (the column order of the side panel).
    COptionPage* PageOfButton(int i);
    // Shows the page of button i, hides the others and marks its button as the active one.
    void ShowPage(int i);

    HBRUSH m_hPanelBrush = nullptr;  // kept for the life of the window

    DECLARE_MESSAGE_MAP()
};
