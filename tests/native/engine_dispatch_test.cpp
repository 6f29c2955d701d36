#include <gtest/gtest.h>

#include <vector>

#include "engine/core/HotkeyDispatch.h"
#include "engine/core/Layouts.h"

using namespace engine;

namespace {

HotkeyDecision Classify(std::uintptr_t dwData, const char* keys, int ready = 1, int show = 1) {
    // keys: first key, second key, action key; '_' stands for a 0 byte.
    unsigned char bytes[3];
    for (int i = 0; i < 3; ++i) bytes[i] = keys[i] == '_' ? 0 : static_cast<unsigned char>(keys[i]);
    return ClassifyHotkeyMessage(dwData, bytes, 3, ready, show);
}

}  // namespace

TEST(HotkeyDispatch, CompleteSequences) {
    const struct {
        const char* keys;
        HotkeyAction action;
        int rows, columns;
        const wchar_t* rule;
        bool restoreHook;
    } cases[] = {
        {"321", HotkeyAction::kGrid, 3, 2, L"", true},
        {"992", HotkeyAction::kGrid, 9, 9, L"", true},
        {"001", HotkeyAction::kUndo, 0, 0, L"", true},
        {"_01", HotkeyAction::kUndo, 0, 0, L"", true},  // empty first key counts as digits
        {"_41", HotkeyAction::kNoLayout, 0, 4, L"", true},
        {"051", HotkeyAction::kNoLayout, 0, 5, L"", true},
        {"501", HotkeyAction::kNoLayout, 5, 0, L"", true},
        {"Q11", HotkeyAction::kUserRule, 0, 0, L"Q1", true},
        {"B32", HotkeyAction::kUserRule, 0, 0, L"B3", true},
        {"Z0_", HotkeyAction::kUserRule, 0, 0, L"Z0", true},
        {"q11", HotkeyAction::kNoLayout, 0, 0, L"", true},  // lower case: neither class
        {"#11", HotkeyAction::kNoLayout, 0, 0, L"", true},
        {"1A1", HotkeyAction::kIncomplete, 0, 0, L"", false},
        {"1_1", HotkeyAction::kIncomplete, 0, 0, L"", false},
        {"Q 1", HotkeyAction::kIncomplete, 0, 0, L"", false},
    };
    for (const auto& c : cases) {
        const HotkeyDecision d = Classify(kHookSequence, c.keys);
        EXPECT_EQ(d.action, c.action) << c.keys;
        EXPECT_EQ(d.restoreHook, c.restoreHook) << c.keys;
        EXPECT_EQ(d.refreshMonitors, c.restoreHook) << c.keys;
        EXPECT_TRUE(d.takeKeys) << c.keys;
        EXPECT_EQ(d.timerPeriodMs, kPanelSequenceMs) << c.keys;
        if (c.action == HotkeyAction::kGrid || c.action == HotkeyAction::kNoLayout) {
            if (c.rows || c.columns) {
                EXPECT_EQ(d.rows, c.rows) << c.keys;
                EXPECT_EQ(d.columns, c.columns) << c.keys;
            }
        }
        EXPECT_EQ(d.ruleName, c.rule) << c.keys;
    }
    const HotkeyDecision d = Classify(kHookSequence, "Q12");
    EXPECT_EQ(d.key1, L"Q");
    EXPECT_EQ(d.key2, L"1");
    EXPECT_EQ(d.actKey, L"2");
}

TEST(HotkeyDispatch, PanelStepsAndTimer) {
    const struct {
        const char* what;
        std::uintptr_t dwData;
        const char* keys;
        int show;
        bool stage1Hide, preview;
        int timer;
        bool hide, move, keyText;
    } cases[] = {
        {"first digit", kHookFirstKey, "5_1", 1, true, true, kPanelPreviewMs, false, false, false},
        {"first Q", kHookFirstKey, "Q_2", 1, true, true, kPanelPreviewMs, false, false, false},
        {"first other letter", kHookFirstKey, "B_1", 1, true, false, 0, false, false, false},
        {"first empty key", kHookFirstKey, "__1", 1, true, true, kPanelPreviewMs, false, false, false},
        {"first key, panel off", kHookFirstKey, "5_1", 0, false, false, 0, false, false, false},
        {"first key, panel value 2", kHookFirstKey, "5_1", 2, false, false, 0, false, false, false},
        {"digits complete", kHookSequence, "321", 1, false, false, kPanelSequenceMs, true, true, true},
        {"letter complete", kHookSequence, "Q11", 1, false, false, kPanelSequenceMs, true, true, true},
        {"digits complete, panel off", kHookSequence, "321", 0, false, false, kPanelSequenceMs, false, false, false},
        {"digits under dwData 1", kHookFirstKey, "321", 1, true, true, kPanelPreviewMs, false, false, true},
        {"letter under dwData 7", 7, "Q11", 1, false, false, 0, true, false, true},
        {"lower case complete", kHookSequence, "q11", 1, false, false, kPanelSequenceMs, false, false, false},
    };
    for (const auto& c : cases) {
        const HotkeyDecision d = Classify(c.dwData, c.keys, 1, c.show);
        EXPECT_EQ(d.stage1HidePanel, c.stage1Hide) << c.what;
        EXPECT_EQ(d.stage1SetKey1, c.stage1Hide) << c.what;
        EXPECT_EQ(d.preview, c.preview) << c.what;
        EXPECT_EQ(d.timerPeriodMs, c.timer) << c.what;
        EXPECT_EQ(d.panelHide, c.hide) << c.what;
        EXPECT_EQ(d.panelMove, c.move) << c.what;
        EXPECT_EQ(d.panelShowSecondKey, c.keyText) << c.what;
    }
    const HotkeyDecision p = Classify(kHookFirstKey, "7_2");
    EXPECT_EQ(p.stage1Key1, L"7");
    EXPECT_EQ(p.previewActKey, L"2");
    EXPECT_EQ(p.previewActKeyName, L"Ctrl");
    EXPECT_EQ(Classify(kHookFirstKey, "7_9").previewActKeyName, L"Unknown");
}

