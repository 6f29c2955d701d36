#include "ui/XTab2.h"

#include <shellapi.h>

#include "app/LanguageTable.h"
#include "res/ui_ids.h"
#include "ui/AddGridTitleDialog.h"
#include "ui/AddUserDefine.h"
#include "ui/XTabBackup.h"
#include "ui/RuleWidgets.h"

using namespace ruleui;

BEGIN_MESSAGE_MAP(CXTab2, COptionPage)
    ON_COMMAND(IDC_BTN_RULE_ADD, &CXTab2::OnBnClickedAdd)
    ON_COMMAND(IDC_BTN_RULE_EDIT, &CXTab2::OnBnClickedEdit)
    ON_COMMAND_RANGE(IDC_COMBO_RULES, IDC_COMBO_RULES, &CXTab2::OnRuleCommand)
    ON_COMMAND(IDC_CHK_RULE_ACTIVE, &CXTab2::OnBnClickedActive)
    ON_COMMAND(IDC_BTN_RULE_PREV, &CXTab2::OnBnClickedPrevScreen)
    ON_COMMAND(IDC_BTN_RULE_NEXT, &CXTab2::OnBnClickedNextScreen)
    ON_COMMAND_RANGE(kPreviewFirstId, kPreviewFirstId + kMaxRegionButtons, &CXTab2::OnRegionButton)
    ON_MESSAGE(WM_DESTROY, &CXTab2::OnDestroy)
    ON_MESSAGE(WM_RULES_RESTORED, &CXTab2::OnRulesRestored)
    ON_MESSAGE(WM_DROP_REFUSED, &CXTab2::OnDropRefused)
END_MESSAGE_MAP()

CXTab2::CXTab2() : COptionPage(IDD_XTAB2) {}

CXTab2::~CXTab2() {
    DestroyRegionButtons();
    if (m_pRegionFont) DeleteObject(m_pRegionFont);
}

void CXTab2::DoDataExchange(CDataExchange* dx) {
    COptionPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_COMBO_RULES, m_cmbRule);
    DDX_Control(dx, IDC_STC_RULE_HOTKEY_VALUE, m_stcHotkey);
    DDX_Control(dx, IDC_CHK_RULE_ACTIVE, m_chkActive);
    DDX_Control(dx, IDC_STC_RULE_SCREEN_COUNT, m_stcScreen);
    DDX_Control(dx, IDC_BTN_RULE_EDIT, m_btnEdit);
    DDX_Control(dx, IDC_STC_RULE_HOTKEY, m_stcHotkeyLabel);
}

BOOL CXTab2::OnInitDialog() {
    COptionPage::OnInitDialog();
    m_pRegionFont = CreateRegionFont();
    m_nRegionButtons = 0;
    m_nRuleIndex = 0;
    RefreshRule();
    return TRUE;
}

void CXTab2::OnOK() {
    HWND next = ::GetWindow(m_hWnd, GW_HWNDNEXT);
    if (next) ::SetFocus(next);
}

void CXTab2::UpdateScreenCounter() {
    CString text;
    text.Format(L"%d / %d", m_nShownScreen, m_nScreenCount);
    m_stcScreen.SetWindowText(text);
}

void CXTab2::ShowHotkey() {
    m_stcHotkey.SetWindowText(CRuleStore::FormatHotkeyText(m_pRuleStore->GetRuleHotkey(m_nRuleIndex)));
}

bool CXTab2::ListUnreadable(int index) const {
    // The store keeps its cached list when it cannot read the file; an index inside it means the
    // list was not read rather than that the rule went away.
    return m_pRuleStore->m_nRuleRows > index && m_cmbRule.GetCount() > 0;
}

void CXTab2::RefreshRule() {
    if (!m_pRuleStore) return;
    if (!m_pRuleStore->Reload(m_nRuleIndex)) {
        // Another program holds the file: keep showing the rules it held a moment ago.
        if (ListUnreadable(m_nRuleIndex)) return;
        // Another window may have deleted rules meanwhile: fall back to the newest.
        if (m_nRuleIndex != 0) {
            m_nRuleIndex = 0;
            m_pRuleStore->Reload(0);
        }
    }
    m_nShownScreen = 1;
    m_nScreenCount = m_pRuleStore->m_nScreenCount;
    UpdateScreenCounter();
    if (m_pRuleStore->m_nRuleRows == 0) {
        m_cmbRule.ResetContent();
        ::EnableWindow(m_cmbRule, FALSE);
        ::EnableWindow(m_chkActive, FALSE);
        ::EnableWindow(m_btnEdit, FALSE);
        m_stcHotkey.SetWindowText(L"");
        for (int i = 0; i < m_nRegionButtons; ++i) {
            if (!m_pRegionButtons[i]) continue;
            ::EnableWindow(*m_pRegionButtons[i], FALSE);
            m_pRegionButtons[i]->ShowWindow(SW_HIDE);
        }
        return;
    }
    ::EnableWindow(m_btnEdit, TRUE);
    ::EnableWindow(m_cmbRule, TRUE);
    m_cmbRule.ResetContent();
    const std::unique_ptr<CStringArray> names = m_pRuleStore->GetRuleNames();
    for (int i = 0; i < names->GetSize(); ++i) m_cmbRule.AddString((*names)[i]);
    m_cmbRule.SetCurSel(m_nRuleIndex);
    ShowHotkey();
    const DetailRecord detail = m_pRuleStore->ReadDetail(1);
    m_regions = m_pRuleStore->LoadTypes(-1);
    BuildPreview(detail);
}

void CXTab2::DestroyRegionButtons() {
    for (int i = 0; i < m_nRegionButtons && i < kMaxRegionButtons; ++i) {
        if (!m_pRegionButtons[i]) continue;
        if (::IsWindow(*m_pRegionButtons[i])) m_pRegionButtons[i]->DestroyWindow();
        delete m_pRegionButtons[i];
        m_pRegionButtons[i] = nullptr;
    }
    m_nRegionButtons = 0;
}

CMyFileButton* CXTab2::CreateRegionButton(int slot, const CString& caption, const ButtonRect& r) {
    HWND h = ruleui::CreateRegionButton(m_hWnd, kPreviewFirstId + slot, caption, r, m_pRegionFont);
    if (!h) return nullptr;
    CMyFileButton* button = new CMyFileButton();
    button->SubclassWindow(h);
    button->SetStore(m_pRuleStore);
    // a drop binds to the screen this preview shows, not to the last monitor
    button->SetScreen(m_nShownScreen);
    DragAcceptFiles(h, TRUE);
    return button;
}

void CXTab2::BuildPreview(const DetailRecord& detail) {
    DestroyRegionButtons();
    ::EnableWindow(m_chkActive, TRUE);
    if (detail.type_id == 0) {
        ::EnableWindow(m_chkActive, FALSE);
        m_chkActive.SetCheck(BST_UNCHECKED);
        return;
    }
    RECT anchor = ControlRectInParent(m_hWnd, IDC_STC_RULE_HOTKEY);
    const int originX = anchor.left + kPreviewOffsetX;
    const int originY = anchor.top + kPreviewOffsetY;
    const std::vector<TitleRecord> titles = m_pRuleStore->GetScreenTitles(m_nShownScreen);
    for (const RegionNode* node : RegionsOfType(m_regions, detail.type_id)) {
        const int i = m_nRegionButtons;
        const ButtonRect r = RegionButtonRect(originX, originY, kPreviewWidth, kPreviewHeight, *node);
        m_pRegionButtons[i] = CreateRegionButton(i, PreviewCaption(i + 1, titles), r);
        ++m_nRegionButtons;
    }
    const bool active = detail.active == 1;
    m_chkActive.SetCheck(active ? BST_CHECKED : BST_UNCHECKED);
    EnableRegionButtons(active);
}

void CXTab2::EnableRegionButtons(bool enable) {
    for (int i = 0; i < m_nRegionButtons; ++i)
        if (m_pRegionButtons[i]) ::EnableWindow(*m_pRegionButtons[i], enable ? TRUE : FALSE);
}

LRESULT CXTab2::OnRuleCommand(WPARAM wp, LPARAM) {
    if (HIWORD(wp) == CBN_SELCHANGE) OnCbnSelchangeRule();
    return 0;
}

