// The settings page of the options window: start with Windows, overlapping windows, the hotkey
// panel and the action key. Nothing changes before the options window's OK.
#pragma once

#include "framework/AfxCtrl.h"
#include "ui/OptionPage.h"

class CSettings;
class CLanguageTable;

class CXTab3 : public COptionPage {
public:
    CXTab3();
    ~CXTab3() override;

    // The lent objects, set before the page is created.
    void SetConfig(CSettings* pSettings) { m_pSettings = pSettings; }
    void SetLanguage(CLanguageTable* pLanguage) { m_pLanguage = pLanguage; }

    // Shows the stored state: the Run value for start with Windows, the settings for the rest.
    void LoadSettings();
    // Writes the Run value and the four settings fields from the controls.
    void SaveSettings();
    // True when the machine-wide Run key holds our value (whatever path it names).
    static bool IsAutoRun();

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Enter on a page control moves on instead of ending the page.
    void OnOK() override;

    CSettings* m_pSettings = nullptr;
    int m_nExecuteType = 0;
    CButton m_chkAutoRun, m_chkOverlap, m_chkShowHotkey;
    CLanguageTable* m_pLanguage = nullptr;

protected:
    void OnBnClickedRadio() {}

    DECLARE_MESSAGE_MAP()
};
