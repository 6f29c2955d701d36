#include <gtest/gtest.h>

#include <vector>

#include "engine/core/WindowFilter.h"

using namespace engine;

TEST(IsExcludedWindow, FixedClassAndTitleFilters) {
    // Class parts match anywhere in the class name; all comparisons are case-sensitive.
    const struct { const wchar_t* cls; const wchar_t* title; bool excluded; } cases[] = {
        {L"Notepad", L"a.txt - Notepad", false},        {L"MyWindows.UI.Core", L"x", true},
        {L"windows.ui", L"x", false},                   {L"Foo#32770Bar", L"Dialog", true},
        {L"Button", L"Start", true},                    {L"MyButtonHost", L"Start", false},
        {L"button", L"Start", false},                   {L"Notepad", L"Option (Tessora)", true},
        {L"Notepad", L"Option(Tessora)", false},        {L"CabinetWClass", L"Option (Tessora)", false},
        {L"XCabinetWClassY", L"Quibble", false},        {L"Notepad", L"Quibble", true},
        {L"Notepad", L"quib", false},                   {L"CabinetWClass", L"", true},
        {L"", L"Untitled", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsExcludedWindow(c.cls, c.title), c.excluded) << c.cls << " / " << c.title;
    }
}

TEST(ExcludeList, FifteenCharacterCutAndEmptyNames) {
    const struct { const wchar_t* title; const wchar_t* name; bool hit; } cases[] = {
        {L"report.docx - Word", L"report", true},
        {L"Report.docx - Word", L"report", false},                  // case-sensitive
        {L"abcdefghijklmnoXYZ", L"abcdefghijklmnopqrstuvw", true},  // 23 characters: first 15 decide
        {L"abcdefghijklmn", L"abcdefghijklmnopqrstuvw", false},     // title holds only 14 of them
        {L"xxabcdefghijklmnoxx", L"abcdefghijklmno", true},         // exactly 15
        {L"Untitled - Notepad", L"", false},                        // a nameless entry excludes nothing
        {L"", L"a", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExcludeEntryMatches(c.title, c.name), c.hit) << c.title << " / " << c.name;
    }
    const std::vector<CString> names = {L"", L"Spotify", L"Mail"};
    EXPECT_FALSE(TitleHitsExcludeList(L"Untitled - Notepad", names));
    EXPECT_TRUE(TitleHitsExcludeList(L"Inbox - Mail", names));
}

TEST(IsLiveUwpWindow, StoreTitleAndApplicationIds) {
    const CString settings = L"windows.immersivecontrolpanel_cw5n1h2txyewy!microsoft.windows.immersivecontrolpanel";
    const CString edge = L"Microsoft.MicrosoftEdge_8wekyb3d8bbwe!MicrosoftEdge";
    const CString other = L"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App";
    const struct {
        const char* what; const wchar_t* title; const CString* appId; UwpHostFlags flags; bool live;
    } cases[] = {
        {"store dead", L"Microsoft Store", nullptr, {0, 1, 1}, false},
        {"store live, settings dead id", L"Microsoft Store", &settings, {1, 0, 1}, false},
        {"other title, store dead", L"Calculator", &other, {0, 0, 0}, true},
        {"settings dead", L"Settings", &settings, {1, 0, 1}, false},
        {"settings live", L"Settings", &settings, {1, 1, 0}, true},
        {"edge dead", L"Start - Edge", &edge, {1, 1, 0}, false},
        {"no property store", L"Settings", nullptr, {0, 0, 0}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsLiveUwpWindow(c.title, c.appId, c.flags), c.live) << c.what;
}

TEST(ProbeUwpHosts, FlagsFromTheFirstTwoHostsFound) {
    std::vector<std::uint32_t> asked;
    auto answers = [&](std::uint32_t pid) {
        asked.push_back(pid);
        return pid % 2 == 0;  // even ids answer
    };
    UwpHostFlags flags;
    ProbeUwpHosts({{1, L"explorer.exe"}, {3, L"SystemSettings.exe"}, {5, L"systemsettings.exe"},
                   {6, L"WinStore.App.exe"}, {7, L"MicrosoftEdge.exe"}},
                  answers, flags);
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{3, 6}));
    EXPECT_EQ((std::vector<int>{flags.storeLive, flags.settingsLive, flags.edgeLive}), (std::vector<int>{1, 0, 1}));

    // A second process of one host counts as a second find; an empty (failed) snapshot changes nothing.
    asked.clear();
    flags = UwpHostFlags{0, 0, 0};
    ProbeUwpHosts({}, answers, flags);
    ProbeUwpHosts({{9, L"MicrosoftEdge.exe"}, {10, L"MicrosoftEdge.exe"}, {12, L"WinStore.App.exe"}}, answers, flags);
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{9, 10}));
    EXPECT_EQ((std::vector<int>{flags.storeLive, flags.settingsLive, flags.edgeLive}), (std::vector<int>{0, 0, 1}));
}

TEST(CheckLayoutCandidate, StepsInTheirOrder) {
    using V = CandidateVerdict;
    static const wchar_t* const frame = L"ApplicationFrameWindow";
    const struct { const char* what; void (*change)(WindowFacts&); V verdict; } cases[] = {
        {"plain window", [](WindowFacts&) {}, V::kCandidate},
        {"hidden", [](WindowFacts& w) { w.visible = false; }, V::kNotVisible},
        {"hidden, hung", [](WindowFacts& w) { w.visible = false, w.hung = true; }, V::kNotVisible},
        {"minimised", [](WindowFacts& w) { w.minimised = true; }, V::kNotUsable},
        {"gone", [](WindowFacts& w) { w.exists = false; }, V::kNotUsable},
        {"hung", [](WindowFacts& w) { w.hung = true; }, V::kNotUsable},
        {"disabled", [](WindowFacts& w) { w.enabled = false; }, V::kNotUsable},
        {"disabled dialog", [](WindowFacts& w) { w.enabled = false, w.className = L"#32770"; }, V::kNotUsable},
        {"dialog", [](WindowFacts& w) { w.className = L"#32770"; }, V::kFixedFilter},
        {"no title", [](WindowFacts& w) { w.title = L""; }, V::kFixedFilter},
        {"excluded title", [](WindowFacts& w) { w.title = L"Secret plans"; }, V::kExcludeList},
        {"store frame, host dead", [](WindowFacts& w) { w.className = frame, w.title = L"Microsoft Store"; },
         V::kHostNotAnswering},
        {"frame of another app",
         [](WindowFacts& w) {
             w.className = frame, w.title = L"Calculator", w.appIdKnown = true;
             w.appUserModelId = L"Microsoft.WindowsCalculator!App";
         },
         V::kCandidate},
        {"store title in another class", [](WindowFacts& w) { w.title = L"Microsoft Store"; }, V::kCandidate},
    };
    for (const auto& c : cases) {
        WindowFacts w;
        w.visible = true, w.className = L"Notepad", w.title = L"notes.txt - Notepad";
        c.change(w);
        EXPECT_EQ(CheckLayoutCandidate(w, {L"Secret", L""}, UwpHostFlags{0, 0, 0}), c.verdict) << c.what;
    }
}
