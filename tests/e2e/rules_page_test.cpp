// The user-defined rules page, the rule editor, the desktop capture and the zone title editor on
// the real program, driven from this process; the rules they store are applied with keys typed
// through the real hook.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/OptionsSupport.h"
#include "tests/e2e/UiSupport.h"

namespace {

using layout::Cell;
using layout::Rect;

// Control ids of the page, the rule editor and the zone title editor.
constexpr int kRuleCombo = 1176, kAdd = 1170, kEdit = 1172, kActive = 1174, kHotkeyText = 1159;
constexpr int kPreviewFirst = 36864, kCanvasFirst = 38144;
constexpr int kName = 1180, kKey = 1184, kType = 1179, kGetLayout = 1218, kWindowCount = 1222, kDeleteRule = 1181,
              kSave = 1224, kWindowNo = 1219, kDeleteWindow = 1221;
constexpr int kTitleEdit = 1214, kTitleAdd = 1213, kTitleList = 1215;

CRuleStore OpenStore(TessoraRun& run) { return CRuleStore(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {})); }

// StartProgram in another language.
bool StartIn(TessoraRun& run, const std::string& language) {
    {
        CRuleStore store = OpenStore(run);
        int id = 0;
        if (store.AddExclude(CString(layout::kHarnessWindowTitle), &id, 0) != 0) return false;
    }
    const RECT m = layout::PrimaryMonitorEntry();
    return options::Start(run, language, 0, 0) && SetCursorPos((m.left + m.right) / 2, (m.top + m.bottom) / 2);
}

