// Prints what opening the options window costs: the time from the Option command to the window
// shown and painted with its six pages, against a bare dialog of the same size opened the same
// way in the same process, and the private bytes an open window adds. Then whether closing gives
// them back: the memory kept per open and close, over many cycles in this process (private bytes
// and the heaps' bytes in use) and in the program itself (its Option command, then Cancel).
//   tools/bench.sh options_bench [opens] [cycles]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "res/resource.h"
#include "res/ui_ids.h"
#include "rules/SqliteLibrary.h"
#include "tests/support/WinTestSupport.h"
#include "ui/DialogHelpers.h"
#include "ui/OptionDlg.h"

namespace {

const UINT kBareTemplate = 9100;

SIZE_T PrivateBytes(HANDLE process = GetCurrentProcess()) {
    PROCESS_MEMORY_COUNTERS_EX mem = {};
    mem.cb = sizeof(mem);
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof(mem));
    return mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;  // Wine fills only the latter
}

// Bytes handed out by every heap of this process. Private bytes move in whole pages and only when a
// heap runs out of room; this shows a block kept per cycle at once.
SIZE_T HeapBytesInUse() {
    HANDLE heaps[64];
    const DWORD n = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    SIZE_T total = 0;
    for (DWORD i = 0; i < n; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY e = {};
        while (HeapWalk(heaps[i], &e))
            if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += e.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

double KiB(SIZE_T to, SIZE_T from) { return (static_cast<double>(to) - static_cast<double>(from)) / 1024.0; }

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

// Opens and closes the options window of the program itself as the user does (the Option command,
// then Cancel), `cycles` times; the program's private bytes after each close, -1 when it failed.
std::vector<double> ProgramCycles(int cycles) {
    const std::wstring dir = wts::TempDir(L"options-bench");
    wts::CopyDir(TESSORA_DIST_DIR_W, dir);
    wts::Process p;
    if (!wts::StartProcess(p, dir + L"\\Tessora.exe")) return {-1};
    HWND main = nullptr;
    if (!wts::WaitUntil([&] { return (main = FindWindowW(L"#32770", L"Tessora Debug")) != nullptr; }, 30000)) return {-1};
    std::vector<double> kib;
    for (int i = 0; i < cycles; ++i) {
        PostMessageW(main, WM_COMMAND, ID_TRAY_OPTION, 0);
        HWND options = nullptr;
        const bool shown = wts::WaitUntil([&] {
            for (HWND h : wts::FindWindows(p.Pid(), L"#32770"))
                if (IsWindowVisible(h) && GetDlgItem(h, IDC_COMBO_LANGUAGE)) options = h;
            return options != nullptr;
        });
        if (!shown) return {-1};
        PostMessageW(GetDlgItem(options, IDC_BTN_OPTION_CANCEL), BM_CLICK, 0, 0);
        if (!wts::WaitUntil([&] { return !IsWindow(options); }, 15000)) return {-1};
        // the window object is freed by a message the program posts to itself: let it go by first
        for (int pass = 0; pass < 2; ++pass) SendMessageW(main, WM_NULL, 0, 0);
        kib.push_back(PrivateBytes(p.pi.hProcess) / 1024.0);
    }
    PostMessageW(main, WM_COMMAND, ID_TRAY_EXIT, 0);
    p.WaitExit(10000);
    return kib;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int opens = argc > 1 ? std::max(3, _wtoi(argv[1])) : 10;
    const int cycles = argc > 2 ? std::max(2, _wtoi(argv[2])) : 100;
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

    // What a close keeps, once the first opens have filled the caches: only the options window now.
    const SIZE_T heapBefore = HeapBytesInUse();
    for (int i = 0; i < cycles; ++i) {
        auto* o = new COptionDlg(&settings, &language, &store);
        Open(o, IDD_OPTION, &owner);
        o->DestroyWindow();
        delete o;
        Pump();
    }
    const SIZE_T heapAfter = HeapBytesInUse();
    const SIZE_T afterCycles = PrivateBytes();
    DestroyWindow(owner.Detach());

    // The program itself; its first opens fill its caches as above.
    const std::vector<double> program = ProgramCycles(cycles + opens);
    const bool programOk = program.size() == static_cast<size_t>(cycles + opens);
    const double programPerCycle = programOk ? (program.back() - program[opens - 1]) / cycles : 0;

    const double openMs = Median(options.ms), bareMs = Median(bare.ms);
    wprintf(L"options window (six pages) against a bare dialog of its size, %d opens each\n", opens);
    wprintf(L"  first open            %8.2f ms   bare %8.2f ms\n", options.firstMs, bare.firstMs);
    wprintf(L"  later opens, median   %8.2f ms   bare %8.2f ms   ratio %.1f\n", openMs, bareMs,
            bareMs > 0 ? openMs / bareMs : 0.0);
    wprintf(L"  closing, median       %8.2f ms   bare %8.2f ms   (slowest %.0f ms)\n", Median(options.closeMs),
            Median(bare.closeMs), *std::max_element(options.closeMs.begin(), options.closeMs.end()));
    wprintf(L"  private bytes an open window adds, first  %8.1f KiB   bare %8.1f KiB\n", options.addedKiB.front(),
            bare.addedKiB.front());
    options.addedKiB.erase(options.addedKiB.begin());
    bare.addedKiB.erase(bare.addedKiB.begin());
    const double addedKiB = Median(options.addedKiB);
    wprintf(L"  private bytes an open window adds, median %8.1f KiB   bare %8.1f KiB\n", addedKiB, Median(bare.addedKiB));
    wprintf(L"  private bytes after the first close  %+8.1f KiB, after %d more opens and closes %+8.1f KiB\n",
            KiB(afterFirst, start), opens - 1, KiB(end, afterFirst));
    wprintf(L"memory kept per open and close, over %d more cycles (the first opens above fill caches)\n", cycles);
    const double keptKiB = KiB(afterCycles, end) / cycles;
    const double heapBytes = (static_cast<double>(heapAfter) - static_cast<double>(heapBefore)) / cycles;
    wprintf(L"  this process, private bytes   %+8.2f KiB per cycle (%+.0f KiB in all)\n", keptKiB, KiB(afterCycles, end));
    wprintf(L"  this process, heap bytes      %+8.0f bytes per cycle\n", heapBytes);
    if (programOk)
        wprintf(L"  the program, private bytes    %+8.2f KiB per cycle (Option, then Cancel; %+.0f KiB from close 1 to "
                L"close %d)\n", programPerCycle, program[opens - 1] - program.front(), opens);
    else
        wprintf(L"  the program: its options window could not be opened and closed\n");

    wprintf(L"\nRESULT options_open_ms %.2f - (bare dialog %.2f ms)\n", openMs, bareMs);
    wprintf(L"RESULT options_open_ratio %.2f -\n", bareMs > 0 ? openMs / bareMs : 0.0);
    wprintf(L"RESULT options_open_kib %.1f - (private bytes an open window adds)\n", addedKiB);
    wprintf(L"RESULT options_kept_kib_per_cycle %.2f - (this process, %d cycles)\n", keptKiB, cycles);
    wprintf(L"RESULT options_heap_bytes_per_cycle %.0f - (this process, %d cycles)\n", heapBytes, cycles);
    if (programOk)
        wprintf(L"RESULT options_program_kib_per_cycle %.2f - (the program, %d cycles)\n", programPerCycle, cycles);
    return 0;
}
