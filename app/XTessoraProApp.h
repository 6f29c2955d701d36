// The application object: prepares the platform and runs the main window.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/AfxWin.h"

class CXTessoraProApp : public CWinApp {
public:
    CXTessoraProApp();
    BOOL InitInstance() override;
    int ExitInstance() override;

    // version 1, no debug callback, background thread and external codecs allowed
    Gdiplus::GdiplusStartupInput m_gdiplusStartupInput;
    ULONG_PTR m_gdiplusToken = 0;
};

extern CXTessoraProApp theApp;
