// The exclude list page of the options window.
#pragma once

#include "ui/OptionPage.h"

class CSettings;
class CRuleStore;
class CLanguageTable;

class CXTabExclude : public COptionPage {
public:
    CXTabExclude();
    ~CXTabExclude() override;

    // The lent objects, set before the page is created.
    void SetOptionData(CSettings* pSettings, CRuleStore* pRuleStore) {
        m_pSettings = pSettings;
        m_pRuleStore = pRuleStore;
    }
    void SetLanguage(CLanguageTable* pLanguage) { m_pLanguage = pLanguage; }

    // Column headers in the current language, then the list refilled from the store.
    void TranslateList();
    // TranslateList, then the list takes the focus.
    void ResetList();

    CSettings* m_pSettings = nullptr;
    CRuleStore* m_pRuleStore = nullptr;
    CLanguageTable* m_pLanguage = nullptr;
};
