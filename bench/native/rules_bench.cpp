// Timings of the rule store on the paths a hotkey takes: finding the rule of a key, and reading a
// rule's active screens and the zones of their layout types. 10 rules with 50 captured zones and
// 5 title bindings each, in a copy of the generated database.
#include <chrono>
#include <cstdio>
#include <string>

#include "tests/native/rules_test_support.h"

using namespace rules_test;

template <typename Fn>
double MicrosPerCall(int calls, Fn&& fn) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) fn(i);
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / calls;
}

int main() {
    TempDir dir;
    Peer peer(CopyShippedDb(dir));
    peer.Exec("BEGIN");
    for (int rule = 1; rule <= 10; ++rule) {
        peer.PutRule(Str("Q", rule % 10), {{99 + rule, 1}, {3, 1}});
        peer.PutZones(99 + rule, 50);
        for (int t = 1; t <= 5; ++t) peer.PutTitle(rule, 1, t, Str("C:\\Apps\\tool", t, ".exe"));
    }
    peer.Exec("COMMIT");
    StoreHarness h(dir, 2);
    if (!h.store->IsOpen()) return std::printf("rule database did not open\n"), 1;

    const int calls = 2000;
    int found = 0;
    const double find = MicrosPerCall(calls, [&](int i) {
        found += h.store->FindRuleByHotkey(CString(i % 2 ? L"q5" : L"Q7")) > 0;
    });
    size_t zones = 0;
    const double layout = MicrosPerCall(calls, [&](int i) {
        int last = 0;
        for (const auto& d : h.store->LoadActiveDetails(1 + i % 10)) {
            if (d.type_id == last) continue;  // the engine lists each run of one type once
            last = d.type_id;
            zones += h.store->LoadTypes(d.type_id).size();
        }
    });
    std::printf("rules_bench: 10 rules, 500 captured zones, 50 bindings\n");
    std::printf("  FindRuleByHotkey:                  %8.1f us per call (%d found)\n", find, found);
    std::printf("  LoadActiveDetails + LoadTypes:     %8.1f us per layout (%zu zones per layout)\n", layout,
                zones / calls);
    std::printf("\nRESULT rule_lookup_us %.1f -\n", find);
    return 0;
}
