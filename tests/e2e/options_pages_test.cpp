// The exclude page and the backup page of the options window on the real program, driven from
// this process: typed and dropped entries, deleting several rows, a backup and a restore that the
// next hotkey follows without a restart.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/OptionsSupport.h"
#include "tests/e2e/UiSupport.h"

namespace {

using layout::Cell;
using layout::Rect;

constexpr int kExcludeList = 1187, kExcludeEdit = 1191, kExcludeAdd = 1197;
constexpr int kBackup = 1205, kRestorePath = 1203, kBrowse = 1200, kStartRestore = 1206;

// Posts the click: the program may answer it with a modal box that this process must answer.
void Press(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// A list-view call whose LVITEMW (and cell text) live in the program; the text read back.
std::wstring ListCall(wts::Process& p, HWND list, UINT msg, int row, LVITEMW item) {
    constexpr size_t kText = 1024;
    char* at = static_cast<char*>(VirtualAllocEx(p.pi.hProcess, nullptr, sizeof(item) + kText * sizeof(wchar_t),
                                                 MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    item.pszText = reinterpret_cast<wchar_t*>(at + sizeof(item));
    item.cchTextMax = kText - 1;
    std::wstring text(kText, L'\0');
    WriteProcessMemory(p.pi.hProcess, at, &item, sizeof(item), nullptr);
    SendMessageW(list, msg, row, reinterpret_cast<LPARAM>(at));
    ReadProcessMemory(p.pi.hProcess, item.pszText, &text[0], (kText - 1) * sizeof(wchar_t), nullptr);
    VirtualFreeEx(p.pi.hProcess, at, 0, MEM_RELEASE);
    return text.c_str();
}

std::wstring CellText(wts::Process& p, HWND list, int row, int col) {
    LVITEMW item = {};
    item.iSubItem = col;
    return ListCall(p, list, LVM_GETITEMTEXTW, row, item);
}

void SelectRows(wts::Process& p, HWND list, std::initializer_list<int> rows) {
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_SELECTED;
    for (int r : rows) ListCall(p, list, LVM_SETITEMSTATE, r, item);
}

int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring Answer(wts::Process& p, int button) {
    wts::MessageBoxInfo box;
    if (!wts::AnswerMessageBox(p.Pid(), box, button)) return L"(no box)";
    return box.caption + L": " + box.text;
}

std::vector<ExcludeRecord> StoredExcludes(TessoraRun& run) {
    CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
    return store.LoadExcludes();
}

void ShootBothLanguages(HWND options, options::Page page, const std::wstring& name) {
    options::ClickPageButton(options, page);
    EXPECT_TRUE(options::Screenshot(options, name + L"_en"));
    options::PickLanguage(options, L"Germany");
    EXPECT_TRUE(options::Screenshot(options, name + L"_de"));
    options::PickLanguage(options, L"English");
}

TEST(OptionsExclude, TypedAndDroppedEntriesAndOneQuestionForSeveralDeletes) {
    TessoraRun run(L"excludepage");
    ASSERT_TRUE(layout::StartProgram(run, 0));
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start({{L"Movable Window", Rect(100, 100, 500, 300), L""},
                         {L"Keep Me Here - editor", Rect(700, 300, 500, 300), L""}}));
    const RECT kept = s.RectOf(L"Keep Me Here - editor");

    HWND options = options::OpenFromTray(run);
    ASSERT_TRUE(options);
    options::ClickPageButton(options, options::kExclude);
    HWND page = options::PageWindow(options, options::kExclude);
    ASSERT_TRUE(page);
    HWND list = GetDlgItem(page, kExcludeList);
    const int harnessRows = Rows(list);

    // A typed title counts from the next layout on, with the window still open.
    SendMessageW(GetDlgItem(page, kExcludeEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"  Keep Me  "));
    Press(page, kExcludeAdd);
    ASSERT_TRUE(wts::WaitUntil([&] { return Rows(list) == harnessRows + 1; }));
    EXPECT_EQ(CellText(run.proc, list, harnessRows, 2), L"Keep Me");
    ShowWindow(options, SW_HIDE);
    ASSERT_TRUE(layout::RunHotkey(run, '1', '1', L"(1) ...OK")) << wts::Wide2Narrow(run.LogText());
    EXPECT_RECT(Cell(1, 1, 0), s.Get(L"Movable Window"));
    EXPECT_RECT(kept, s.Get(L"Keep Me Here - editor"));

    // Files dropped from this process: one row each at the end, the name in the title column. A
    // drive root would exclude every window and is not stored; a long path is stored whole.
    options = options::OpenFromTray(run);
    const std::wstring folder = wts::TempDir(L"dropped");
    const std::wstring file = folder + L"\\report.txt";
    const std::wstring deep = folder + L"\\" + std::wstring(150, L'd') + L"\\" + std::wstring(150, L'e') + L"\\tool.exe";
    ASSERT_TRUE(wts::WriteFileBytes(file, "x"));
    ASSERT_TRUE(options::DropFiles(run.proc, list, {file, L"D:\\", deep}));
    const int first = harnessRows + 1;
    ASSERT_EQ(Rows(list), first + 3);
    EXPECT_EQ(CellText(run.proc, list, first, 2), L"report.txt");
    EXPECT_EQ(CellText(run.proc, list, first, 1), L"");
    EXPECT_EQ(CellText(run.proc, list, first + 1, 0), L"0");
    EXPECT_EQ(CellText(run.proc, list, first + 2, 2), L"tool.exe");
    auto stored = StoredExcludes(run);
    ASSERT_EQ(stored.size(), static_cast<size_t>(first + 2));
    EXPECT_EQ(std::wstring(stored.back().file_path.GetString()), deep);
    EXPECT_EQ(CellText(run.proc, list, first, 0), std::to_wstring(stored[first].id)) << "the id is in the row at once";
    ShootBothLanguages(options, options::kExclude, L"options_exclude");

    // Refilled from the store: the drive root's row is gone and files that are missing are marked.
    ASSERT_TRUE(DeleteFileW(file.c_str()));
    options::PickLanguage(options, L"English");
    ASSERT_TRUE(wts::WaitUntil([&] { return CellText(run.proc, list, first, 1) == L"?"; }));
    EXPECT_EQ(Rows(list), first + 2);
    EXPECT_EQ(CellText(run.proc, list, first + 1, 1), L"?");
    EXPECT_EQ(CellText(run.proc, list, first - 1, 1), L"") << "a typed title is never looked for";

    // Two rows and the Delete key: one question, both gone from the list and the store.
    SelectRows(run.proc, list, {first, first + 1});
    PostMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(Answer(run.proc, IDYES), L"Information: Are you sure you want to delete this items?");
    ASSERT_TRUE(wts::WaitUntil([&] { return Rows(list) == first; }));
    wts::MessageBoxInfo second;
    EXPECT_FALSE(wts::AnswerMessageBox(run.proc.Pid(), second, IDNO, 1000)) << "asked once";
    stored = StoredExcludes(run);
    ASSERT_EQ(stored.size(), static_cast<size_t>(first));
    EXPECT_EQ(stored.back().name, L"Keep Me");
    options::CloseWith(options, options::kOk);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(OptionsBackup, BackupThenRestoreOfOtherRulesIsWhatTheNextHotkeyApplies) {
    TessoraRun run(L"backuppage");
    ASSERT_EQ(layout::AddPresetRule(run.Path(L""), L"Whole", L"Q1", 1), 0);  // one zone over the monitor
    ASSERT_TRUE(layout::StartProgram(run, 0));
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start({{L"Sample Window", Rect(100, 100, 500, 300), L""}}));
    HWND options = options::OpenFromTray(run);
    ASSERT_TRUE(options);
    options::ClickPageButton(options, options::kBackup);
    HWND page = options::PageWindow(options, options::kBackup);
    ASSERT_TRUE(page);

    // Backup under a name typed without extension.
    const std::wstring dir = wts::TempDir(L"backups");
    Press(page, kBackup);
    ASSERT_TRUE(options::ChooseFile(run.proc.Pid(), dir + L"\\mine"));
    EXPECT_EQ(Answer(run.proc, IDOK), L"Information: Files saved successfully.");
    std::string backup, db;
    ASSERT_TRUE(wts::ReadFileBytes(dir + L"\\mine.data", backup));
    ASSERT_TRUE(wts::ReadFileBytes(run.Path(L"pomlet64.dll"), db));
    EXPECT_EQ(backup, db);

    // A backup onto the database in use would empty it: refused, and the database stays whole.
    Press(page, kBackup);
    ASSERT_TRUE(options::ChooseFile(run.proc.Pid(), run.Path(L"pomlet64.dll"), true));
    EXPECT_EQ(Answer(run.proc, IDOK), L"Tessora: Save file failed!");
    std::string kept;
    ASSERT_TRUE(wts::ReadFileBytes(run.Path(L"pomlet64.dll"), kept));
    EXPECT_EQ(kept, db);

    // Another set of rules, made from the backup: Q1 gone, Q2 the left half of two.
    const std::wstring other = wts::TempDir(L"otherrules");
    ASSERT_TRUE(CopyFileW((dir + L"\\mine.data").c_str(), (other + L"\\pomlet64.dll").c_str(), FALSE));
    {
        CRuleStore store(MakeRuleStoreHost(CString((other + L"\\").c_str()), [] {}));
        ASSERT_TRUE(store.Reload(0));
        ASSERT_EQ(store.DeleteRule(), 0);
    }
    ASSERT_EQ(layout::AddPresetRule(other + L"\\", L"Halves", L"Q2", 2), 0);
    {
        CRuleStore store(MakeRuleStoreHost(CString((other + L"\\").c_str()), [] {}));
        int id = 0;
        ASSERT_EQ(store.AddExclude(CString(L"Restored Entry"), &id, 0), 0);
    }
    ASSERT_TRUE(CopyFileW((other + L"\\pomlet64.dll").c_str(), (dir + L"\\other.data").c_str(), FALSE));
    ASSERT_TRUE(wts::WriteFileBytes(dir + L"\\notes.data", "not a rule database"));

    // A file that is no rule database, and the database in use under another spelling, are
    // refused on Browse.
    for (const std::wstring& refused : {dir + L"\\notes.data", run.Path(L".\\POMLET64.DLL")}) {
        Press(page, kBrowse);
        ASSERT_TRUE(options::ChooseFile(run.proc.Pid(), refused));
        EXPECT_EQ(Answer(run.proc, IDOK), L"Tessora: Wrong file selected.");
        EXPECT_TRUE(wts::WaitUntil([&] { return wts::WindowText(GetDlgItem(page, kRestorePath)).empty(); }));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kStartRestore)));
    }

