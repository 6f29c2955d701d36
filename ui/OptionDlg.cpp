#include "ui/OptionDlg.h"

#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "res/ui_ids.h"

BEGIN_MESSAGE_MAP(COptionDlg, CDialogEx)
    ON_MESSAGE(WM_CTLCOLORSTATIC, &COptionDlg::OnCtlColor)
    ON_MESSAGE(WM_CTLCOLORBTN, &COptionDlg::OnCtlColor)
    ON_MESSAGE(WM_CTLCOLORDLG, &COptionDlg::OnCtlColor)
    ON_MESSAGE(WM_CTLCOLOREDIT, &COptionDlg::OnCtlColor)
    ON_MESSAGE(WM_CTLCOLORLISTBOX, &COptionDlg::OnCtlColor)
    ON_MESSAGE(WM_DRAWITEM, &COptionDlg::OnDrawItem)
    ON_MESSAGE(WM_ERASEBKGND, &COptionDlg::OnEraseBkgnd)
    ON_CBN_SELCHANGE(IDC_COMBO_LANGUAGE, &COptionDlg::OnCbnSelchangeLanguage)
    ON_BN_CLICKED(IDC_BTN_OPTION_OK, &COptionDlg::OnBnClickedOk)
    ON_BN_CLICKED(IDC_BTN_OPTION_CANCEL, &COptionDlg::OnBnClickedCancel)
    ON_BN_CLICKED(IDC_BTN_SPLIT_SCREEN_RULE, &COptionDlg::OnBnClickedSplitScreenRule)
    ON_BN_CLICKED(IDC_BTN_USER_DEFINED_RULE, &COptionDlg::OnBnClickedUserDefinedRule)
    ON_BN_CLICKED(IDC_BTN_EXCLUDE, &COptionDlg::OnBnClickedExclude)
    ON_BN_CLICKED(IDC_BTN_SETTINGS, &COptionDlg::OnBnClickedSettings)
    ON_BN_CLICKED(IDC_BTN_UPDATE, &COptionDlg::OnBnClickedUpdate)
    ON_BN_CLICKED(IDC_BTN_BACKUP, &COptionDlg::OnBnClickedBackup)
END_MESSAGE_MAP()

COptionDlg::COptionDlg(CSettings* pSettings, CLanguageTable* pLanguage, CRuleStore* pRuleStore)
    : CDialogEx(IDD_OPTION, nullptr), m_pSettings(pSettings), m_pRuleStore(pRuleStore), m_pLanguage(pLanguage) {}

COptionDlg::~COptionDlg() {
    if (m_hPanelBrush) DeleteObject(m_hPanelBrush);
}

void COptionDlg::DoDataExchange(CDataExchange* dx) {
    CDialogEx::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_PANEL, m_stPanel);
    DDX_Control(dx, IDC_COMBO_LANGUAGE, m_cbLanguage);
    for (int i = 0; i < kPageCount; ++i) DDX_Control(dx, IDC_BTN_SPLIT_SCREEN_RULE + i, m_btnPage[i]);
}

COptionPage* COptionDlg::PageOfButton(int i) {
    COptionPage* pages[kPageCount] = {&m_tab1, &m_tab2, &m_tabExclude, &m_tab3, &m_tab4, &m_tabBackup};
    return i >= 0 && i < kPageCount ? pages[i] : nullptr;
}

BOOL COptionDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    m_hPanelBrush = CreateSolidBrush(kPanelColor);

    m_tab1.SetConfig(m_pSettings);
    m_tab2.SetOptionData(m_pSettings, m_pRuleStore);
    m_tab2.SetLanguage(m_pLanguage);
    m_tab3.SetConfig(m_pSettings);
    m_tab3.SetLanguage(m_pLanguage);
    m_tabExclude.SetOptionData(m_pSettings, m_pRuleStore);
    m_tabExclude.SetLanguage(m_pLanguage);
    m_tab4.SetConfig(m_pSettings);
    m_tab4.SetLanguage(m_pLanguage);
    m_tabBackup.SetConfig(m_pSettings);
    m_tabBackup.SetLanguage(m_pLanguage);
    m_tabBackup.SetRuleStore(m_pRuleStore);

    // creation order; the page table's order differs (exclude is the third button)
    COptionPage* created[kPageCount] = {&m_tab1, &m_tab2, &m_tab3, &m_tabExclude, &m_tab4, &m_tabBackup};
    for (COptionPage* page : created) page->CreatePage(this);

    RECT client = {}, combo = {};
    GetClientRect(&client);
    m_cbLanguage.GetWindowRect(&combo);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&combo), 2);
    const int width = combo.right + 30;

    // the panel sits below every other control so that it never paints over them
    m_stPanel.SetWindowPos(HWND_BOTTOM, 0, 0, width, client.bottom - client.top, SWP_NOACTIVATE);
    for (int i = 0; i < kPageCount; ++i) {
        m_btnPage[i].SetWindowPos(nullptr, 0, 38 * i, width, 37, SWP_NOZORDER | SWP_NOACTIVATE);
        m_btnPage[i].SetTextColor(RGB(255, 255, 255));
        m_btnPage[i].SetFaceColor(i == 0 ? kActiveFace : kIdleFace);
    }
    for (COptionPage* page : created) page->SetWindowPos(nullptr, width, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_tab3.LoadSettings();
    m_tabExclude.ResetList();

    for (COptionPage* page : created) page->ShowWindow(page == &m_tab1 ? SW_SHOW : SW_HIDE);

    const CStringArray names = CLanguageTable::GetLanguageNames();
    for (int i = 0; i < names.GetCount(); ++i) m_cbLanguage.AddString(names.GetAt(i));
    m_cbLanguage.SelectString(-1, m_pSettings ? m_pSettings->m_strLanguage.GetString() : L"English");

    TranslateUI();
    return TRUE;
}

void COptionDlg::ShowPage(int shown) {
    COptionPage* target = PageOfButton(shown);
    COptionPage* order[kPageCount] = {&m_tab1, &m_tab2, &m_tab3, &m_tabExclude, &m_tab4, &m_tabBackup};
    for (COptionPage* page : order) page->ShowWindow(page == target ? SW_SHOW : SW_HIDE);
    for (int i = 0; i < kPageCount; ++i) ::EnableWindow(m_btnPage[i].m_hWnd, i != shown);
    for (int i = 0; i < kPageCount; ++i) {
        m_btnPage[i].SetFaceColor(i == shown ? kActiveFace : kIdleFace, FALSE);
        ::InvalidateRect(m_btnPage[i].m_hWnd, nullptr, TRUE);
        ::UpdateWindow(m_btnPage[i].m_hWnd);
    }
}

void COptionDlg::TranslateUI() {
    if (!m_pLanguage) return;
    m_pLanguage->TranslateWindow(m_hWnd, IDD_OPTION);
    COptionPage* order[kPageCount] = {&m_tab1, &m_tab2, &m_tabExclude, &m_tab3, &m_tab4, &m_tabBackup};
    for (COptionPage* page : order) m_pLanguage->TranslateWindow(page->m_hWnd, -1);
    m_tabExclude.TranslateList();
    // the statics draw on a transparent background: the old text must be erased below them
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void COptionDlg::OnCbnSelchangeLanguage() {
    const int sel = m_cbLanguage.GetCurSel();
    if (sel < 0 || !m_pLanguage) return;
    CString name;
    m_cbLanguage.GetLBText(sel, name);
    m_pLanguage->m_strLanguageName = name;
    TranslateUI();
}

void COptionDlg::OnBnClickedOk() {
    // a stored name that matches no item leaves the combo without a selection: keep that name
    const int sel = m_cbLanguage.GetCurSel();
    if (sel >= 0) m_cbLanguage.GetLBText(sel, m_pSettings->m_strLanguage);
    m_tab3.SaveSettings();
    m_tab4.SaveSettings();
    m_pSettings->Save();
    // the main window destroys this window while handling the message: touch nothing after it
    ::SendMessageW(::GetParent(m_hWnd), WM_OPTIONS_CLOSED, 99, 0);
}

void COptionDlg::OnBnClickedCancel() {
    m_tab3.LoadSettings();
    m_tabExclude.ResetList();
    ::SendMessageW(::GetParent(m_hWnd), WM_OPTIONS_CLOSED, 99, 0);
}

LRESULT COptionDlg::OnCtlColor(WPARAM wp, LPARAM lp) {
    const UINT msg = m_currentMsg.message;
    const LRESULT base = Default();
    HDC dc = reinterpret_cast<HDC>(wp);
    HWND control = reinterpret_cast<HWND>(lp);
    if (control && GetDlgCtrlID(control) == IDC_STATIC_PANEL) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(m_hPanelBrush);
    }
    if (msg == WM_CTLCOLORSTATIC) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    return base;
}

LRESULT COptionDlg::OnDrawItem(WPARAM wp, LPARAM lp) {
    if (AfxDrawOwnerButton(lp)) return TRUE;
    return DefWindowProc(WM_DRAWITEM, wp, lp);
}

LRESULT COptionDlg::OnEraseBkgnd(WPARAM wp, LPARAM lp) {
    const LRESULT erased = DefWindowProc(WM_ERASEBKGND, wp, lp);
    // the label and the notice are transparent: what shows through them must be the panel's colour
    if (m_stPanel.m_hWnd && m_hPanelBrush) {
        RECT panel;
        m_stPanel.GetWindowRect(&panel);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&panel), 2);
        FillRect(reinterpret_cast<HDC>(wp), &panel, m_hPanelBrush);
    }
    return erased;
}
