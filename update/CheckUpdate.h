// The update dialog: created hidden, it downloads the update description on a worker thread,
// reads it, and shows itself with both versions only when a newer version is published.
#pragma once

#include <windows.h>

#include "framework/AfxFile.h"
#include "framework/AfxWin.h"
#include "update/InetFile.h"
#include "update/UpdateFiles.h"

class CLanguageTable;

#define IDT_UPDATE_START 1000
#define UPDATE_XML_JOB 1

class CCheckUpdate : public CDialogEx {
public:
    CCheckUpdate();
    ~CCheckUpdate() override;

    // What both creators do: a new hidden dialog owned by `owner` that runs its own check.
    // The dialog frees itself when its window is destroyed; null when it could not be made.
    static CCheckUpdate* StartCheck(CWnd* owner, CLanguageTable* language);

    void SetLanguageTable(CLanguageTable* language) { m_pLanguage = language; }
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    CInetFiles m_jobs;
    CUpdateFiles m_updateFiles;
    CCriticalSection m_lock;
    CStatic m_stNewVersion;
    CStatic m_stCurrentVersion;
    bool m_bShowErrors = false;
    CLanguageTable* m_pLanguage = nullptr;

protected:
    void OnOK() override;
    void OnCancel() override;
    // Ends a check that is still under way, without waiting for it.
    void StopCheck();
    void OnBnClickedDownload();
    LRESULT OnDownloadDone(WPARAM wp, LPARAM lp);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM wp, LPARAM lp);
    LRESULT OnDestroy(WPARAM wp, LPARAM lp);
    void PostNcDestroy() override;
    bool* m_pFreed = nullptr;  // told when the object is freed during its creation
    // Compares the downloaded description with this program and shows the dialog when a newer
    // version is published.
    void OfferNewerVersion(const CString& descriptionPath);

    DECLARE_MESSAGE_MAP()
};
