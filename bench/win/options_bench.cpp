// Prints what opening the options window costs: the time from the Option command to the window
// shown and painted with its six pages, against a bare dialog of the same size opened the same
// way in the same process, and the private bytes an open window adds (and whether closing gives
// them back).
//   tools/bench.sh options_bench [opens]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "rules/SqliteLibrary.h"
#include "res/ui_ids.h"
#include "ui/DialogHelpers.h"
#include "ui/OptionDlg.h"

namespace {

const UINT kBareTemplate = 9100;

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX mem = {};
    mem.cb = sizeof(mem);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof(mem));
    return mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;  // Wine fills only the latter
}

double Now() {
    static LARGE_INTEGER f = {};
    if (!f.QuadPart) QueryPerformanceFrequency(&f);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * t.QuadPart / f.QuadPart;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The main window's steps for the Option command, then a synchronous paint.
template <typename Dialog>
void Open(Dialog* dlg, UINT id, CWnd* owner) {
    dlg->Create(id, owner);
    dlg->SetForegroundWindow();
    CenterWindowOnWorkArea(dlg);
    dlg->ShowWindow(SW_SHOW);
    RedrawWindow(dlg->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Figures {
    double firstMs = 0;
    std::vector<double> ms;
    std::vector<double> addedKiB;
    std::vector<double> closeMs;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int opens = argc > 1 ? std::max(3, _wtoi(argv[1])) : 10;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);  // as the program does at start
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    CString dir(exe);
    dir = dir.Left(dir.ReverseFind(L'\\') + 1);
    const CString ini = dir + L"options_bench.ini";
    const wchar_t* keys[][2] = {{L"Language", L"English"}, {L"OverlapWindows", L"1"}, {L"Automatics", L"0"},
                                {L"AutoUpdate", L"0"},      {L"ExecuteHotkeyType", L"0"}, {L"ShowHotkey", L"1"}};
    for (const auto& k : keys) WritePrivateProfileStringW(L"General", k[0], k[1], ini);
    CSettings settings(ini);
    CLanguageTable language;
    language.m_strLanguageName = settings.m_strLanguage;
    CRuleStore store(MakeRuleStoreHost(dir, [] { fwprintf(stderr, L"no rule database beside the benchmark\n"); }));

    CWnd owner;
    owner.m_hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   nullptr, nullptr);

    Figures options, bare;
    const SIZE_T start = PrivateBytes();
    SIZE_T afterFirst = 0;
    for (int i = 0; i < opens; ++i) {
        for (int kind = 0; kind < 2; ++kind) {
            Figures& f = kind == 0 ? options : bare;
            const SIZE_T before = PrivateBytes();
            const double t0 = Now();
            CDialog* dlg = nullptr;
            if (kind == 0) {
                auto* o = new COptionDlg(&settings, &language, &store);
                Open(o, IDD_OPTION, &owner);
                dlg = o;
            } else {
                dlg = new CDialogEx(kBareTemplate, nullptr);
                Open(dlg, kBareTemplate, &owner);
            }
            const double ms = Now() - t0;
            const SIZE_T open = PrivateBytes();
            if (i == 0) f.firstMs = ms;
            else f.ms.push_back(ms);
            f.addedKiB.push_back((static_cast<double>(open) - static_cast<double>(before)) / 1024.0);
            const double c0 = Now();
            dlg->DestroyWindow();
            delete dlg;
            Pump();
            f.closeMs.push_back(Now() - c0);
        }
        if (i == 0) afterFirst = PrivateBytes();
    }
    const SIZE_T end = PrivateBytes();

    wprintf(L"options window (six pages) against a bare dialog of its size, %d opens each\n", opens);
    wprintf(L"  first open            %8.2f ms   bare %8.2f ms\n", options.firstMs, bare.firstMs);
    wprintf(L"  later opens, median   %8.2f ms   bare %8.2f ms   ratio %.1f\n", Median(options.ms), Median(bare.ms),
            Median(bare.ms) > 0 ? Median(options.ms) / Median(bare.ms) : 0.0);
    wprintf(L"  closing, median       %8.2f ms   bare %8.2f ms   (slowest %.0f ms)\n", Median(options.closeMs),
            Median(bare.closeMs), *std::max_element(options.closeMs.begin(), options.closeMs.end()));
    wprintf(L"  private bytes an open window adds, first  %8.1f KiB   bare %8.1f KiB\n", options.addedKiB.front(),
            bare.addedKiB.front());
    options.addedKiB.erase(options.addedKiB.begin());
    bare.addedKiB.erase(bare.addedKiB.begin());
    wprintf(L"  private bytes an open window adds, median %8.1f KiB   bare %8.1f KiB\n", Median(options.addedKiB),
            Median(bare.addedKiB));
    wprintf(L"  private bytes after the first close  %+8.1f KiB, after %d more opens and closes %+8.1f KiB\n",
            (static_cast<double>(afterFirst) - static_cast<double>(start)) / 1024.0, opens - 1,
            (static_cast<double>(end) - static_cast<double>(afterFirst)) / 1024.0);
    DestroyWindow(owner.Detach());
    return 0;
}