    // A file replaced after it was chosen is refused when the restore starts.
    Press(page, kBrowse);
    ASSERT_TRUE(options::ChooseFile(run.proc.Pid(), dir + L"\\other.data"));
    ASSERT_TRUE(wts::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(page, kStartRestore)) != FALSE; }));
    ASSERT_TRUE(CopyFileW((dir + L"\\notes.data").c_str(), (dir + L"\\other.data").c_str(), FALSE));
    Press(page, kStartRestore);
    EXPECT_EQ(Answer(run.proc, IDOK), L"Tessora: Wrong file selected.");
    EXPECT_TRUE(wts::WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(page, kStartRestore)); }));
    ASSERT_TRUE(CopyFileW((other + L"\\pomlet64.dll").c_str(), (dir + L"\\other.data").c_str(), FALSE));

    // The other rules: chosen, confirmed, and in use at once.
    Press(page, kBrowse);
    ASSERT_TRUE(options::ChooseFile(run.proc.Pid(), dir + L"\\other.data"));
    ASSERT_TRUE(wts::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(page, kStartRestore)) != FALSE; }));
    EXPECT_EQ(wts::WindowText(GetDlgItem(page, kRestorePath)), dir + L"\\other.data");
    ShootBothLanguages(options, options::kBackup, L"options_backup");
    Press(page, kStartRestore);
    EXPECT_EQ(Answer(run.proc, IDYES), L"Information: Are you sure you want to restore file?");
    EXPECT_EQ(Answer(run.proc, IDOK), L"Information: Restore completed.");
    EXPECT_EQ(wts::WindowText(GetDlgItem(page, kRestorePath)), L"");
    ASSERT_TRUE(wts::ReadFileBytes(run.Path(L"pomlet64.dll"), db));
    std::string restored;
    ASSERT_TRUE(wts::ReadFileBytes(dir + L"\\other.data", restored));
    EXPECT_EQ(db, restored);
    // the rules page lists the restored rules, not the old ones
    EXPECT_EQ(options::ComboItems(options::PageWindow(options, options::kRules), 1176), L"Halves");
    // and the exclude page the restored entries, whose rows delete the restored file's entries
    const std::vector<ExcludeRecord> restoredExcludes = StoredExcludes(run);
    ASSERT_EQ(restoredExcludes.back().name, L"Restored Entry");
    options::ClickPageButton(options, options::kExclude);
    HWND excludes = GetDlgItem(options::PageWindow(options, options::kExclude), kExcludeList);
    const int last = static_cast<int>(restoredExcludes.size()) - 1;
    ASSERT_EQ(Rows(excludes), last + 1);
    EXPECT_EQ(CellText(run.proc, excludes, last, 2), L"Restored Entry");
    SelectRows(run.proc, excludes, {last});
    PostMessageW(excludes, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(Answer(run.proc, IDYES), L"Information: Are you sure you want to delete this items?");
    ASSERT_TRUE(wts::WaitUntil([&] { return Rows(excludes) == last; }));
    EXPECT_EQ(StoredExcludes(run).size(), restoredExcludes.size() - 1);
    EXPECT_EQ(StoredExcludes(run).back().name, restoredExcludes[last - 1].name);
    ShowWindow(options, SW_HIDE);

    ASSERT_TRUE(layout::RunHotkey(run, 'Q', '2', L"(1) ...OK")) << wts::Wide2Narrow(run.LogText());
    EXPECT_RECT(Cell(1, 2, 0), s.Get(L"Sample Window"));
    ASSERT_TRUE(layout::RunHotkey(run, 'Q', '1', L"(--) ...Not Defined")) << wts::Wide2Narrow(run.LogText());
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace
