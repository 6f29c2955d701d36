// The user-defined rules page of the options window: the rule list, the shown rule's hotkey and
// Active switch, and a preview of its layout on the shown screen as numbered zone buttons. A zone
// button opens the zone title editor and binds files dropped on it. Every change is stored at once.
#pragma once

#include <vector>

#include "framework/AfxCtrl.h"
#include "rules/core/RuleStore.h"
#include "ui/OptionPage.h"
#include "ui/MyFileButton.h"
#include "ui/core/RuleLayout.h"

class CSettings;
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

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Enter on a page control moves on instead of ending the page.
    void OnOK() override;

    // Reloads the rule list and shows rule m_nRuleIndex on screen 1.
    void RefreshRule();
    // Rebuilds the zone buttons for one screen's detail (its type id and active flag).
    void BuildPreview(const DetailRecord& detail);
    void UpdateScreenCounter();
    void DestroyRegionButtons();

    CSettings* m_pSettings = nullptr;
    CLanguageTable* m_pLanguage = nullptr;
    int m_nScreenCount = 0;
    CRuleStore* m_pRuleStore = nullptr;
    int m_nRuleIndex = 0;
    CComboBox m_cmbRule;
    CStatic m_stcHotkey;
    CButton m_chkActive;
    CStatic m_stcScreen;
    CButton m_btnEdit;
    CMyFileButton* m_pRegionButtons[ruleui::kMaxRegionButtons] = {};
    HFONT m_pRegionFont = nullptr;
    int m_nRegionButtons = 0;
    RegionList m_regions;
    int m_nShownScreen = 1;
    CStatic m_stcHotkeyLabel;

protected:
    void OnBnClickedAdd();
    void OnBnClickedEdit();
    void OnBnClickedActive();
    void OnBnClickedPrevScreen();
    void OnBnClickedNextScreen();
    LRESULT OnRuleCommand(WPARAM wp, LPARAM lp);
    LRESULT OnRegionButton(WPARAM wp, LPARAM lp);
    LRESULT OnDestroy(WPARAM wp, LPARAM lp);
    LRESULT OnRulesRestored(WPARAM wp, LPARAM lp);
    LRESULT OnDropRefused(WPARAM wp, LPARAM lp);

    DECLARE_MESSAGE_MAP()

private:
    void OnCbnSelchangeRule();
    // True when Reload(index) failed because the rule list could not be read.
    bool ListUnreadable(int index) const;
    void ShowHotkey();
    void ShowScreen(int screen);
    void EnableRegionButtons(bool enable);
    CMyFileButton* CreateRegionButton(int slot, const CString& caption, const ruleui::ButtonRect& r);
    CWnd* EditorParent() const;
    // The rule editor in add or edit mode; true when it ended with OK.
    bool RunRuleEditor(int mode);
};
