// A module's version, the fatal start-up message pair.
#include <gtest/gtest.h>

#include "app/AppFiles.h"
#include "app/StartError.h"
#include "tests/support/WinTestSupport.h"

namespace {

TEST(AppFiles, VersionOfAModule) {
    CAppFiles files;
    // this test program carries the file version 1.2.3.40 (and another product version)
    EXPECT_EQ(files.GetModuleVersionString(GetModuleHandleW(nullptr)), L"1.2.3.40");
    EXPECT_EQ(files.GetModuleVersionString(reinterpret_cast<HMODULE>(0x10)), L"");
    // the shipped program carries one too
    HMODULE exe = LoadLibraryExW(TESSORA_DIST_DIR_W L"\\Tessora.exe", nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (exe) {
        EXPECT_EQ(files.GetModuleVersionString(exe), L"1.0.0.1");
        FreeLibrary(exe);
    }
}

TEST(StartError, ThePairShowsOneOwnerlessErrorBoxAndExitsWithZero) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wts::Process child;
    ASSERT_TRUE(wts::StartProcess(child, self, L"--child=start-error"));
    wts::MessageBoxInfo box;
    ASSERT_TRUE(wts::AnswerMessageBox(child.Pid(), box));
    EXPECT_EQ(box.caption, L"Tessora.exe - System Error");
    EXPECT_EQ(box.text,
              L"The program can't start because system file is missing from your computer. "
              L"Try reinstalling the program to fix this problem");
    EXPECT_EQ(box.text.size(), 123u);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(child.WaitExit(), 0u);
}

}  // namespace
