#include "ui/AddGridTitleDialog.h"

#include "app/LanguageTable.h"
#include "app/core/PathText.h"
#include "res/rule_ids.h"
#include "rules/core/RuleStore.h"
#include "ui/RuleWidgets.h"

namespace {
const int kMsgDeleteItems = 80000;
const int kMsgTitleMissing = 80010;
const int kCaptionInformation = 87000;
const int kHeaderTitle = 87002;
const int kHeaderPath = 87003;
const int kTitleColumnWidth = 640;
}  // namespace

BEGIN_MESSAGE_MAP(CAddGridTitleDialog, CDialogEx)
    ON_NOTIFY(LVN_KEYDOWN, IDC_GT_LIST, &CAddGridTitleDialog::OnLvnKeydownList)
    ON_NOTIFY(LVN_INSERTITEM, IDC_GT_LIST, &CAddGridTitleDialog::OnLvnInsertitemList)
    ON_COMMAND(IDC_GT_ADD, &CAddGridTitleDialog::OnBnClickedAdd)
    ON_COMMAND(IDC_GT_DELETE, &CAddGridTitleDialog::OnBnClickedDelete)
END_MESSAGE_MAP()

CAddGridTitleDialog::CAddGridTitleDialog(CWnd* parent) : CDialogEx(IDD_ADD_GRID_TITLE, parent) {}

CAddGridTitleDialog::~CAddGridTitleDialog() = default;

CString CAddGridTitleDialog::Text(int id) const { return m_pLanguage ? m_pLanguage->GetText(id) : CString(); }

void CAddGridTitleDialog::DoDataExchange(CDataExchange* dx) {
    CDialogEx::DoDataExchange(dx);
    DDX_Control(dx, IDC_GT_TITLE, m_edtTitle);
    DDX_Control(dx, IDC_GT_LIST, m_lstTitle);
    DDX_Control(dx, IDC_GT_REGION, m_stcRegion);
}

BOOL CAddGridTitleDialog::OnInitDialog() {
    CDialogEx::OnInitDialog();
    m_lstTitle.SetReportView();
    m_lstTitle.SetExtendedStyle(m_lstTitle.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_lstTitle.SetMode(FILELIST_MODE_TITLES);
    InitTitleList();
    if (m_pLanguage) m_pLanguage->TranslateWindow(m_hWnd, IDD_ADD_GRID_TITLE);
    return TRUE;
}

BOOL CAddGridTitleDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) return TRUE;
    return CDialogEx::PreTranslateMessage(msg);
}

void CAddGridTitleDialog::InitTitleList() {
    CString region;
    region.Format(L"%d", m_nRegion);
    m_stcRegion.SetWindowText(region);
    m_lstTitle.DeleteAllColumns();
    m_lstTitle.InsertColumn(0, L"", LVCFMT_LEFT, 0);
    m_lstTitle.InsertColumn(1, Text(kHeaderTitle), LVCFMT_LEFT, kTitleColumnWidth);
    m_lstTitle.InsertColumn(2, Text(kHeaderPath), LVCFMT_LEFT, 0);
    LoadTitles();
    ::SetFocus(m_lstTitle);
}

void CAddGridTitleDialog::LoadTitles() {
    m_lstTitle.DeleteAllItems();
    if (!m_pRuleStore) return;
    int count = 0;
    const std::vector<TitleRecord> titles = m_pRuleStore->ReadTitles(m_nScreen, m_nRegion, &count);
    for (size_t i = 0; i < titles.size(); ++i) {
        CString id;
        id.Format(L"%d", titles[i].id);
        const int row = m_lstTitle.InsertItem(static_cast<int>(i), id);
        if (row < 0) continue;
        m_lstTitle.SetItemText(row, 1, FileNameFromPath(titles[i].file_path, 1));
        m_lstTitle.SetItemText(row, 2, titles[i].file_path);
    }
}

void CAddGridTitleDialog::OnBnClickedAdd() {
    const CString title = ruleui::TrimmedText(m_hWnd, IDC_GT_TITLE);
    if (title.IsEmpty()) {
        AfxMessageBox(Text(kMsgTitleMissing), MB_ICONQUESTION);
        ::SetFocus(m_edtTitle);
        return;
    }
    if (m_pRuleStore) {
        int id = 0;
        m_pRuleStore->AddTitle(m_nScreen, m_nRegion, title, &id);
    }
    LoadTitles();
    m_edtTitle.SetWindowText(L"");
}

void CAddGridTitleDialog::OnLvnInsertitemList(NMHDR*, LRESULT* result) {
    *result = 0;
    if (m_lstTitle.m_bDropping != 1 || !m_pRuleStore) return;
    int id = 0;
    m_pRuleStore->AddTitle(m_nScreen, m_nRegion, m_lstTitle.m_strDropPath, &id);
    m_lstTitle.m_strNewId.Format(L"%d", id);
}

void CAddGridTitleDialog::OnLvnKeydownList(NMHDR* hdr, LRESULT* result) { DeleteSelectedTitles(hdr, result); }

void CAddGridTitleDialog::DeleteSelectedTitles(NMHDR* hdr, LRESULT* result) {
    *result = 0;
    if (reinterpret_cast<NMLVKEYDOWN*>(hdr)->wVKey != VK_DELETE) return;
    DeleteSelectedRows();
}

void CAddGridTitleDialog::OnBnClickedDelete() { DeleteSelectedRows(); }

void CAddGridTitleDialog::DeleteSelectedRows() {
    if (m_lstTitle.GetSelectedCount() == 0) return;
    if (AfxShowMessageBox(m_hWnd, Text(kMsgDeleteItems), Text(kCaptionInformation), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    for (int row = m_lstTitle.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_lstTitle.GetNextItem(-1, LVNI_SELECTED)) {
        const int id = _wtoi(m_lstTitle.GetItemText(row, 0));
        if (m_pRuleStore && m_pRuleStore->DeleteTitle(id) == 0) m_lstTitle.DeleteItem(row);
        else m_lstTitle.SetItemState(row, 0, LVIS_SELECTED);  // not deleted: skip it, or the walk never ends
    }
}