// A click that may open a modal dialog: posted, so that this process does not wait on it.
void PostClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Pick(HWND dialog, int comboId, int index) {
    HWND combo = GetDlgItem(dialog, comboId);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// The captions of the visible zone buttons, "1(0) 2(1) ..."; the count when `countOnly`.
std::wstring Captions(HWND parent, int firstId) {
    std::wstring out;
    for (int i = 0; i < 101; ++i) {
        HWND b = GetDlgItem(parent, firstId + i);
        if (!b || !IsWindowVisible(b)) continue;
        out += (out.empty() ? L"" : L" ") + wts::WindowText(b);
    }
    return out;
}
int ButtonCount(HWND parent, int firstId) {
    int n = 0;
    for (int i = 0; i < 101; ++i) n += GetDlgItem(parent, firstId + i) && IsWindowVisible(GetDlgItem(parent, firstId + i));
    return n;
}

// Saves the open editor with Yes to the question; false when it did not close.
bool SaveEditor(TessoraRun& run, HWND editor) {
    PostClick(editor, kSave);
    wts::MessageBoxInfo box;
    return wts::AnswerMessageBox(run.proc.Pid(), box, IDYES) && wts::WaitUntil([&] { return !IsWindow(editor); });
}

// Opens the options window on the rules page.
HWND OpenRulesPage(TessoraRun& run, HWND* options) {
    *options = options::OpenFromTray(run);
    if (!*options) return nullptr;
    options::ClickPageButton(*options, options::kRules);
    return options::PageWindow(*options, options::kRules);
}

TEST(RulesPage, AddATypeFiveRuleBindTitlesAndFilesThenEditAndDeleteIt) {
    TessoraRun run(L"rulespage");
    ASSERT_TRUE(layout::StartProgram(run, 0));
    HWND options = nullptr;
    HWND page = OpenRulesPage(run, &options);
    ASSERT_TRUE(page);
    // No rule yet: only Add is possible.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kRuleCombo)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kEdit)));
    EXPECT_EQ(wts::WindowText(GetDlgItem(page, kHotkeyText)), L"");

    PostClick(page, kAdd);
    HWND editor = options::WaitDialog(run, kName);
    ASSERT_TRUE(editor);
    EXPECT_EQ(wts::WindowText(editor), L"Tessora Add User define");
    EXPECT_EQ(options::ComboItems(editor, kKey), L"1|2|3|4|5|6|7|8|9");
    EXPECT_EQ(wts::WindowText(GetDlgItem(editor, kWindowCount)), L"1");  // type 1 drawn at first
    Pick(editor, kType, 4);
    EXPECT_EQ(Captions(editor, kCanvasFirst), L"1 2 3 4");
    SetWindowTextW(GetDlgItem(editor, kName), L"  Two by two\t");
    ASSERT_TRUE(SaveEditor(run, editor));

    // The new rule is shown first, with its hotkey and type 5's four zones on an active screen 1
    // (the zones come last when the page refreshes).
    EXPECT_TRUE(wts::WaitUntil([&] { return Captions(page, kPreviewFirst) == L"1(0) 2(0) 3(0) 4(0)"; }))
        << wts::Wide2Narrow(Captions(page, kPreviewFirst));
    EXPECT_EQ(options::ComboItems(page, kRuleCombo), L"Two by two");
    EXPECT_EQ(wts::WindowText(GetDlgItem(page, kHotkeyText)), L"[ActKey] + Q + 1");
    EXPECT_TRUE(options::IsChecked(GetDlgItem(page, kActive)));

    // Zone 2 gets a typed title through the zone title editor.
    PostClick(page, kPreviewFirst + 1);
    HWND titles = options::WaitDialog(run, kTitleList);
    ASSERT_TRUE(titles);
    SetWindowTextW(GetDlgItem(titles, kTitleEdit), L"Pinned Sample");
    SendMessageW(titles, WM_COMMAND, MAKEWPARAM(kTitleAdd, BN_CLICKED), 0);
    EXPECT_EQ(SendMessageW(GetDlgItem(titles, kTitleList), LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_TRUE(options::Screenshot(titles, L"rules_zone_titles_en"));
    PostClick(titles, IDOK);
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindow(titles); }));
    EXPECT_TRUE(wts::WaitUntil([&] { return Captions(page, kPreviewFirst) == L"1(0) 2(1) 3(0) 4(0)"; }));

    // Two files dropped on zone 3 are bound to zone 3 of the screen shown.
    ASSERT_TRUE(options::DropFiles(run, GetDlgItem(page, kPreviewFirst + 2), {L"C:\\Docs\\report.txt", L"C:\\Tools\\calc.exe"}));
    EXPECT_TRUE(wts::WaitUntil([&] { return wts::WindowText(GetDlgItem(page, kPreviewFirst + 2)) == L"3(2)"; }));
    {
        CRuleStore store = OpenStore(run);
        ASSERT_TRUE(store.Reload(0));
        int count = 0;
        const std::vector<TitleRecord> dropped = store.ReadTitles(1, 3, &count);
        ASSERT_EQ(count, 2);
        EXPECT_EQ(std::wstring(dropped[0].file_path), L"C:\\Docs\\report.txt");
    }
    EXPECT_TRUE(options::Screenshot(options, L"rules_page_en"));
    ASSERT_TRUE(options::CloseWith(options, options::kOk));

    // Alt+Q+1: the bound window takes zone 2; the others fill the free zones in z-order.
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start({{L"Top Window", Rect(100, 100, 500, 300), L""},
                         {L"Pinned Sample - notes", Rect(300, 200, 500, 300), L""},
                         {L"Third Window", Rect(400, 250, 500, 300), L""}}));
    ASSERT_TRUE(s.StackTopDown({L"Top Window", L"Pinned Sample - notes", L"Third Window"}));
    ASSERT_TRUE(layout::RunHotkey(run, 'Q', '1', L"(3) ...OK")) << wts::Wide2Narrow(run.LogText());
    EXPECT_RECT(Cell(2, 2, 1), s.Get(L"Pinned Sample - notes"));
    EXPECT_RECT(Cell(2, 2, 0), s.Get(L"Top Window"));
    EXPECT_RECT(Cell(2, 2, 2), s.Get(L"Third Window"));

    // Edit shows the stored rule; its Delete removes it from the page and the database.
    page = OpenRulesPage(run, &options);
    ASSERT_TRUE(page);
    PostClick(page, kEdit);
    editor = options::WaitDialog(run, kName);
    ASSERT_TRUE(editor);
    EXPECT_EQ(wts::WindowText(GetDlgItem(editor, kName)), L"Two by two");
    EXPECT_EQ(options::ComboItems(editor, kKey), L"1|2|3|4|5|6|7|8|9");
    PostClick(editor, kDeleteRule);
    wts::MessageBoxInfo box;
    ASSERT_TRUE(wts::AnswerMessageBox(run.proc.Pid(), box, IDYES));
    EXPECT_EQ(box.text, L"Are you sure you want to delete the user define?");
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindow(editor); }));
    EXPECT_TRUE(wts::WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(page, kEdit)); }));
    EXPECT_EQ(options::ComboItems(page, kRuleCombo), L"");
    {
        CRuleStore store = OpenStore(run);
        store.Reload(0);
        EXPECT_EQ(store.m_nRuleRows, 0);
    }
    ASSERT_TRUE(options::CloseWith(options, options::kOk));
    EXPECT_TRUE(layout::RunHotkey(run, 'Q', '1', L"(--) ...Not Defined")) << wts::Wide2Narrow(run.LogText());
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(RulesPage, ACapturedLayoutPutsTheWindowsBackWhereTheyWere) {
    TessoraRun run(L"rulescapture");
    ASSERT_TRUE(layout::StartProgram(run, 0));
    // Quarters and eighths of the monitor: fractions that survive the database exactly.
    const RECT m = layout::PrimaryMonitorEntry();
    const int w = (m.right - m.left) / 8, h = (m.bottom - m.top) / 8;
    const std::vector<layout::SampleSpec> spots = {{L"Left Top", Rect(m.left + w, m.top + h, 2 * w, 2 * h), L""},
                                                   {L"Left Low", Rect(m.left + w, m.top + 4 * h, 2 * w, 3 * h), L""},
                                                   {L"Right", Rect(m.left + 4 * w, m.top + 2 * h, 3 * w, 4 * h), L""}};
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start(spots));
    HWND options = nullptr;
    HWND page = OpenRulesPage(run, &options);
    ASSERT_TRUE(page);
    PostClick(page, kAdd);
    HWND editor = options::WaitDialog(run, kName);
    ASSERT_TRUE(editor);
    SetWindowTextW(GetDlgItem(editor, kName), L"Captured");
    SendMessageW(editor, WM_COMMAND, MAKEWPARAM(kGetLayout, BN_CLICKED), 0);
    // By columns, left column top first: the harness's own tray window at (0, 0), then ours.
    // "UserType" now stands for the capture.
    EXPECT_EQ(wts::WindowText(GetDlgItem(editor, kWindowCount)), L"4");
    EXPECT_EQ(SendMessageW(GetDlgItem(editor, kType), CB_GETCURSEL, 0, 0), 10);
    EXPECT_TRUE(options::Screenshot(editor, L"rules_editor_capture_en"));
    // Clicking zone 1 names it for "Delete window"; the rest are numbered again.
    SendMessageW(editor, WM_COMMAND, MAKEWPARAM(kCanvasFirst, BN_CLICKED), 0);
    EXPECT_EQ(wts::WindowText(GetDlgItem(editor, kWindowNo)), L"1");
    SendMessageW(editor, WM_COMMAND, MAKEWPARAM(kDeleteWindow, BN_CLICKED), 0);
    EXPECT_EQ(Captions(editor, kCanvasFirst), L"1 2 3");
    ASSERT_TRUE(SaveEditor(run, editor));
    EXPECT_TRUE(wts::WaitUntil([&] { return Captions(page, kPreviewFirst) == L"1(0) 2(0) 3(0)"; }));
    ASSERT_TRUE(options::CloseWith(options, options::kOk));

    // Moved away and stacked in the capture's order, the hotkey puts each back exactly.
    for (const auto& spot : spots)
        SetWindowPos(s.Get(spot.title), nullptr, m.left + 50, m.top + 60, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(s.StackTopDown({L"Left Top", L"Left Low", L"Right"}));
    ASSERT_TRUE(layout::RunHotkey(run, 'Q', '1', L"(3) ...OK")) << wts::Wide2Narrow(run.LogText());
    for (const auto& spot : spots) EXPECT_RECT(spot.rect, s.Get(spot.title)) << wts::Wide2Narrow(spot.title);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(RulesPage, LongAndOddNamesTenthRulesHugeTypesEmptyTitleNamesAndVanishedRulesInGerman) {
    TessoraRun run(L"rulesbad");
    {
        // Q1..Q7, then Q8 with a stored captured type of 150 zones (newest, so shown first).
        CRuleStore store = OpenStore(run);
        std::vector<ScreenTypeEntry> entries(1, ScreenTypeEntry{0, 1, 1, 0});
        for (int i = 1; i <= 7; ++i)
            ASSERT_EQ(store.AddRule(CString(L"Rule"), CString((L"Q" + std::to_wstring(i)).c_str()), entries, {}), 0);
        RegionList many;
        for (int i = 0; i < 150; ++i) {
            RegionNode n;
            n.type_flg = TYPE_FLG_USER;
            n.type_id = -1;
            n.x = (i % 15) / 15.0, n.y = (i / 15) / 10.0, n.width = 1 / 15.0, n.height = 0.1;
            many.push_back(n);
        }
        entries[0].type_id = -1;
        ASSERT_EQ(store.AddRule(CString(L"Many zones"), CString(L"Q8"), entries, many), 0);
    }
    ASSERT_TRUE(StartIn(run, "Germany"));
    HWND options = nullptr;
    HWND page = OpenRulesPage(run, &options);
    ASSERT_TRUE(page);
    // The first 100 zones get buttons; nothing is written past a slot.
    EXPECT_EQ(ButtonCount(page, kPreviewFirst), 100);
    EXPECT_EQ(wts::WindowText(GetDlgItem(page, kPreviewFirst + 99)), L"100(0)");
    EXPECT_TRUE(options::Screenshot(options, L"rules_page_de"));
    PostClick(page, kEdit);
    HWND editor = options::WaitDialog(run, kName);
    ASSERT_TRUE(editor);
    EXPECT_EQ(SendMessageW(GetDlgItem(editor, kType), CB_GETCURSEL, 0, 0), 10);
    EXPECT_EQ(wts::WindowText(GetDlgItem(editor, kWindowCount)), L"100");
    EXPECT_EQ(wts::WindowText(GetDlgItem(editor, kGetLayout)), L"Desktop-Layout übernehmen");
    // A capture in place of it shows, and Cancel keeps the stored one.
    SendMessageW(editor, WM_COMMAND, MAKEWPARAM(kGetLayout, BN_CLICKED), 0);
    EXPECT_NE(wts::WindowText(GetDlgItem(editor, kWindowCount)), L"100");
    EXPECT_TRUE(options::Screenshot(editor, L"rules_editor_capture_de"));
    PostClick(editor, IDCANCEL);
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindow(editor); }));

    // A name of 1,000 characters with quotes, percent signs and non-Latin text is kept whole; the
    // ninth digit is the last one offered.
    std::wstring name;
    while (name.size() < 1000) name += L"O'Brien \"50%\" 東京 ";
    name.resize(999);
    name += L"!";  // a trailing blank would be trimmed
    PostClick(page, kAdd);
    editor = options::WaitDialog(run, kName);
    ASSERT_TRUE(editor);
    EXPECT_EQ(options::ComboItems(editor, kKey), L"9");
    SetWindowTextW(GetDlgItem(editor, kName), name.c_str());
    Pick(editor, kType, 1);
    ASSERT_TRUE(SaveEditor(run, editor));
    ASSERT_TRUE(wts::WaitUntil([&] { return options::ComboItems(page, kRuleCombo).substr(0, name.size()) == name; }));
    {
        CRuleStore store = OpenStore(run);
        store.Reload(0);
        EXPECT_EQ(std::wstring((*store.GetRuleNames())[0]), name);
    }
    // A tenth rule would have no digit: the editor cannot save one.
    PostClick(page, kAdd);
    editor = options::WaitDialog(run, kName);
    ASSERT_TRUE(editor);
    EXPECT_EQ(options::ComboItems(editor, kKey), L"");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, kSave)));
    PostClick(editor, IDCANCEL);
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindow(editor); }));

    // Titles whose file-name part is empty are stored whole and pin no window.
    PostClick(page, kPreviewFirst + 1);
    HWND titles = options::WaitDialog(run, kTitleList);
    ASSERT_TRUE(titles);
    for (const wchar_t* t : {L".gitignore", L"C:\\Temp\\"}) {
        SetWindowTextW(GetDlgItem(titles, kTitleEdit), t);
        SendMessageW(titles, WM_COMMAND, MAKEWPARAM(kTitleAdd, BN_CLICKED), 0);
    }
    EXPECT_EQ(SendMessageW(GetDlgItem(titles, kTitleList), LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_TRUE(options::Screenshot(titles, L"rules_zone_titles_de"));
    PostClick(titles, IDOK);
    ASSERT_TRUE(wts::WaitUntil([&] { return Captions(page, kPreviewFirst) == L"1(0) 2(2)"; }));
    ASSERT_TRUE(options::CloseWith(options, options::kOk));
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start({{L"Alpha .gitignore", Rect(100, 100, 500, 300), L""}, {L"Beta", Rect(300, 200, 500, 300), L""}}));
    ASSERT_TRUE(s.StackTopDown({L"Alpha .gitignore", L"Beta"}));
    ASSERT_TRUE(layout::RunHotkey(run, 'Q', '9', L"(2) ...OK")) << wts::Wide2Narrow(run.LogText());
    EXPECT_RECT(Cell(1, 2, 0), s.Get(L"Alpha .gitignore"));
    EXPECT_RECT(Cell(1, 2, 1), s.Get(L"Beta"));

    // Another window deletes the shown rule; Edit then offers only Delete and Cancel.
    page = OpenRulesPage(run, &options);
    ASSERT_TRUE(page);
    {
        CRuleStore store = OpenStore(run);
        ASSERT_TRUE(store.Reload(0));
        ASSERT_EQ(store.DeleteRule(), 0);
    }
    PostClick(page, kEdit);
    editor = options::WaitDialog(run, kName);
    ASSERT_TRUE(editor);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, kSave)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, kGetLayout)));
    SendMessageW(editor, WM_COMMAND, MAKEWPARAM(kGetLayout, BN_CLICKED), 0);  // must not crash either
    PostClick(editor, IDCANCEL);
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindow(editor); }));
    ASSERT_TRUE(options::CloseWith(options, options::kOk));
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace
