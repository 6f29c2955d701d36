// The rule editor with a captured layout of 100 zones: opening it, drawing the capture, saving it,
// and opening and saving the stored rule again. Prints times and the number of database writes
// (statements run, transaction included); never fails. A save is timed from the Yes to its last
// write: hiding the dialog afterwards costs Wine seconds without a window manager.
//
//   rules_editor_bench.exe [runs]      (default 7)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/LanguageTable.h"
#include "rules/SqliteLibrary.h"
#include "res/rule_ids.h"
#include "ui/AddUserDefine.h"

namespace {

constexpr int kZones = 100;
double g_tickMs = 0;
int g_writes = 0;
LONGLONG g_lastWrite = 0, g_yes = 0;
SqliteApi g_api;
const SqliteApi* g_real = nullptr;

LONGLONG Now();

int CountingExec(sqlite3* db, const char* sql, int (*cb)(void*, int, char**, char**), void* arg, char** err) {
    ++g_writes;
    const int rc = g_real->Exec(db, sql, cb, arg, err);
    g_lastWrite = Now();
    return rc;
}

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}
double MsSince(LONGLONG t0) { return static_cast<double>(Now() - t0) * g_tickMs; }
double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

int AnswerYes(const wchar_t*, const wchar_t*, UINT) {
    g_yes = Now();
    return IDYES;
}
double SaveMs() { return static_cast<double>(g_lastWrite - g_yes) * g_tickMs; }

struct Figures {
    std::vector<double> open, draw, save, reopen, resave;
    int saveWrites = 0, resaveWrites = 0;
};

// One editor, as the rules page runs it; returns it created and initialised.
CAddUserDefine* OpenEditor(CRuleStore& store, CLanguageTable& lang, int mode) {
    store.m_nEditMode = mode;
    CAddUserDefine* dlg = new CAddUserDefine();
    dlg->SetRuleStore(&store);
    dlg->SetLanguage(&lang);
    dlg->Create(IDD_ADD_USER_DEFINE, nullptr);
    dlg->ShowWindow(SW_SHOWNORMAL);  // as the modal loop shows it
    UpdateWindow(*dlg);
    Pump();
    return dlg;
}

void Close(CAddUserDefine* dlg) {
    dlg->DestroyWindow();
    Pump();
    delete dlg;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    g_tickMs = 1000.0 / static_cast<double>(f.QuadPart);
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;

    // A copy of the shipped database in a folder of our own.
    wchar_t exe[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring dir(exe);
    dir = dir.substr(0, dir.find_last_of(L'\\') + 1);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring work = std::wstring(temp) + L"rules_editor_bench\\";
    CreateDirectoryW(work.c_str(), nullptr);
    if (!CopyFileW((dir + L"pomlet64.dll").c_str(), (work + L"pomlet64.dll").c_str(), FALSE)) {
        std::printf("no rule database beside the benchmark\n");
        return 0;
    }
    RuleStoreHost host = MakeRuleStoreHost(CString(dir.c_str()), [] {});
    if (!host.sqlite) {
        std::printf("no qomb100.dll beside the benchmark\n");
        return 0;
    }
    g_real = host.sqlite;
    g_api = *g_real;
    g_api.Exec = CountingExec;
    host.sqlite = &g_api;
    host.programDir = CString(work.c_str());
    CRuleStore store(host);
    CLanguageTable lang;
    AfxSetMessageBoxHook(AnswerYes);

    // 100 windows on a 10 x 10 grid of a 1920 x 1040 monitor.
    std::vector<engine::WinRect> windows;
    for (int i = 0; i < kZones; ++i)
        windows.push_back({(i % 10) * 192, (i / 10) * 104, (i % 10) * 192 + 180, (i / 10) * 104 + 100});
    const engine::ScreenRect monitor{0, 0, 1920, 1040};

    Figures fig;
    for (int r = 0; r < runs; ++r) {
        store.Reload(0);
        LONGLONG t = Now();
        CAddUserDefine* dlg = OpenEditor(store, lang, RULE_EDIT_ADD);
        fig.open.push_back(MsSince(t));
        t = Now();
        dlg->ApplyCapture(windows, monitor);
        UpdateWindow(*dlg);
        Pump();
        fig.draw.push_back(MsSince(t));
        if (dlg->m_nRegionButtons != kZones) std::printf("drew %d buttons, not %d\n", dlg->m_nRegionButtons, kZones);
        SetDlgItemTextW(*dlg, 1180, L"Bench");
        int before = g_writes;
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(1224, BN_CLICKED), 0);
        fig.save.push_back(SaveMs());
        fig.saveWrites = g_writes - before;
        Close(dlg);

        // The stored rule again: edit mode draws its 100 zones from the database.
        store.Reload(0);
        t = Now();
        dlg = OpenEditor(store, lang, RULE_EDIT_EDIT);
        fig.reopen.push_back(MsSince(t));
        before = g_writes;
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(1224, BN_CLICKED), 0);
        fig.resave.push_back(SaveMs());
        fig.resaveWrites = g_writes - before;
        Close(dlg);
        store.Reload(0);
        store.DeleteRule();
    }
    std::printf("rule editor, %d zones, median of %d runs\n", kZones, runs);
    std::printf("  open (add mode)          %8.2f ms\n", Median(fig.open));
    std::printf("  capture and draw         %8.2f ms\n", Median(fig.draw));
    std::printf("  save new rule            %8.2f ms  %d database writes\n", Median(fig.save), fig.saveWrites);
    std::printf("  open stored (edit mode)  %8.2f ms\n", Median(fig.reopen));
    std::printf("  save unchanged           %8.2f ms  %d database writes\n", Median(fig.resave), fig.resaveWrites);
    std::printf("\nRESULT editor_open_ms %.2f - (add mode)\n", Median(fig.open));
    std::printf("RESULT editor_draw_ms %.2f - (capture and draw %d zones)\n", Median(fig.draw), kZones);
    std::printf("RESULT editor_save_ms %.2f - (new rule)\n", Median(fig.save));
    std::printf("RESULT editor_save_writes %d - (new rule)\n", fig.saveWrites);
    std::printf("RESULT editor_reopen_ms %.2f - (edit mode)\n", Median(fig.reopen));
    std::printf("RESULT editor_resave_ms %.2f - (unchanged)\n", Median(fig.resave));
    std::printf("RESULT editor_resave_writes %d - (unchanged)\n", fig.resaveWrites);
    return 0;
}
