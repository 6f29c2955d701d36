// Loaded by the UI scenarios into the running program: reads the pop-up menu that is open there
// (Wine keeps menus inside their process, so another process cannot read them) and writes it into
// the shared memory "Local\TessoraMenuProbe-<pid>". Test code only.
#include <windows.h>

#include <cwchar>

namespace {
const UINT kGetMenu = 0x01E1;  // MN_GETHMENU
const DWORD kBytes = 65536;
}  // namespace

// Thread entry for CreateRemoteThread. Output, one line each: the default item's position, then
// "<id>\t<text>" per item. Returns the item count, or 0xFFFF when no menu is open.
extern "C" __declspec(dllexport) DWORD WINAPI ReadPopupMenu(void*) {
    const DWORD self = GetCurrentProcessId();
    HWND popup = nullptr;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
         w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == self && IsWindowVisible(w)) {
            popup = w;
            break;
        }
    }
    if (!popup) return 0xFFFF;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(popup, kGetMenu, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer)) return 0xFFFF;
    HMENU menu = reinterpret_cast<HMENU>(answer);
    const int count = GetMenuItemCount(menu);
    if (count < 0) return 0xFFFF;

    wchar_t name[64];
    swprintf(name, 64, L"Local\\TessoraMenuProbe-%lu", static_cast<unsigned long>(self));
    HANDLE map = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (!map) return 0xFFFF;
    wchar_t* out = static_cast<wchar_t*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, kBytes));
    if (out) {
        const size_t room = kBytes / sizeof(wchar_t);
        size_t used = static_cast<size_t>(
            swprintf(out, room, L"%d\n", static_cast<int>(GetMenuDefaultItem(menu, TRUE, 0))));
        for (int i = 0; i < count && used < room; ++i) {
            wchar_t text[256] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
            int n = swprintf(out + used, room - used, L"%u\t%ls\n", GetMenuItemID(menu, i), text);
            if (n < 0) break;
            used += static_cast<size_t>(n);
        }
        UnmapViewOfFile(out);
    }
    CloseHandle(map);
    return static_cast<DWORD>(count);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, void*) { return TRUE; }
