#include <gtest/gtest.h>

#include "app/core/PathText.h"

namespace {

struct NameCase {
    const wchar_t* path;
    const wchar_t* withExt;  // keep-extension flag 1
    const wchar_t* withoutExt;  // flag 0
};

TEST(PathText, FileNameFromPath) {
    const NameCase cases[] = {
        {L"C:\\dir\\file.txt", L"file.txt", L"file"},
        {L"dir/sub/file", L"file", L"file"},
        {L"file", L"file", L"file"},
        {L"a.tar.gz", L"a.tar.gz", L"a.tar"},
        // a backslash wins even when a forward slash follows it
        {L"C:\\dir/sub\\x/y.txt", L"x/y.txt", L"x/y"},
        {L"C:\\dir\\sub/x.txt", L"sub/x.txt", L"sub/x"},
        // a leading full stop leaves nothing before it
        {L".NET Reflector", L".NET Reflector", L""},
        {L"C:\\Temp\\", L"", L""},
        {L"D:\\", L"", L""},
        {L"", L"", L""},
        {L"C:\\v1.2\\README", L"README", L"README"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameFromPath(c.path, 1), CString(c.withExt)) << c.path;
        EXPECT_EQ(FileNameFromPath(c.path, 0), CString(c.withoutExt)) << c.path;
    }
}

struct SplitCase {
    const wchar_t* path;
    const wchar_t* title;
    const wchar_t* ext;
};

TEST(PathText, SplitPathFileName) {
    const SplitCase cases[] = {
        {L"C:\\dir\\app.exe", L"app", L"exe"},
        {L"C:\\dir\\README", L"README", L"README"},
        {L"a.tar.gz", L"a.tar", L"gz"},
        {L"C:\\v1.2\\README", L"README", L"README"},
        {L"dir/notes.", L"notes", L""},
        {L".gitignore", L"", L"gitignore"},
        {L"D:\\", L"", L""},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        CString ext(L"unchanged?");
        EXPECT_EQ(SplitPathFileName(c.path, ext), CString(c.title)) << c.path;
        EXPECT_EQ(ext, CString(c.ext)) << c.path;
    }
}

}  // namespace
