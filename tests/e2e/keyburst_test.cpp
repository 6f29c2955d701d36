// Hotkeys typed in quick succession at the X level while earlier layouts still run: no key of a
// sequence reaches the program being typed into, the next letter typed is not taken for a
// sequence nor arrives with Alt down, and the last sequence typed is the last one applied.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/UiSupport.h"

namespace {

using layout::Cell;
using layout::Rect;

std::string ReadFileText(const std::wstring& path) {
    std::ifstream in(wts::Wide2Narrow(path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The log's layout lines, reduced to their keys ("32" for Alt + 3 + 2).
std::string LayoutKeys(const std::wstring& log) {
    std::string keys;
    for (size_t at = log.find(L"]: Alt + "); at != std::wstring::npos; at = log.find(L"]: Alt + ", at + 1)) {
        if (!keys.empty()) keys += ' ';
        keys += static_cast<char>(log[at + 9]);
        keys += static_cast<char>(log[at + 13]);
    }
    return keys;
}

bool IsSubsequence(const std::string& part, const std::string& whole) {
    size_t at = 0;
    for (char c : part) {
        at = whole.find(c, at);
        if (at == std::string::npos) return false;
        ++at;
    }
    return true;
}

TEST(KeyBurst, FastSequencesNeverLeakDigitsNorTakeTheNextLetterAndEndWithTheLastOneTyped) {
    TessoraRun run(L"keyburst");
    ASSERT_TRUE(layout::StartProgram(run, 0));
    const std::wstring keyLog = run.Path(L"keys.log");
    SetEnvironmentVariableW(L"TESSORA_SAMPLE_KEYLOG", keyLog.c_str());
    std::vector<layout::SampleSpec> specs;
    layout::SampleWindows typing;
    ASSERT_TRUE(typing.Start({{L"Typing", Rect(300, 200, 600, 400), L"fg,keys"}}));
    SetEnvironmentVariableW(L"TESSORA_SAMPLE_KEYLOG", nullptr);
    // Programs that take a while to lay themselves out again after each move.
    for (int i = 0; i < 8; ++i) specs.push_back({L"Burst " + std::to_wstring(i), Rect(40 * i, 30 * i, 500, 300), L"lag"});
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start(specs));

    ASSERT_TRUE(ui::Xdotool(L"search --sync --name '^Typing$' windowfocus --sync"));
    Sleep(300);
    // Alt held through three sequences, then three with Alt pressed for each, about 0.1 s apart.
    const std::string typed = "31 21 13 22 12 23";
    ASSERT_TRUE(ui::Xdotool(L"keydown alt key 3 key 1 sleep 0.1 key 2 key 1 sleep 0.1 key 1 key 3 keyup alt "
                             L"sleep 0.1 keydown alt key 2 key 2 keyup alt sleep 0.1 keydown alt key 1 key 2 keyup alt "
                             L"sleep 0.1 keydown alt key 2 key 3 keyup alt"));
    auto lastApplied = [&] {
        const std::string keys = LayoutKeys(run.LogText());
        return keys.size() >= 2 ? keys.substr(keys.size() - 2) : std::string();
    };
    ASSERT_TRUE(wts::WaitUntil([&] { return lastApplied() == "23"; }, 20000)) << wts::Wide2Narrow(run.LogText());
    Sleep(1500);  // anything still queued would land now
    const std::string applied = LayoutKeys(run.LogText());
    EXPECT_TRUE(IsSubsequence(applied, typed)) << applied;
    EXPECT_EQ(applied.substr(applied.size() - 2), "23") << applied;
    const RECT r = layout::WindowRect(typing.Get(L"Typing"));
    bool inLastGrid = false;
    for (int k = 0; k < 6; ++k) inLastGrid |= layout::SameRect(r, Cell(2, 3, k));
    EXPECT_TRUE(inLastGrid) << layout::RectText(r);

    // The window typed into is still the one in front, and plain typing afterwards reaches it as
    // text with Alt up: the hook neither takes the "x" for the start of a sequence nor leaves Alt
    // down (a program busy with the moves may put it back down late).
    wchar_t front[64] = {};
    GetWindowTextW(GetForegroundWindow(), front, 64);
    EXPECT_EQ(GetForegroundWindow(), typing.Get(L"Typing")) << wts::Wide2Narrow(front);
    ASSERT_TRUE(ui::Xdotool(L"key x"));
    ASSERT_TRUE(wts::WaitUntil([&] { return ReadFileText(keyLog).find("CH 78") != std::string::npos; }, 5000))
        << ReadFileText(keyLog);
    const std::string keys = ReadFileText(keyLog);
    EXPECT_NE(keys.find("\nKD 58 0\r\nCH 78 0\r\n"), std::string::npos) << keys;
    EXPECT_EQ(keys.find("SKD 58"), std::string::npos) << keys;
    // No digit of a sequence reached the window, neither as a key nor as a character.
    for (const char* name : {"KD", "KU", "SKD", "SKU", "CH", "SCH"}) {
        for (int d = '0'; d <= '9'; ++d) {
            char item[16];
            snprintf(item, sizeof item, "%s %02X ", name, d);
            EXPECT_EQ(keys.find(item), std::string::npos) << item << " in\n" << keys;
        }
    }
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace
