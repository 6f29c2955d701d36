#include "ui/XTabExclude.h"

#include <cwchar>

#include "app/AppFiles.h"
#include "app/LanguageTable.h"
#include "res/ui_ids.h"
#include "rules/core/RuleStore.h"
#include "ui/XTabBackup.h"

namespace {

constexpr int kTextExcludeEmpty = 80001;
constexpr int kTextConfirmDelete = 80000;
constexpr int kTextInformation = 87000;
constexpr int kTextColumnMissing = 87001;
constexpr int kTextColumnTitle = 87002;

enum Column { COL_ID = 0, COL_MISSING = 1, COL_TITLE = 2 };

}  // namespace

BEGIN_MESSAGE_MAP(CXTabExclude, COptionPage)
    ON_NOTIFY(LVN_KEYDOWN, IDC_LIST_EXCLUDE, &CXTabExclude::OnLvnKeydownList)
    ON_NOTIFY(LVN_INSERTITEM, IDC_LIST_EXCLUDE, &CXTabExclude::OnLvnInsertitemList)
    ON_BN_CLICKED(IDC_BTN_EXCLUDE_ADD, &CXTabExclude::OnBnClickedAdd)
    ON_BN_CLICKED(IDC_BTN_EXCLUDE_DELETE, &CXTabExclude::OnBnClickedDelete)
    ON_MESSAGE(WM_RULES_RESTORED, &CXTabExclude::OnRulesRestored)
END_MESSAGE_MAP()

CXTabExclude::CXTabExclude() : COptionPage(IDD_XTAB_EXCLUDE) {}

CXTabExclude::~CXTabExclude() = default;

CString CXTabExclude::Text(int id) const { return m_pLanguage ? m_pLanguage->GetText(id) : CString(); }

void CXTabExclude::DoDataExchange(CDataExchange* dx) {
    COptionPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_EDIT_EXCLUDE_TITLE, m_edTitle);
    DDX_Control(dx, IDC_LIST_EXCLUDE, m_listExclude);
}

BOOL CXTabExclude::OnInitDialog() {
    COptionPage::OnInitDialog();
    m_listExclude.SetReportView();
    m_listExclude.SetExtendedStyle(m_listExclude.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_listExclude.SetMode(FILELIST_MODE_EXCLUDE);
    BuildColumns();
    LoadList();
    ::SetFocus(m_listExclude);
    return TRUE;
}

void CXTabExclude::BuildColumns() {
    m_listExclude.DeleteAllColumns();
    // the hidden first column holds the entry's id
    m_listExclude.InsertColumn(COL_ID, L"", LVCFMT_LEFT, 0);
    m_listExclude.InsertColumn(COL_MISSING, Text(kTextColumnMissing), LVCFMT_LEFT, 30);
    m_listExclude.InsertColumn(COL_TITLE, Text(kTextColumnTitle), LVCFMT_LEFT, 686);
}

void CXTabExclude::LoadList() {
    m_listExclude.DeleteAllItems();
    if (!m_pRuleStore) return;
    const std::vector<ExcludeRecord>& entries = m_pRuleStore->LoadExcludes();
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const ExcludeRecord& e = entries[static_cast<size_t>(i)];
        CString id;
        id.Format(L"%d", e.id);
        const int row = m_listExclude.InsertItem(i, id);
        // typed titles (type "0") and one-character extensions are never looked for on disk
        if (!e.file_path.IsEmpty() && e.type.GetLength() > 1 && !FileExists(e.file_path))
            m_listExclude.SetItemText(row, COL_MISSING, L"?");
        m_listExclude.SetItemText(row, COL_TITLE, e.name);
    }
}

void CXTabExclude::TranslateList() {
    BuildColumns();
    LoadList();
}

void CXTabExclude::ResetList() {
    TranslateList();
    ::SetFocus(m_listExclude);
}

void CXTabExclude::OnBnClickedAdd() {
    CString title = m_edTitle.GetWindowText();
    title.Trim();
    if (title.IsEmpty()) {
        const CWndAlive alive(this);
        AfxMessageBox(Text(kTextExcludeEmpty), MB_OK | MB_ICONQUESTION);
        if (alive) ::SetFocus(m_edTitle);
        return;
    }
    int id = 0;
    if (m_pRuleStore) m_pRuleStore->AddExclude(title, &id, 0);
    LoadList();
    m_edTitle.SetWindowText(L"");
}

void CXTabExclude::OnBnClickedDelete() { DeleteSelected(); }

LRESULT CXTabExclude::OnRulesRestored(WPARAM, LPARAM) {
    LoadList();
    return 0;
}

void CXTabExclude::OnLvnKeydownList(NMHDR* hdr, LRESULT* result) {
    if (reinterpret_cast<NMLVKEYDOWN*>(hdr)->wVKey == VK_DELETE) DeleteSelected();
    *result = 0;
}

void CXTabExclude::DeleteSelected() {
    if (m_listExclude.GetSelectedCount() == 0 || !m_pRuleStore) return;
    const CWndAlive alive(this);
    if (AfxShowMessageBox(m_hWnd, Text(kTextConfirmDelete), Text(kTextInformation), MB_YESNO | MB_ICONQUESTION) != IDYES ||
        !alive)
        return;
    // A row whose delete fails is deselected, so that the walk moves on and ends.
    for (int row; (row = m_listExclude.GetNextItem(-1, LVNI_SELECTED)) >= 0;) {
        const int id = static_cast<int>(std::wcstol(m_listExclude.GetItemText(row, COL_ID), nullptr, 10));
        if (m_pRuleStore->DeleteExclude(id) == 0)
            m_listExclude.DeleteItem(row);
        else
            m_listExclude.SetItemState(row, 0, LVIS_SELECTED);
    }
}

void CXTabExclude::OnLvnInsertitemList(NMHDR*, LRESULT* result) {
    if (m_listExclude.m_bDropping && m_pRuleStore) {
        int id = 0;
        m_pRuleStore->AddExclude(m_listExclude.m_strDropPath, &id, 1);
        m_listExclude.m_strNewId.Format(L"%d", id);
    }
    *result = 0;
}
