#include <gtest/gtest.h>

#include <string>

#include "engine/core/HotkeyDispatch.h"

using namespace engine;

namespace {

// keys: first key, second key, action key; '_' stands for a 0 byte.
HotkeyDecision Classify(std::uintptr_t dwData, const char* keys, int ready = 1, int show = 1) {
    unsigned char bytes[3];
    for (int i = 0; i < 3; ++i) bytes[i] = keys[i] == '_' ? 0 : static_cast<unsigned char>(keys[i]);
    return ClassifyHotkeyMessage(dwData, bytes, 3, ready, show);
}

// The decision in words: the action, rows x columns, the rule name; the panel's steps are the
// panel scenario's matter.
std::string Summary(const HotkeyDecision& d) {
    static const char* const actions[] = {"malformed", "busy", "incomplete", "nolayout", "grid", "undo", "rule"};
    std::string s = actions[static_cast<int>(d.action)];
    if (d.rows || d.columns) s += " " + std::to_string(d.rows) + "x" + std::to_string(d.columns);
    if (!d.ruleName.IsEmpty()) s += " " + Utf8FromWide(d.ruleName.GetString());
    return s;
}

}  // namespace

TEST(HotkeyDispatch, Decisions) {
    const std::uintptr_t first = kHookFirstKey, sequence = kHookSequence;
    const struct { std::uintptr_t dwData; const char* keys; int ready; const char* expected; } cases[] = {
        {sequence, "321", 1, "grid 3x2"},
        {sequence, "001", 1, "undo"},
        {sequence, "_01", 1, "undo"},  // "" counts as digits
        {sequence, "051", 1, "nolayout 0x5"},
        {sequence, "501", 1, "nolayout 5x0"},
        {sequence, "Q11", 1, "rule Q1"},
        {sequence, "Z0_", 1, "rule Z0"},
        {sequence, "q11", 1, "nolayout"},  // lower case: neither class
        {sequence, "1A1", 1, "incomplete"},
        {sequence, "1_1", 1, "incomplete"},
        {first, "5_1", 1, "incomplete"},
        {first, "321", 1, "grid 3x2"},
        {7, "Q11", 1, "rule Q1"},
        // while a sequence is handled, no other is dispatched
        {sequence, "221", 0, "busy"},
        {first, "5_1", 2, "busy"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Summary(Classify(c.dwData, c.keys, c.ready)), c.expected) << c.dwData << " " << c.keys;
    }
    const HotkeyDecision d = Classify(kHookSequence, "Q12");
    EXPECT_TRUE(d.key1 == L"Q" && d.key2 == L"1" && d.actKey == L"2");
    const HotkeyDecision p = Classify(kHookFirstKey, "7_2");
    EXPECT_TRUE(p.stage1Key1 == L"7" && p.previewActKey == L"2" && p.previewActKeyName == L"Ctrl");
    EXPECT_EQ(Classify(kHookFirstKey, "7_9").previewActKeyName, L"Unknown");
    // the first key is previewed only with the panel setting exactly 1
    EXPECT_TRUE(Classify(kHookFirstKey, "5_1").preview);
    EXPECT_FALSE(Classify(kHookFirstKey, "5_1", 1, 2).preview || Classify(kHookFirstKey, "5_1", 1, 0).preview);
}

TEST(HotkeyDispatch, MalformedPayloadsAndOtherCodePages) {
    // Anyone may send the message: short or missing payloads are dropped unread.
    const unsigned char bytes[8] = {'1', '3', '1', 'x', 'y', 0, 0, 0};
    for (std::uint32_t size = 0; size < 3; ++size) {
        EXPECT_EQ(Summary(ClassifyHotkeyMessage(kHookSequence, bytes, size, 1, 1)), "malformed") << size;
    }
    EXPECT_EQ(Summary(ClassifyHotkeyMessage(kHookSequence, nullptr, 3, 1, 1)), "malformed");
    EXPECT_EQ(ClassifyHotkeyMessage(kHookSequence, bytes, 8, 1, 1).columns, 3);  // only the first three bytes count

    // A Cyrillic code page: byte 0xC0 is U+0410, which looks like "A" but is no rule letter.
    auto cyrillic = [](unsigned char b) {
        return b ? CString(static_cast<wchar_t>(b >= 0xC0 ? 0x0410 + b - 0xC0 : b)) : CString();
    };
    const unsigned char letter[3] = {0xC0, '1', '1'}, superscript[3] = {'2', 0xB3, '1'};
    const HotkeyDecision d = ClassifyHotkeyMessage(kHookSequence, letter, 3, 1, 1, cyrillic);
    EXPECT_EQ(d.action, HotkeyAction::kNoLayout);
    EXPECT_EQ(d.key1, CString(static_cast<wchar_t>(0x0410)));
    EXPECT_EQ(ClassifyHotkeyMessage(kHookSequence, superscript, 3, 1, 1).action, HotkeyAction::kIncomplete);
}

TEST(HotkeyPanel, PositionOnTheWorkArea) {
    const struct { int right, bottom, x, y; } cases[] = {
        {1920, 1040, 732, 915},
        {3001, 1000, 1272, 877},  // origin not at 0,0: placed from the screen origin anyway
        {1366, 728, 455, 618},
        {456, 79, 0, 0},
        {300, 50, 0, 0},  // smaller than the panel: clamped, never negative
    };
    for (const auto& c : cases) {
        const PanelPoint p = PanelPositionOnWorkArea(c.right, c.bottom);
        EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(c.x, c.y)) << c.right << "x" << c.bottom;
    }
}
