#include "app/LanguageTable.h"

void CLanguageTable::TranslateWindow(HWND hWnd, int nTitleId) const {
    if (!hWnd || !IsWindow(hWnd)) return;
    if (nTitleId >= 1 && nTitleId <= 999) SetWindowTextW(hWnd, GetText(nTitleId));

    // Direct children only, in z-order: a group's inner controls belong to their own page.
    for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id < 1 || id >= LANGUAGE_TABLE_SIZE) continue;
        const CString text = GetText(id);
        if (!text.IsEmpty()) SetWindowTextW(child, text);
    }
}

void CLanguageTable::TranslateMenu(HMENU hMenu) const {
    if (!hMenu || !IsMenu(hMenu)) return;
    const int tops = GetMenuItemCount(hMenu);
    for (int top = 0; top < tops; ++top) {
        HMENU popup = GetSubMenu(hMenu, top);
        if (!popup) continue;
        const int items = GetMenuItemCount(popup);
        for (int pos = 0; pos < items; ++pos) {
            // A nested pop-up reports 0xFFFFFFFF, a separator 0: neither has a text.
            const UINT id = GetMenuItemID(popup, pos);
            if (id >= static_cast<UINT>(LANGUAGE_TABLE_SIZE)) continue;
            CString text = GetText(static_cast<int>(id));
            if (text.IsEmpty()) continue;
            // Only the string changes, so the tray menu's bold default item stays bold (a
            // ModifyMenuW would reset the item's state flags).
            MENUITEMINFOW mii = {};
            mii.cbSize = sizeof(mii);
            mii.fMask = MIIM_STRING;
            mii.dwTypeData = const_cast<wchar_t*>(text.GetString());
            SetMenuItemInfoW(popup, pos, TRUE, &mii);
        }
    }
}
