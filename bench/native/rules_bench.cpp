// Timings of the rule store on the paths a hotkey takes: finding the rule of a key, and reading a
// rule's active screens and the zones of their layout types. A database with 10 rules and 500
// captured zones, copied from the generated one into a temporary folder.
#include <chrono>
#include <cstdio>
#include <string>

#include "tests/native/rules_test_support.h"

using namespace rules_test;
using Clock = std::chrono::steady_clock;

namespace {

template <typename Fn>
double MicrosPerCall(int calls, Fn&& fn) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) fn(i);
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
}

}  // namespace

int main() {
    TempDir dir;
    const std::string path = CopyShippedDb(dir);
    {
        Peer peer(path);
        peer.Exec("BEGIN");
        for (int rule = 1; rule <= 10; ++rule) {
            const std::string id = std::to_string(rule), type = std::to_string(99 + rule);
            peer.Exec("INSERT INTO user_define (name, hotkey) VALUES ('rule " + id + "', 'Q" + std::to_string(rule % 10) + "')");
            peer.Exec("INSERT INTO user_define_detail (define_id, screen_id, type_id, active) VALUES (" + id + ", 1, " + type + ", 1)");
            peer.Exec("INSERT INTO user_define_detail (define_id, screen_id, type_id, active) VALUES (" + id + ", 2, 3, 1)");
            for (int z = 0; z < 50; ++z)
                peer.Exec("INSERT INTO user_define_type (type_flg, type_id, x, y, width, height) VALUES (99, " + type +
                          ", 0.02, 0.1, 0.02, 0.5)");
            for (int t = 1; t <= 5; ++t)
                peer.Exec("INSERT INTO select_file (define_id, screen_id, region_id, file_path, type) VALUES (" + id +
                          ", 1, " + std::to_string(t) + ", 'C:\\Apps\\tool" + std::to_string(t) + ".exe', 'exe')");
        }
        peer.Exec("COMMIT");
    }
    StoreHarness h(dir, 2);
    if (!h.store->IsOpen()) {
        std::printf("rule database did not open\n");
        return 1;
    }

    const int calls = 2000;
    int found = 0;
    const double find = MicrosPerCall(calls, [&](int i) {
        found += h.store->FindRuleByHotkey(CString(i % 2 ? L"q5" : L"Q7")) > 0;
    });
    size_t zones = 0;
    const double layout = MicrosPerCall(calls, [&](int i) {
        int rows = 0;
        auto details = h.store->LoadActiveDetails(1 + i % 10, &rows);
        int last = 0;
        for (const auto& d : details) {
            if (d.type_id == last) continue;  // the engine lists each run of one type once
            last = d.type_id;
            zones += h.store->LoadTypes(d.type_id).size();
        }
    });
    std::printf("rules_bench: 10 rules, 500 captured zones, 50 bindings\n");
    std::printf("  FindRuleByHotkey:                  %8.1f us per call (%d found)\n", find, found);
    std::printf("  LoadActiveDetails + LoadTypes:     %8.1f us per layout (%zu zones per layout)\n", layout,
                zones / calls);
    return 0;
}
