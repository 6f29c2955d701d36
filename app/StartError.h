// Process-wide texts and ids that exist before the application object.
#pragma once

#include <windows.h>

#include "framework/CString.h"

extern CString g_strStartErrorCaption;
extern CString g_strStartErrorText;
extern UINT g_uTaskbarCreatedMsg;

// The fatal start-up message is always shown as this pair.
void SetStartErrorText();
[[noreturn]] void ShowStartErrorAndExit();
