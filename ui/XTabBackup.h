// The backup and restore page of the options window.
#pragma once

#include "ui/OptionPage.h"

class CSettings;
class CRuleStore;
class CLanguageTable;

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
};
