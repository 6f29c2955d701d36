// Prints two figures of the update check under a loopback proxy:
//  1. round trips of a message to the main window (p50/p95/max, microseconds) while the update
//     description trickles in, against the same with no check running;
//  2. time from process start to the update dialog shown (AutoUpdate=1, newer version
//     published) against process start to the main window (AutoUpdate=0).
//   tools/bench.sh update_bench [runs]
#include "tests/support/LoopbackHttp.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/e2e/TessoraRun.h"

namespace {

double NowMs() {
    static LARGE_INTEGER f = [] { LARGE_INTEGER x; QueryPerformanceFrequency(&x); return x; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string Published(const char* version) {
    return std::string("<?xml version=\"1.0\"?><Update><File><FileName>Tessora.exe</FileName><FileVersion>") +
           version + "</FileVersion></File></Update>";
}

void WriteConfig(TessoraRun& run, int autoUpdate) {
    run.WriteConfig("[General]\r\nLanguage=English\r\nOverlapWindows=1\r\nAutomatics=0\r\nAutoUpdate=" +
                    std::to_string(autoUpdate) + "\r\nExecuteHotkeyType=0\r\nShowHotkey=1\r\n");
}

HWND VisibleUpdateDialog(DWORD pid) {
    for (HWND h : wts::FindWindows(pid, L"#32770", L"Check for Tessora Updates"))
        if (IsWindowVisible(h)) return h;
    return nullptr;
}

// Message round trips to the window for `ms`, in microseconds.
std::vector<double> RoundTrips(HWND h, double ms) {
    std::vector<double> us;
    const double end = NowMs() + ms;
    while (NowMs() < end) {
        DWORD_PTR r = 0;
        const double t = NowMs();
        SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
        us.push_back((NowMs() - t) * 1000.0);
        Sleep(5);
    }
    std::sort(us.begin(), us.end());
    return us;
}

struct Trips {
    double p50 = 0, p95 = 0, max = 0;
};

Trips PrintTrips(const char* label, const std::vector<double>& us) {
    if (us.empty()) return {};
    const Trips t = {us[us.size() / 2], us[us.size() * 95 / 100], us.back()};
    std::printf("%-44s n=%zu p50=%.0f us p95=%.0f us max=%.0f us\n", label, us.size(), t.p50, t.p95, t.max);
    return t;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? _wtoi(argv[1]) : 5;
    bool slow = false;
    wts::LoopbackHttp server([&](const std::string&) {
        wts::HttpReply r;
        r.body = Published("1.0.0.2");
        if (slow) {
            r.body = "<!--" + std::string(3000, ' ') + "-->" + r.body.substr(21);
            r.byteDelayMs = 2;  // about six seconds for the whole description
        }
        return r;
    }, 600000);
    wts::ProxyToLoopback proxy(server.Port());

    // 1. the main window while a download trickles in, and without one
    Trips trips[2];
    for (int autoUpdate = 0; autoUpdate <= 1; ++autoUpdate) {
        slow = true;
        TessoraRun run(L"bench-update-ui");
        WriteConfig(run, autoUpdate);
        if (!run.Start() || !run.WaitMainWindow()) return std::fprintf(stderr, "no start\n"), 1;
        Sleep(2500);  // the splash has gone; a check is under way
        trips[autoUpdate] = PrintTrips(autoUpdate ? "main window, slow download running:" : "main window, no check:",
                   RoundTrips(run.main, 3000));
        run.ExitByTray();
    }

    // 2. start to offer, against start to main window
    slow = false;
    std::vector<double> offer, ready;
    for (int i = 0; i < runs; ++i) {
        for (int autoUpdate = 0; autoUpdate <= 1; ++autoUpdate) {
            TessoraRun run(L"bench-update-start");
            WriteConfig(run, autoUpdate);
            const double t0 = NowMs();
            if (!run.Start()) return 1;
            if (autoUpdate) {
                if (!wts::WaitUntil([&] { return VisibleUpdateDialog(run.proc.Pid()) != nullptr; }, 30000, 2)) return 1;
                offer.push_back(NowMs() - t0);
                run.WaitMainWindow();
            } else {
                if (!run.WaitMainWindow()) return 1;
                ready.push_back(NowMs() - t0);
            }
            run.ExitByTray();
        }
    }
    std::printf("start to main window (AutoUpdate=0):          median %.0f ms over %d runs\n", Median(ready), runs);
    std::printf("start to update dialog shown (AutoUpdate=1):  median %.0f ms over %d runs\n", Median(offer), runs);
    std::printf("the check's own share:                        %.0f ms\n", Median(offer) - Median(ready));
    std::printf("\nRESULT update_ui_p95_us %.0f - (slow download running; no check %.0f us)\n", trips[1].p95,
                trips[0].p95);
    std::printf("RESULT update_ui_max_us %.0f - (slow download running; no check %.0f us)\n", trips[1].max,
                trips[0].max);
    std::printf("RESULT update_start_ms %.0f - (start to main window, AutoUpdate=0)\n", Median(ready));
    std::printf("RESULT update_offer_ms %.0f - (start to update dialog shown, AutoUpdate=1)\n", Median(offer));
    std::printf("RESULT update_check_ms %.0f - (the check's own share)\n", Median(offer) - Median(ready));
    return 0;
}