void CXTab2::OnCbnSelchangeRule() {
    const int sel = m_cmbRule.GetCurSel();
    if (sel < 0 || !m_pRuleStore) return;
    if (!m_pRuleStore->Reload(sel) && ListUnreadable(sel)) {
        // the store still has the shown rule current: stay on it
        m_cmbRule.SetCurSel(m_nRuleIndex);
        return;
    }
    m_nShownScreen = 1;
    m_nRuleIndex = sel;
    if (m_pRuleStore->m_nRuleRows <= sel) {
        // the list changed under us: show it as it is now
        m_nRuleIndex = 0;
        RefreshRule();
        return;
    }
    ShowHotkey();
    BuildPreview(m_pRuleStore->ReadDetail(1));
    UpdateScreenCounter();
}

void CXTab2::OnBnClickedActive() {
    if (!m_pRuleStore) return;
    const bool on = m_chkActive.GetCheck() == BST_CHECKED;
    if (m_pRuleStore->SetDetailActive(m_nShownScreen, on ? 1 : 0) == 0) {
        EnableRegionButtons(on);
        return;
    }
    // not stored: show what is (the rule may have been deleted elsewhere)
    m_chkActive.SetCheck(on ? BST_UNCHECKED : BST_CHECKED);
    RefreshRule();
}

// A zone button could not bind a dropped file: the shown rule may be gone.
LRESULT CXTab2::OnDropRefused(WPARAM, LPARAM) {
    RefreshRule();
    return 0;
}

void CXTab2::ShowScreen(int screen) {
    const int clamped = std::max(1, std::min(screen, m_nScreenCount));
    const bool inRange = clamped == screen;
    m_nShownScreen = clamped;
    if (!inRange) {
        UpdateScreenCounter();
        return;
    }
    m_pRuleStore->Reload(m_nRuleIndex);
    UpdateScreenCounter();
    BuildPreview(m_pRuleStore->ReadDetail(m_nShownScreen));
}

void CXTab2::OnBnClickedPrevScreen() { if (m_pRuleStore) ShowScreen(m_nShownScreen - 1); }
void CXTab2::OnBnClickedNextScreen() { if (m_pRuleStore) ShowScreen(m_nShownScreen + 1); }

CWnd* CXTab2::EditorParent() const { return CWnd::FromHandlePermanent(::GetParent(m_hWnd)); }

bool CXTab2::RunRuleEditor(int mode) {
    if (!m_pRuleStore) return false;
    CAddUserDefine dlg(EditorParent());
    m_pRuleStore->m_nEditMode = mode;
    dlg.SetRuleStore(m_pRuleStore);
    dlg.SetLanguage(m_pLanguage);
    const CWndAlive alive(this);
    return dlg.DoModal() == IDOK && alive;  // the caller reads the page again
}

void CXTab2::OnBnClickedAdd() {
    if (!RunRuleEditor(RULE_EDIT_ADD)) return;
    m_nRuleIndex = 0;
    RefreshRule();
}

// a restored database may hold fewer rules: start again from the first
LRESULT CXTab2::OnRulesRestored(WPARAM, LPARAM) {
    m_nRuleIndex = 0;
    RefreshRule();
    return 0;
}

void CXTab2::OnBnClickedEdit() {
    if (!RunRuleEditor(RULE_EDIT_EDIT)) return;
    if (m_pRuleStore->m_nEditMode == RULE_EDIT_DELETED) m_nRuleIndex = 0;
    RefreshRule();
}

LRESULT CXTab2::OnRegionButton(WPARAM wp, LPARAM) {
    const int id = LOWORD(wp);
    if (HIWORD(wp) != BN_CLICKED || id >= kPreviewFirstId + kMaxRegionButtons || !m_pRuleStore) return 0;
    CAddGridTitleDialog dlg(EditorParent());
    dlg.SetOptionData(m_pSettings, m_pRuleStore);
    dlg.SetLanguage(m_pLanguage);
    dlg.m_nScreen = m_nShownScreen;
    dlg.m_nRuleIndex = m_nRuleIndex;
    dlg.m_nRegion = id - (kPreviewFirstId - 1);
    const CWndAlive alive(this);
    if (dlg.DoModal() == IDOK && alive) RefreshRule();
    return 0;
}

LRESULT CXTab2::OnDestroy(WPARAM, LPARAM) {
    DestroyRegionButtons();
    if (m_pRegionFont) DeleteObject(m_pRegionFont);
    m_pRegionFont = nullptr;
    return 0;
}
