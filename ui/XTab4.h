// The update page of the options window: the start-up check switch and "Check Now...".
#pragma once

#include "framework/AfxCtrl.h"
#include "ui/OptionPage.h"

class CSettings;
class CLanguageTable;
class CCheckUpdate;

class CXTab4 : public COptionPage {
public:
    CXTab4();
    ~CXTab4() override;

    // The lent objects, set before the page is created.
    void SetConfig(CSettings* pSettings) { m_pSettings = pSettings; }
    void SetLanguage(CLanguageTable* pLanguage) { m_pLanguage = pLanguage; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Called by the options window's OK before the settings are written.
    void SaveSettings();

    CSettings* m_pSettings = nullptr;
    CButton m_chkAutoUpdate;
    CButton m_btnCheckNow;
    CLanguageTable* m_pLanguage = nullptr;
    // The latest click's dialog; it frees itself with its window (the options window's end).
    CCheckUpdate* m_pCheckUpdate = nullptr;

protected:
    void OnBnClickedCheckNow();

    DECLARE_MESSAGE_MAP()
};
