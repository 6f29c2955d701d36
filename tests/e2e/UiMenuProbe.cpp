// Loaded by the UI scenarios into the running program to read its open pop-up menu, which Wine
// keeps inside the process. Test code only.
#include <windows.h>

#include <cwchar>

// Thread entry for CreateRemoteThread. `buffer` (64 KiB) holds the menu's window on entry and gets,
// one line each, the default item's position and "<id>\t<text>" per item. Returns the item count,
// 0 when the menu could not be read.
extern "C" __declspec(dllexport) DWORD WINAPI ReadPopupMenu(void* buffer) {
    DWORD_PTR answer = 0;
    const UINT getMenu = 0x01E1;  // MN_GETHMENU
    // Without a window manager, Wine holds the program's thread 2 s whenever it hides one of its
    // framed windows (the splash 2 s after start, the options window on Escape), menu open or not.
    if (!SendMessageTimeoutW(*static_cast<HWND*>(buffer), getMenu, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer)) return 0;
    HMENU menu = reinterpret_cast<HMENU>(answer);
    const int count = GetMenuItemCount(menu);
    wchar_t* out = static_cast<wchar_t*>(buffer);
    const size_t room = 65536 / sizeof(wchar_t);
    int used = swprintf(out, room, L"%d\n", static_cast<int>(GetMenuDefaultItem(menu, TRUE, 0)));
    for (int i = 0; i < count && used >= 0; ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        const int n = swprintf(out + used, room - used, L"%u\t%ls\n", GetMenuItemID(menu, i), text);
        used = n < 0 ? -1 : used + n;
    }
    return used < 0 || count < 0 ? 0 : static_cast<DWORD>(count);
}
