// Files dropped on a zone button, through a real WM_DROPFILES into the shipped rule store, and
// what the drop controls open the message filter for. The list's drops are driven across
// processes in the exclude page's scenario.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <map>
#include <set>

#include "tests/e2e/LayoutSupport.h"
#include "ui/MyFileButton.h"
#include "ui/MyFileListCtrl.h"

namespace {

// The messages each call of the two filter functions let through, by window (null: the whole
// process). The functions are found at run time, so this module's import of GetProcAddress is
// pointed at a lookup that hands out recorders for them while the object lives.
class FilterCalls {
public:
    FilterCalls() {
        // the loader's address, as the import table holds it, not the import library's stub
        s_realLookup = reinterpret_cast<DWORD_PTR>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetProcAddress")));
        Patch(s_realLookup, reinterpret_cast<DWORD_PTR>(&Lookup));
    }
    ~FilterCalls() { Patch(reinterpret_cast<DWORD_PTR>(&Lookup), s_realLookup); }
    static std::map<HWND, std::set<UINT>> s_allowed;

private:
    static FARPROC WINAPI Lookup(HMODULE module, LPCSTR name) {
        const bool byName = reinterpret_cast<UINT_PTR>(name) > 0xFFFF;
        if (byName && std::strcmp(name, "ChangeWindowMessageFilter") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&Allow));
        if (byName && std::strcmp(name, "ChangeWindowMessageFilterEx") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&AllowEx));
        return reinterpret_cast<decltype(&GetProcAddress)>(reinterpret_cast<void*>(s_realLookup))(module, name);
    }
    static BOOL WINAPI Allow(UINT msg, DWORD flag) {
        if (flag == 1) s_allowed[nullptr].insert(msg);
        return TRUE;
    }
    static BOOL WINAPI AllowEx(HWND hWnd, UINT msg, DWORD action, void*) {
        if (action == 1) s_allowed[hWnd].insert(msg);
        return TRUE;
    }
    // Replaces `from` by `to` in this module's import address table.
    static void Patch(DWORD_PTR from, DWORD_PTR to) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d)
            for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function; ++t) {
                if (t->u1.Function != from) continue;
                DWORD old = 0;
                VirtualProtect(&t->u1.Function, sizeof(t->u1.Function), PAGE_READWRITE, &old);
                t->u1.Function = to;
                VirtualProtect(&t->u1.Function, sizeof(t->u1.Function), old, &old);
            }
    }
    static DWORD_PTR s_realLookup;
};
DWORD_PTR FilterCalls::s_realLookup = 0;
std::map<HWND, std::set<UINT>> FilterCalls::s_allowed;

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

// Both drop controls let the drop through, and nothing else: WM_COPYDATA carries the hotkey
// notices, which a less privileged process must not be able to send.
TEST(FileDrop, TheControlsOpenTheFilterForTheTwoDropMessagesOnly) {
    HWND host = wts::MakeTestWindow(L"FileDropHost", DefWindowProcW);
    HWND hList = CreateWindowExW(0, L"SysListView32", L"", WS_CHILD | LVS_REPORT, 0, 0, 90, 90, host, nullptr,
                                 nullptr, nullptr);
    HWND hButton = CreateWindowExW(0, L"BUTTON", L"1(0)", WS_CHILD, 0, 0, 40, 40, host, nullptr, nullptr, nullptr);
    CMyFileListCtrl list;
    CMyFileButton button;
    {
        FilterCalls calls;
        ASSERT_TRUE(list.SubclassWindow(hList));
        ASSERT_TRUE(button.SubclassWindow(hButton));
    }
    const std::set<UINT> drop = {WM_DROPFILES, 0x0049 /* WM_COPYGLOBALDATA */};
    EXPECT_EQ(FilterCalls::s_allowed[hList], drop);
    EXPECT_EQ(FilterCalls::s_allowed[hButton], drop);
    // the process-wide filter is opened once per process: by an earlier test, when there was one
    if (FilterCalls::s_allowed.count(nullptr)) {
        EXPECT_EQ(FilterCalls::s_allowed[nullptr], drop);
    }
    EXPECT_EQ(FilterCalls::s_allowed.size(), 2u + FilterCalls::s_allowed.count(nullptr));
    list.Detach();
    button.Detach();
    DestroyWindow(host);
}

}  // namespace
