// The zone title editor on the shipped program's template and a copy of the shipped database:
// dropped files, Delete over several rows, also when the store cannot delete.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/LanguageTable.h"
#include "rules/SqliteLibrary.h"
#include "tests/support/WinTestSupport.h"
#include "ui/AddGridTitleDialog.h"

namespace {

std::vector<std::wstring> g_boxes;
int AnswerYes(const wchar_t* text, const wchar_t*, UINT) {
    g_boxes.push_back(text);
    return IDYES;
}

class ZoneTitlesTest : public testing::Test {
protected:
    void SetUp() override {
        dir = wts::TempDir(L"zonetitles");
        for (const wchar_t* f : {L"\\qomb100.dll", L"\\pomlet64.dll"})
            ASSERT_TRUE(CopyFileW((wts::ExeDir() + f).c_str(), (dir + f).c_str(), FALSE));
        store = std::make_unique<CRuleStore>(MakeRuleStoreHost((dir + L"\\").c_str(), [] {}));
        std::vector<ScreenTypeEntry> entries(1, ScreenTypeEntry{0, 5, 1, 0});
        ASSERT_EQ(store->AddRule(CString(L"Rule"), CString(L"Q1"), entries, {}), 0);
        ASSERT_TRUE(store->Reload(0));
        ASSERT_TRUE(module = LoadLibraryExW(TESSORA_DIST_DIR_W L"\\Tessora.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE));
        app.m_hInstance = module;
        AfxSetMessageBoxHook(AnswerYes);
        g_boxes.clear();
        dlg.SetOptionData(nullptr, store.get());
        dlg.SetLanguage(&table);
        dlg.m_nScreen = 1;
        dlg.m_nRegion = 2;
        ASSERT_TRUE(dlg.Create(247, nullptr));
    }
    void TearDown() override {
        dlg.DestroyWindow();
        AfxSetMessageBoxHook(nullptr);
        app.m_hInstance = nullptr;
        FreeLibrary(module);
    }
    HWND List() { return GetDlgItem(dlg.m_hWnd, 1215); }
    int Rows() { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring Cell(int row, int col) {
        wchar_t text[512] = {};
        LVITEMW item = {};
        item.iSubItem = col, item.pszText = text, item.cchTextMax = 512;
        SendMessageW(List(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    void Type(const wchar_t* title) {
        SetDlgItemTextW(dlg.m_hWnd, 1214, title);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1213, BN_CLICKED), 0);
    }
    void Select(int row, bool on) {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = on ? LVIS_SELECTED : 0;
        SendMessageW(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    int StoredTitles() {
        int count = 0;
        store->ReadTitles(1, 2, &count);
        return count;
    }

    std::wstring dir;
    std::unique_ptr<CRuleStore> store;
    CWinApp app{L"Tessora"};
    HMODULE module = nullptr;
    CLanguageTable table;
    CAddGridTitleDialog dlg;
};

TEST_F(ZoneTitlesTest, DeleteAsksOnceAndSkipsRowsTheStoreCouldNotDelete) {
    for (const wchar_t* t : {L"One", L"  Two\t", L"Three", L" \t "}) Type(t);
    ASSERT_EQ(Rows(), 3);  // the blank one was refused with a box
    ASSERT_EQ(g_boxes.size(), 1u);
    for (int r = 0; r < 3; ++r) Select(r, true);

    // The database is gone: nothing can be deleted, and the walk still ends.
    ASSERT_EQ(store->CloseDatabase(), 0);
    g_boxes.clear();
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1226, BN_CLICKED), 0);
    EXPECT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0), 0);

    // Back again: the first and the last go, after one question.
    ASSERT_EQ(store->ReopenDatabase(), 0);
    ASSERT_TRUE(store->Reload(0));
    Select(0, true);
    Select(2, true);
    g_boxes.clear();
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1226, BN_CLICKED), 0);
    EXPECT_EQ(g_boxes.size(), 1u);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 1), L"Two");
    EXPECT_EQ(StoredTitles(), 1);
}

// A dropped file's row carries its new id at once: deleting it before anything reloads the list
// removes that entry from the store.
TEST_F(ZoneTitlesTest, DroppedFilesAreStoredAndTheirRowsDeleteAtOnce) {
    Type(L"Typed");
    const HDROP drop = wts::MakeDrop({L"C:\\Docs\\report.txt", L"C:\\Tools"});
    SendMessageW(List(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Cell(1, 1), L"report.txt");
    EXPECT_EQ(Cell(2, 2), L"C:\\Tools");
    ASSERT_EQ(StoredTitles(), 3);
    Select(1, true);
    Select(2, true);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1226, BN_CLICKED), 0);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 1), L"Typed");
    int count = 0;
    const std::vector<TitleRecord> left = store->ReadTitles(1, 2, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::wstring(left[0].file_path), L"Typed");
}

}  // namespace
