#include "ui/XTabBackup.h"

#include "app/AppFiles.h"
#include "app/LanguageTable.h"
#include "framework/AfxFileDlg.h"
#include "res/ui_ids.h"
#include "rules/RuleFiles.h"
#include "rules/core/RuleStore.h"

namespace {

constexpr int kTextSaved = 80005;
constexpr int kTextSaveFailed = 80006;
constexpr int kTextWrongFile = 80007;
constexpr int kTextRestored = 80008;
constexpr int kTextConfirmRestore = 80009;
constexpr int kTextInformation = 87000;

const wchar_t kBackupName[] = L"TessoraRule.data";
const wchar_t kBackupExt[] = L"data";
const wchar_t kBackupFilter[] = L"Data File (*.data)|*.data||";
const wchar_t kStartDir[] = L"C:\\";

}  // namespace

BEGIN_MESSAGE_MAP(CXTabBackup, COptionPage)
    ON_BN_CLICKED(IDC_BTN_BACKUP_RULE, &CXTabBackup::OnBnClickedBackup)
    ON_BN_CLICKED(IDC_BTN_BROWSE_RESTORE, &CXTabBackup::OnBnClickedBrowse)
    ON_BN_CLICKED(IDC_BTN_START_RESTORE, &CXTabBackup::OnBnClickedStartRestore)
END_MESSAGE_MAP()

CXTabBackup::CXTabBackup() : COptionPage(IDD_XTAB_BACKUP) {}

CXTabBackup::~CXTabBackup() = default;

CString CXTabBackup::Text(int id) const { return m_pLanguage ? m_pLanguage->GetText(id) : CString(); }

int CXTabBackup::PageBox(int textId, UINT type) {
    return AfxShowMessageBox(m_hWnd, Text(textId), Text(kTextInformation), type);
}

void CXTabBackup::DoDataExchange(CDataExchange* dx) {
    COptionPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_EDIT_RESTORE_PATH, m_edRestorePath);
    DDX_Control(dx, IDC_BTN_START_RESTORE, m_btnStartRestore);
}

void CXTabBackup::OnOK() {
    HWND next = ::GetWindow(m_hWnd, GW_HWNDNEXT);
    if (next) ::SetFocus(next);
}

void CXTabBackup::OnBnClickedBackup() {
    // "data" rather than a folder as the default extension, so that a name typed without one
    // still matches the filter when it is restored
    CFileDialog dialog(FALSE, kBackupExt, kBackupName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kBackupFilter);
    dialog.m_ofn.lpstrInitialDir = kStartDir;
    // every modal call below may outlive the page (a closing message from elsewhere)
    const CWndAlive alive(this);
    if (dialog.DoModal() != IDOK || !alive) return;
    const CString destination = dialog.GetPathName();
    const CString source = CAppFiles().GetAppFilePath(RULE_DB_FILE_NAME);
    // a copy of the database onto itself would empty it
    if (!FileExists(source) || MakeRestoreFiles().sameFile(source, destination) ||
        !CopyFileW(source, destination, FALSE)) {
        AfxMessageBox(Text(kTextSaveFailed), MB_ICONERROR);
        return;
    }
    PageBox(kTextSaved, MB_ICONINFORMATION);
}

bool CXTabBackup::IsRestorable(const CString& path) const {
    return m_pRuleStore && !MakeRestoreFiles().sameFile(path, m_pRuleStore->DatabasePath()) &&
           m_pRuleStore->CheckRuleFile(path) == 0;
}

void CXTabBackup::ClearChoice() {
    m_edRestorePath.SetWindowText(L"");
    ::EnableWindow(m_btnStartRestore, FALSE);
}

void CXTabBackup::OnBnClickedBrowse() {
    ClearChoice();
    CFileDialog dialog(TRUE, kBackupExt, nullptr, OFN_READONLY | OFN_HIDEREADONLY, kBackupFilter);
    dialog.m_ofn.lpstrInitialDir = kStartDir;
    const CWndAlive alive(this);
    if (dialog.DoModal() != IDOK || !alive) return;
    const CString path = dialog.GetPathName();
    if (!IsRestorable(path)) {
        AfxMessageBox(Text(kTextWrongFile), MB_ICONERROR);
        if (alive) ClearChoice();
        return;
    }
    ::EnableWindow(m_btnStartRestore, TRUE);
    m_edRestorePath.SetWindowText(path);
}

void CXTabBackup::OnBnClickedStartRestore() {
    const CString path = m_edRestorePath.GetWindowText();
    const CWndAlive alive(this);
    // checked again: the file may have changed since it was chosen
    if (!IsRestorable(path)) {
        AfxMessageBox(Text(kTextWrongFile), MB_ICONERROR);
        if (alive) ClearChoice();
        return;
    }
    if (PageBox(kTextConfirmRestore, MB_YESNO | MB_ICONQUESTION) != IDYES || !alive) return;
    switch (RestoreRuleDatabase(*m_pRuleStore, path, MakeRestoreFiles())) {
    case RestoreResult::Restored:
        ClearChoice();
        // the other pages show rows and ids of the old file
        for (HWND page = ::GetWindow(::GetParent(m_hWnd), GW_CHILD); page; page = ::GetWindow(page, GW_HWNDNEXT))
            if (page != m_hWnd) ::SendMessageW(page, WM_RULES_RESTORED, 0, 0);
        PageBox(kTextRestored, MB_ICONINFORMATION);
        break;
    case RestoreResult::WrongFile:
        AfxMessageBox(Text(kTextWrongFile), MB_ICONERROR);
        if (alive) ClearChoice();
        break;
    case RestoreResult::Failed:
        // the old rules are still in use; the choice stays, so that the user can try again
        AfxMessageBox(Text(kTextSaveFailed), MB_ICONERROR);
        break;
    }
}
