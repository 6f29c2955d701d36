// The user-interface language tables with the translation of windows and menus. The main
// window owns one (lent to every dialog) and the tray icon another; both live until exit.
#pragma once

#include <windows.h>

#include "app/core/LanguageTexts.h"

class CLanguageTable : public CLanguageTexts {
public:
    // Title ids 1..999 set the window's title, also to an empty text; any other value (callers
    // pass -1 for pages) leaves it alone. Then each direct child whose control id has a text in
    // the current language gets that text; grandchildren are not visited.
    void TranslateWindow(HWND hWnd, int nTitleId) const;

    // Every item of every top-level pop-up whose command id has a text gets that text; the
    // item's id, state (default, checked, greyed) and position stay. Nested pop-ups are not
    // visited.
    void TranslateMenu(HMENU hMenu) const;
};
