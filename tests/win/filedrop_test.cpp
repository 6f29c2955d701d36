// Files dropped on the list and on a zone button, through a real WM_DROPFILES into the shipped
// rule store; and a restore through the system's file operations.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "rules/RuleFiles.h"
#include "rules/SqliteLibrary.h"
#include "tests/support/WinTestSupport.h"
#include "ui/MyFileButton.h"
#include "ui/MyFileListCtrl.h"

namespace {

// A drop block as the shell makes it: DROPFILES, then the wide paths, then an empty one.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    size_t chars = 1;
    for (const auto& p : paths) chars += p.size() + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(df + 1);
    for (const auto& p : paths) {
        memcpy(out, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
        out += p.size() + 1;
    }
    GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

// The owner side of the list's contract: stores each dropped file, as the exclude page does.
class DropOwner : public CWnd {
public:
    CRuleStore* store = nullptr;
    CMyFileListCtrl* list = nullptr;
    int inserts = 0;

protected:
    void OnInsert(NMHDR*, LRESULT* result) {
        ++inserts;
        if (list->m_bDropping) {
            int id = 0;
            store->AddExclude(list->m_strDropPath, &id, 1);
            list->m_strNewId.Format(L"%d", id);
        }
        *result = 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DropOwner, CWnd)
    ON_NOTIFY(LVN_INSERTITEM, 1187, &DropOwner::OnInsert)
END_MESSAGE_MAP()

class FileDropTest : public testing::Test {
protected:
    void SetUp() override {
        dir = wts::TempDir(L"drop");
        for (const wchar_t* f : {L"\\qomb100.dll", L"\\pomlet64.dll"})
            ASSERT_TRUE(CopyFileW((wts::ExeDir() + f).c_str(), (dir + f).c_str(), FALSE));
        store = std::make_unique<CRuleStore>(MakeRuleStoreHost((dir + L"\\").c_str(), [] {}));
        ASSERT_TRUE(store->IsOpen());
        host = wts::MakeTestWindow(L"FileDropHost", DefWindowProcW);
        ASSERT_TRUE(owner.SubclassWindow(host));
    }
    void TearDown() override {
        owner.Detach();
        DestroyWindow(host);
    }
    std::wstring dir;
    std::unique_ptr<CRuleStore> store;
    HWND host = nullptr;
    DropOwner owner;
};

TEST_F(FileDropTest, ListStoresEveryDroppedFileAndRefusesADriveRoot) {
    HWND hList = CreateWindowExW(WS_EX_ACCEPTFILES, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300,
                                 200, host, reinterpret_cast<HMENU>(1187), nullptr, nullptr);
    CMyFileListCtrl list;
    ASSERT_TRUE(list.SubclassWindow(hList));
    list.SetMode(FILELIST_MODE_EXCLUDE);
    for (int c = 0; c < 3; ++c) list.InsertColumn(c, L"", LVCFMT_LEFT, c ? 100 : 0);
    owner.store = store.get();
    owner.list = &list;
    list.InsertItem(0, L"refill");  // an ordinary insert stores nothing

    const std::wstring deep = L"C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b') + L"\\tool.exe";
    SendMessageW(hList, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\Tools\\calc.exe", L"D:\\", deep})), 0);

    const struct {
        const wchar_t* nameCell;
        bool stored;
    } rows[] = {{L"calc.exe", true}, {L"", false}, {L"tool.exe", true}};
    ASSERT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(owner.inserts, 4);
    const auto& entries = store->LoadExcludes();
    ASSERT_EQ(entries.size(), 2u) << "the drive root would have excluded every window";
    EXPECT_EQ(entries[1].file_path, deep.c_str()) << "a path over 260 characters arrives whole";
    size_t next = 0;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list.GetItemText(i + 1, 1), L"");
        EXPECT_EQ(list.GetItemText(i + 1, 2), rows[i].nameCell);
        CString id;
        id.Format(L"%d", rows[i].stored ? entries[next++].id : 0);
        EXPECT_EQ(list.GetItemText(i + 1, 0), id);
    }
    list.Detach();
}

TEST_F(FileDropTest, ButtonBindsDropsToItsZoneAndCountsThem) {
    std::vector<ScreenTypeEntry> entries(1);
    entries[0].type_id = 5;
    entries[0].active = 1;
    ASSERT_EQ(store->AddRule(L"r", L"Q2", entries, RegionList()), 0);
    ASSERT_TRUE(store->Reload(0));
    int id = 0;
    store->AddTitle(1, 3, L"Notepad", &id);
    HWND hButton = CreateWindowExW(0, L"BUTTON", L"3(1)", WS_CHILD | WS_VISIBLE, 0, 0, 40, 40, host, nullptr,
                                   nullptr, nullptr);
    CMyFileButton button;
    ASSERT_TRUE(button.SubclassWindow(hButton));
    button.SetStore(store.get());
    button.SetScreen(1);
    DragAcceptFiles(hButton, TRUE);
    SendMessageW(hButton, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\a.txt", L"C:\\Docs"})), 0);
    EXPECT_EQ(wts::WindowText(hButton), L"3(3)");
    int count = 0;
    const auto titles = store->ReadTitles(1, 3, &count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(titles[2].file_path, L"C:\\Docs");
    button.Detach();
}

// The system's rename and identity tests: the database under another spelling is refused, a
// backup replaces it while the store has it open.
TEST_F(FileDropTest, RestoreThroughTheSystemsFileOperations) {
    const std::wstring backup = dir + L"\\backup.data";
    ASSERT_TRUE(CopyFileW((dir + L"\\pomlet64.dll").c_str(), backup.c_str(), FALSE));
    {
        CRuleStore other(MakeRuleStoreHost((dir + L"\\").c_str(), [] {}));
        int id = 0;
        ASSERT_EQ(other.AddExclude(L"before", &id, 0), 0);
    }
    std::wstring upper = dir + L"\\.\\POMLET64.DLL";
    EXPECT_EQ(RestoreRuleDatabase(*store, upper.c_str(), MakeRestoreFiles()), RestoreResult::WrongFile);
    EXPECT_EQ(store->LoadExcludes().size(), 1u);
    EXPECT_EQ(RestoreRuleDatabase(*store, backup.c_str(), MakeRestoreFiles()), RestoreResult::Restored);
    EXPECT_EQ(store->m_nExcludeCount, 0);
    EXPECT_TRUE(store->IsOpen());
    EXPECT_EQ(GetFileAttributesW((dir + L"\\pomlet64.dll.restore").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
