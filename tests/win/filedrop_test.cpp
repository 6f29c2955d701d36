// Files dropped on a zone button, through a real WM_DROPFILES into the shipped rule store. The
// exclude list's drops are driven across processes in the exclude page's scenario.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "tests/e2e/LayoutSupport.h"
#include "ui/MyFileButton.h"

namespace {

// With one rule current, a drop of a file and a folder on zone 3 stores both and shows the count.
TEST(FileDrop, ButtonBindsDropsToItsZoneAndCountsThem) {
    const std::wstring dir = wts::TempDir(L"drop");
    for (const wchar_t* f : {L"\\qomb100.dll", L"\\pomlet64.dll"})
        ASSERT_TRUE(CopyFileW((wts::ExeDir() + f).c_str(), (dir + f).c_str(), FALSE));
    ASSERT_EQ(layout::AddPresetRule(dir + L"\\", L"r", L"Q2", 5), 0);
    auto store = std::make_unique<CRuleStore>(MakeRuleStoreHost((dir + L"\\").c_str(), [] {}));
    ASSERT_TRUE(store->Reload(0));
    int id = 0;
    store->AddTitle(1, 3, L"Notepad", &id);
    HWND host = wts::MakeTestWindow(L"FileDropHost", DefWindowProcW);
    HWND hButton = CreateWindowExW(0, L"BUTTON", L"3(1)", WS_CHILD | WS_VISIBLE, 0, 0, 40, 40, host, nullptr,
                                   nullptr, nullptr);
    CMyFileButton button;
    ASSERT_TRUE(button.SubclassWindow(hButton));
    button.SetStore(store.get());
    button.SetScreen(1);
    DragAcceptFiles(hButton, TRUE);
    SendMessageW(hButton, WM_DROPFILES, reinterpret_cast<WPARAM>(wts::MakeDrop({L"C:\\a.txt", L"C:\\Docs"})), 0);
    EXPECT_EQ(wts::WindowText(hButton), L"3(3)");
    int count = 0;
    const auto titles = store->ReadTitles(1, 3, &count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(titles[2].file_path, L"C:\\Docs");
    button.Detach();
    DestroyWindow(host);
}

}  // namespace
