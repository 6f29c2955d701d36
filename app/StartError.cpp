#include "app/StartError.h"

#include <cstdlib>

#include "framework/AfxWin.h"

CString g_strStartErrorCaption;
CString g_strStartErrorText;
UINT g_uTaskbarCreatedMsg = RegisterWindowMessageW(L"TaskbarCreated");

void SetStartErrorText() {
    g_strStartErrorText =
        L"The program can't start because system file is missing from your computer. "
        L"Try reinstalling the program to fix this problem";
    g_strStartErrorCaption = L"Tessora.exe - System Error";
}

void ShowStartErrorAndExit() {
    AfxShowMessageBox(nullptr, g_strStartErrorText, g_strStartErrorCaption, MB_OK | MB_ICONERROR);
    exit(0);
}
