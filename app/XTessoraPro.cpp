#include "app/XTessoraProApp.h"

#include <commctrl.h>

#include "engine/XTessoraProDlg.h"

CXTessoraProApp theApp;

CXTessoraProApp::CXTessoraProApp() { m_dwRestartManagerSupportFlags = 1; }

BOOL CXTessoraProApp::InitInstance() {
    // SysLink of the About box needs its class on Windows as well as the common set
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    // COM is started by whatever needs it, on first use: most runs never do.
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &m_gdiplusStartupInput, nullptr);
    SetRegistryKey(L"Local AppWizard-Generated Applications");

    CXTessoraProDlg dlg(nullptr);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return TRUE;
}

int CXTessoraProApp::ExitInstance() {
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    return 0;
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) { return AfxWinMain(hInstance); }