TEST(HotkeyDispatch, BusyAndMalformedMessages) {
    // While a sequence is handled, another message still gets stage 1 but no dispatch.
    const HotkeyDecision busy = Classify(kHookSequence, "221", 0);
    EXPECT_EQ(busy.action, HotkeyAction::kBusy);
    EXPECT_FALSE(busy.takeKeys);
    EXPECT_FALSE(busy.restoreHook);
    EXPECT_EQ(busy.timerPeriodMs, kPanelSequenceMs);
    EXPECT_EQ(Classify(kHookFirstKey, "5_1", 2).action, HotkeyAction::kBusy);
    EXPECT_TRUE(Classify(kHookFirstKey, "5_1", 0).preview);

    const unsigned char bytes[3] = {'2', '2', '1'};
    for (std::uint32_t size = 0; size < 3; ++size) {
        const HotkeyDecision d = ClassifyHotkeyMessage(kHookSequence, bytes, size, 1, 1);
        EXPECT_EQ(d.action, HotkeyAction::kMalformed) << size;
        EXPECT_EQ(d.timerPeriodMs, 0);
        EXPECT_FALSE(d.restoreHook);
        EXPECT_FALSE(d.takeKeys);
    }
    EXPECT_EQ(ClassifyHotkeyMessage(kHookSequence, nullptr, 3, 1, 1).action, HotkeyAction::kMalformed);
    // A longer payload is read for its first three bytes.
    const unsigned char longer[8] = {'1', '3', '1', 'x', 'y', 0, 0, 0};
    EXPECT_EQ(ClassifyHotkeyMessage(kHookSequence, longer, 8, 1, 1).columns, 3);
}

TEST(HotkeyDispatch, KeyBytesThroughTheGivenConverter) {
    // A code page that maps byte 0xB3 to a superscript three: not a digit, so no sequence.
    auto toText = [](unsigned char b) -> CString {
        if (b == 0) return CString();
        if (b == 0xB3) return CString(static_cast<wchar_t>(0x00B3));
        return CString(static_cast<wchar_t>(b));
    };
    const unsigned char bytes[3] = {'2', 0xB3, '1'};
    EXPECT_EQ(ClassifyHotkeyMessage(kHookSequence, bytes, 3, 1, 1, toText).action, HotkeyAction::kIncomplete);
    const unsigned char letter[3] = {0xC4, '1', '1'};
    EXPECT_EQ(ClassifyHotkeyMessage(kHookSequence, letter, 3, 1, 1, toText).action, HotkeyAction::kNoLayout);
}

TEST(LogLines, NotDefinedAndLayoutLines) {
    std::vector<ScreenRect> screens(kMaxScreens);
    screens[0] = {0, 0, 1920, 1080};
    screens[1] = {1920, 0, 1920, 1080};
    LayoutContext ctx;
    ctx.screens = screens.data();
    ctx.screenCount = 2;
    ctx.cursorX = 100;
    ctx.cursorY = 100;
    ctx.actKey = L"1";
    EXPECT_EQ(BuildNotDefinedLogLine(ctx, L"B", L"3"), L"[M2 at 1(1920x1080) K1]: Alt + B + 3 (--) ...Not Defined");
    ctx.cursorX = 2000;
    ctx.executeHotkeyType = 2;
    ctx.actKey = L"2";
    EXPECT_EQ(BuildNotDefinedLogLine(ctx, L"", L"7"), L"[M2 at 2(1920x1080) K3]: Ctrl +  + 7 (--) ...Not Defined");
    EXPECT_EQ(FormatLayoutLogLine(FormatGridLogHead(1, 0, {0, 0, 1920, 1040}, 0, L"1", 2, 3), 4),
              L"[M1 at 1(1920x1040) K1]: Alt + 2 + 3 (4) ...OK");
    EXPECT_EQ(FormatLayoutLogLine(FormatKeysLogHead(1, 0, {0, 0, 1920, 1040}, 1, L"2", L"Q", L"1"), 0),
              L"[M1 at 1(1920x1040) K2]: Ctrl + Q + 1 (0) ...OK");
}

TEST(HotkeyPanel, PositionOnTheWorkArea) {
    const struct {
        int right, bottom, x, y;
    } cases[] = {
        {1920, 1040, 732, 915},
        {1920, 1080, 732, 953},
        {3000, 1000, 1272, 877},  // origin not at 0,0: placed from the screen origin anyway
        {1366, 728, 455, 618},
        {456, 79, 0, 0},
        {300, 50, 0, 0},          // smaller than the panel: clamped, never negative
        {-100, -100, 0, 0},
    };
    for (const auto& c : cases) {
        const PanelPoint p = PanelPositionOnWorkArea(c.right, c.bottom);
        EXPECT_EQ(p.x, c.x) << c.right << "x" << c.bottom;
        EXPECT_EQ(p.y, c.y) << c.right << "x" << c.bottom;
    }
}
