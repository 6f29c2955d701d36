#include "update/CheckUpdate.h"

#include <shellapi.h>

#include <memory>

#include "app/AppFiles.h"
#include "app/LanguageTable.h"
#include "app/core/PathText.h"
#include "res/update_ids.h"
#include "ui/DialogHelpers.h"
#include "update/core/UpdateText.h"

namespace {
const wchar_t kServerLabel[] = L"Halvenport Server";
}  // namespace

BEGIN_MESSAGE_MAP(CCheckUpdate, CDialogEx)
    ON_COMMAND(IDC_UPD_DOWNLOAD, &CCheckUpdate::OnBnClickedDownload)
    ON_MESSAGE(WM_INETFILE_DONE, &CCheckUpdate::OnDownloadDone)
    ON_MESSAGE(WM_PAINT, &CCheckUpdate::OnPaint)
    ON_MESSAGE(WM_TIMER, &CCheckUpdate::OnTimer)
    ON_MESSAGE(WM_DESTROY, &CCheckUpdate::OnDestroy)
END_MESSAGE_MAP()

CCheckUpdate::CCheckUpdate() : CDialogEx(IDD_CHECK_UPDATE, nullptr) {}

CCheckUpdate::~CCheckUpdate() = default;

CCheckUpdate* CCheckUpdate::StartCheck(CWnd* owner, CLanguageTable* language) {
    CCheckUpdate* dlg = new CCheckUpdate;
    dlg->m_bShowErrors = false;  // a failed check stays silent
    dlg->SetLanguageTable(language);
    bool freed = false;
    dlg->m_pFreed = &freed;
    if (!dlg->Create(IDD_CHECK_UPDATE, owner)) {
        // a window that was made and destroyed again has freed the object already
        if (!freed) delete dlg;
        return nullptr;
    }
    dlg->m_pFreed = nullptr;
    dlg->SetForegroundWindow();
    return dlg;
}

void CCheckUpdate::DoDataExchange(CDataExchange* dx) {
    CDialogEx::DoDataExchange(dx);
    DDX_Control(dx, IDC_UPD_NEW_VERSION, m_stNewVersion);
    DDX_Control(dx, IDC_UPD_CURRENT_VERSION, m_stCurrentVersion);
}

BOOL CCheckUpdate::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SetTimer(IDT_UPDATE_START, 100);
    CServer server;
    server.m_strLabel = kServerLabel;
    server.m_strUrl = TESSORA_UPDATE_XML_URL;

    wchar_t tempDir[MAX_PATH] = {}, tempFile[MAX_PATH] = {};
    const DWORD n = GetTempPathW(MAX_PATH, tempDir);
    m_updateFiles.RemoveAll();
    if (n && n < MAX_PATH && GetTempFileNameW(tempDir, L"Xml", 0, tempFile)) {
        CInetFile* job = new CInetFile;
        job->m_bStatusCallback = true;
        job->m_nJobId = UPDATE_XML_JOB;
        job->m_hNotify = m_hWnd;
        job->m_strUrl = server.m_strUrl;
        job->m_strServerLabel = server.m_strLabel;
        job->m_strLocalPath = tempFile;
        job->m_nMaxBytes = update::kMaxDescriptionBytes;
        m_jobs.Add(job);
    } else {
        KillTimer(IDT_UPDATE_START);  // nowhere to download to: a silent failed check
    }
    if (m_pLanguage) m_pLanguage->TranslateWindow(m_hWnd, IDD_CHECK_UPDATE);
    CenterWindowOnWorkArea(m_hWnd);
    return TRUE;
}

LRESULT CCheckUpdate::OnTimer(WPARAM wp, LPARAM lp) {
    if (wp == IDT_UPDATE_START) {
        CSingleLock lock(&m_lock);
        CInetFile* job = m_jobs.GetFirst();
        if (job && job->m_nStartCount == 0 && !job->Start()) {
            // no thread to be had: a silent failed check, and nothing left behind
            DeleteFileW(job->m_strLocalPath);
            m_jobs.Remove(job);
        }
        KillTimer(IDT_UPDATE_START);  // one start is all it is for
    }
    return DefWindowProc(WM_TIMER, wp, lp);
}

LRESULT CCheckUpdate::OnDownloadDone(WPARAM, LPARAM lp) {
    CSingleLock lock(&m_lock);
    CInetFile* job = reinterpret_cast<CInetFile*>(lp);
    // Only a job of ours whose run has posted its end: anything else is a stray or forged
    // message, and removing a running job here would wait for a worker that waits for us.
    if (!m_jobs.Contains(job) || !job->m_bFinished) return 0;
    if (job->m_nJobId == UPDATE_XML_JOB) {
        if (job->m_nResult != INETERR_SUCCESS) {
            if (m_bShowErrors) AfxShowMessageBox(m_hWnd, job->GetErrorText(), L"ERROR", MB_OK | MB_ICONERROR);
        } else {
            OfferNewerVersion(job->m_strLocalPath);
        }
        DeleteFileW(job->m_strLocalPath);
    }
    m_jobs.Remove(job);
    return 0;
}

void CCheckUpdate::OfferNewerVersion(const CString& descriptionPath) {
    if (!m_updateFiles.LoadXml(descriptionPath)) return;
    const CString current = CAppFiles().GetModuleVersionString(GetModuleHandleW(nullptr));
    wchar_t exePath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    // The program's own entry decides when there is one; another file's version must never be
    // offered as the program's. Without one, the first file that needs an update speaks.
    std::unique_ptr<CUpdateFile> entry(m_updateFiles.PopOwnEntry(FileNameFromPath(exePath, 1)));
    if (entry) {
        if (!entry->NeedsUpdate()) return;
    } else {
        m_updateFiles.CountFilesToUpdate();
        entry.reset(m_updateFiles.PopFront());
        if (!entry) return;
    }
    if (update::IsNewerThanRunning(entry->m_strFileVersion, current)) {
        m_stCurrentVersion.SetWindowText(current);
        m_stNewVersion.SetWindowText(entry->m_strFileVersion);
        ShowWindow(SW_SHOW);
    }
}

void CCheckUpdate::OnBnClickedDownload() {
    ShellExecuteW(nullptr, L"open", TESSORA_DOWNLOAD_URL, nullptr, nullptr, SW_SHOW);
}

LRESULT CCheckUpdate::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    BeginPaint(m_hWnd, &ps);
    EndPaint(m_hWnd, &ps);
    return 0;
}

void CCheckUpdate::PostNcDestroy() {
    if (m_pFreed) *m_pFreed = true;
    delete this;
}

void CCheckUpdate::StopCheck() {
    KillTimer(IDT_UPDATE_START);
    // A job still queued is handed off: it ends and removes its temporary file on its own, so
    // closing never waits for the network here.
    CSingleLock lock(&m_lock);
    while (CInetFile* job = m_jobs.GetFirst()) {
        m_jobs.Detach(job);
        CInetFile::Abandon(job, true);
    }
}

// Closing only hides a modeless dialog; a check nobody will see has no reason to read on.
void CCheckUpdate::OnOK() {
    CDialogEx::OnOK();
    StopCheck();
}

void CCheckUpdate::OnCancel() {
    CDialogEx::OnCancel();
    StopCheck();
}

LRESULT CCheckUpdate::OnDestroy(WPARAM wp, LPARAM lp) {
    StopCheck();
    return DefWindowProc(WM_DESTROY, wp, lp);
}
