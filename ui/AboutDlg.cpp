#include "ui/AboutDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/AppFiles.h"
#include "app/LanguageTable.h"
#include "res/ui_ids.h"
#include "ui/DialogHelpers.h"
#include "update/core/UpdateText.h"

namespace {
// Also written into the link of template 133.
const wchar_t kHomePage[] = TESSORA_HOME_PAGE;
}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialogEx)
    ON_NOTIFY(NM_CLICK, IDC_SYSLINK_HOME, &CAboutDlg::OnNMClickSyslink)
    ON_MESSAGE(WM_PAINT, &CAboutDlg::OnPaint)
    ON_COMMAND(IDOK, &CAboutDlg::OnBnClickedOk)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialogEx(IDD_ABOUTBOX, nullptr) {}

CAboutDlg::~CAboutDlg() { delete m_pBanner; }

const wchar_t* CAboutDlg::HomePage() { return kHomePage; }

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
    CDialogEx::DoDataExchange(dx);
    DDX_Control(dx, IDC_SYSLINK_HOME, m_linkHome);
    DDX_Control(dx, IDC_STATIC_VERSION, m_stVersion);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    GetClientRect(&m_rcClient);

    CAppFiles files;
    CString version = L"Tessora Ver ";
    version += files.GetModuleVersionString(GetModuleHandleW(nullptr));  // empty without a version resource
    m_stVersion.SetWindowText(version);

    Gdiplus::Image* banner = nullptr;
    if (LoadPngResource(IDB_PNG_ABOUT, L"PNG", &banner)) {
        delete m_pBanner;
        m_pBanner = banner;
    }
    if (m_pLanguage) m_pLanguage->TranslateWindow(m_hWnd, IDD_ABOUTBOX);
    return TRUE;
}

LRESULT CAboutDlg::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (m_pBanner && m_pBanner->GetHeight() > 0) {  // an image GDI+ could not decode has no size
        Gdiplus::Graphics graphics(dc);
        // the banner follows the box's width and keeps its own height
        graphics.DrawImage(m_pBanner, 0, 0, static_cast<INT>(m_rcClient.right - m_rcClient.left),
                           static_cast<INT>(m_pBanner->GetHeight()));
    }
    EndPaint(m_hWnd, &ps);
    return 0;
}

void CAboutDlg::OnNMClickSyslink(NMHDR*, LRESULT* result) {
    // no browser: nothing to tell the user
    ShellExecuteW(nullptr, L"open", kHomePage, nullptr, nullptr, SW_SHOWNORMAL);
    *result = 0;
}

void CAboutDlg::OnBnClickedOk() { CDialogEx::OnOK(); }
