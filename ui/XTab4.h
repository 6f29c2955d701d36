// The update page of the options window.
#pragma once

#include "ui/OptionPage.h"

class CSettings;
class CLanguageTable;

class CXTab4 : public COptionPage {
public:
    CXTab4();
    ~CXTab4() override;

    // The lent objects, set before the page is created.
    void SetConfig(CSettings* pSettings) { m_pSettings = pSettings; }
    void SetLanguage(CLanguageTable* pLanguage) { m_pLanguage = pLanguage; }

    // Called by the options window's OK before the settings are written.
    void SaveSettings();

    CSettings* m_pSettings = nullptr;
    CLanguageTable* m_pLanguage = nullptr;
};
