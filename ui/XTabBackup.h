// The backup and restore page of the options window: the rule database copied to a file of the
// user's choice, and a checked backup put back in its place while the program runs.
#pragma once

#include "framework/AfxCtrl.h"
#include "ui/OptionPage.h"

class CSettings;
class CRuleStore;
class CLanguageTable;

// Sent to every sibling page after a restore: the rule store now holds other rules, and rows or
// ids a page shows from the old file must be read again.
constexpr UINT WM_RULES_RESTORED = WM_APP + 0x231;

class CXTabBackup : public COptionPage {
public:
    CXTabBackup();
    ~CXTabBackup() override;

    // The lent objects, set before the page is created.
    void SetConfig(CSettings* pSettings) { m_pSettings = pSettings; }
    void SetLanguage(CLanguageTable* pLanguage) { m_pLanguage = pLanguage; }
    // A restore must close and reopen the store's connection around the copy.
    void SetRuleStore(CRuleStore* pRuleStore) { m_pRuleStore = pRuleStore; }

    CSettings* m_pSettings = nullptr;
    CLanguageTable* m_pLanguage = nullptr;
    CRuleStore* m_pRuleStore = nullptr;
    CEdit m_edRestorePath;
    CButton m_btnStartRestore;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnBnClickedBackup();
    void OnBnClickedBrowse();
    void OnBnClickedStartRestore();
    DECLARE_MESSAGE_MAP()

private:
    CString Text(int id) const;
    int PageBox(int textId, UINT type);
    // A usable rule database that is not the one in use.
    bool IsRestorable(const CString& path) const;
    void ClearChoice();
};
