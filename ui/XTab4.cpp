#include "ui/XTab4.h"

#include "app/Settings.h"
#include "res/ui_ids.h"
#include "update/CheckUpdate.h"

BEGIN_MESSAGE_MAP(CXTab4, COptionPage)
    ON_COMMAND(IDC_BTN_CHECK_NOW, &CXTab4::OnBnClickedCheckNow)
END_MESSAGE_MAP()

CXTab4::CXTab4() : COptionPage(IDD_XTAB4) {}

CXTab4::~CXTab4() = default;

void CXTab4::DoDataExchange(CDataExchange* dx) {
    COptionPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_BTN_CHECK_NOW, m_btnCheckNow);
    DDX_Control(dx, IDC_CHK_AUTO_UPDATE, m_chkAutoUpdate);
}

BOOL CXTab4::OnInitDialog() {
    COptionPage::OnInitDialog();
    if (m_pSettings) m_chkAutoUpdate.SetCheck(m_pSettings->m_nAutoUpdate ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CXTab4::SaveSettings() {
    if (m_pSettings && m_chkAutoUpdate.m_hWnd)
        m_pSettings->m_nAutoUpdate = m_chkAutoUpdate.GetCheck() != 0 ? 1 : 0;
}

void CXTab4::OnBnClickedCheckNow() {
    ::EnableWindow(m_btnCheckNow, FALSE);
    // every click is a check of its own; an earlier dialog is left as it is
    m_pCheckUpdate = CCheckUpdate::StartCheck(this, m_pLanguage);
    ::EnableWindow(m_btnCheckNow, TRUE);
}
