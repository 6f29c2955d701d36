// The yardstick for start-up: an empty Win32 program that creates one hidden dialog-class window
// and runs a message loop, started the same way as the real program.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, L"#32770", L"Empty Bench", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             nullptr, nullptr);
    ShowWindow(w, SW_SHOWNA);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_CLOSE || (msg.hwnd == w && msg.message == WM_COMMAND)) break;
        DispatchMessageW(&msg);
    }
    return 0;
}
