// The exclude list page of the options window: titles typed here and files dropped on the list
// name windows that no layout moves. Every change goes to the rule store at once.
#pragma once

#include "ui/MyFileListCtrl.h"
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

    // Rows refilled from the store.
    void LoadList();
    // Column headers in the current language, then the list refilled from the store.
    void TranslateList();
    // TranslateList, then the list takes the focus.
    void ResetList();

    CSettings* m_pSettings = nullptr;
    CRuleStore* m_pRuleStore = nullptr;
    CLanguageTable* m_pLanguage = nullptr;
    CEdit m_edTitle;
    CMyFileListCtrl m_listExclude;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnLvnKeydownList(NMHDR* hdr, LRESULT* result);
    void OnLvnInsertitemList(NMHDR* hdr, LRESULT* result);
    void OnBnClickedAdd();
    void OnBnClickedDelete();
    LRESULT OnRulesRestored(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    CString Text(int id) const;
    void BuildColumns();
    void DeleteSelected();
};
