// The user-defined rules page of the options window.
#pragma once

#include "ui/OptionPage.h"

class CSettings;
class CRuleStore;
class CLanguageTable;

class CXTab2 : public COptionPage {
public:
    CXTab2();
    ~CXTab2() override;

    // The lent objects, set before the page is created.
    void SetOptionData(CSettings* pSettings, CRuleStore* pRuleStore) {
        m_pSettings = pSettings;
        m_pRuleStore = pRuleStore;
    }
    void SetLanguage(CLanguageTable* pLanguage) { m_pLanguage = pLanguage; }

    CSettings* m_pSettings = nullptr;
    CRuleStore* m_pRuleStore = nullptr;
    CLanguageTable* m_pLanguage = nullptr;
};
