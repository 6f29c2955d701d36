// The zone title editor: the window titles and dropped files bound to one zone of one screen of
// the rules page's current rule. Every Add, Delete and drop is stored at once.
#pragma once

#include "framework/AfxWin.h"
#include "ui/MyFileListCtrl.h"

class CSettings;
class CRuleStore;
class CLanguageTable;

class CAddGridTitleDialog : public CDialogEx {
public:
    explicit CAddGridTitleDialog(CWnd* parent = nullptr);
    ~CAddGridTitleDialog() override;

    void SetOptionData(CSettings* pSettings, CRuleStore* pRuleStore) {
        m_pSettings = pSettings;
        m_pRuleStore = pRuleStore;
    }
    void SetLanguage(CLanguageTable* pLanguage) { m_pLanguage = pLanguage; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Enter and Escape do nothing here: the list and the edit keep the focus.
    BOOL PreTranslateMessage(MSG* msg) override;

    void InitTitleList();
    void LoadTitles();
    // Deletes the selected bindings after one question; the Delete key's path.
    void DeleteSelectedTitles(NMHDR* hdr, LRESULT* result);

    CSettings* m_pSettings = nullptr;
    CRuleStore* m_pRuleStore = nullptr;
    CLanguageTable* m_pLanguage = nullptr;
    CEdit m_edtTitle;
    int m_nScreen = 1;
    int m_nRuleIndex = 0;
    int m_nRegion = 1;
    CMyFileListCtrl m_lstTitle;
    CStatic m_stcRegion;

protected:
    void OnLvnKeydownList(NMHDR* hdr, LRESULT* result);
    void OnLvnInsertitemList(NMHDR* hdr, LRESULT* result);
    void OnBnClickedAdd();
    void OnBnClickedDelete();

    DECLARE_MESSAGE_MAP()

private:
    void DeleteSelectedRows();
    CString Text(int id) const;
};
