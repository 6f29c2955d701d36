// The About box: banner, program version and the home page link. Created once by the main
// window, hidden by OK or its close box and shown again by the next About command.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/AfxLink.h"
#include "framework/AfxWin.h"

class CLanguageTable;

class CAboutDlg : public CDialogEx {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    // The lent table that translates the box; set before Create.
    void SetLanguage(CLanguageTable* pLanguage) { m_pLanguage = pLanguage; }
    // The address the link shows and opens.
    static const wchar_t* HomePage();

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    CLinkCtrl m_linkHome;
    Gdiplus::Image* m_pBanner = nullptr;  // owned
    CStatic m_stVersion;
    CLanguageTable* m_pLanguage = nullptr;
    RECT m_rcClient = {};

protected:
    void OnNMClickSyslink(NMHDR* hdr, LRESULT* result);
    LRESULT OnPaint(WPARAM, LPARAM);
    void OnBnClickedOk();

    DECLARE_MESSAGE_MAP()
};
