#include <gtest/gtest.h>

#include "app/core/PathText.h"

namespace {

TEST(PathText, NameTitleAndExtension) {
    const struct {
        const wchar_t* path;
        const wchar_t* name;   // FileNameFromPath with the extension kept
        const wchar_t* title;  // without it; also SplitPathFileName's result
        const wchar_t* ext;    // SplitPathFileName's extension
    } cases[] = {
        {L"C:\\dir\\file.txt", L"file.txt", L"file", L"txt"},
        {L"dir/sub/file", L"file", L"file", L"file"},
        {L"a.tar.gz", L"a.tar.gz", L"a.tar", L"gz"},
        // a backslash wins even when a forward slash follows it
        {L"C:\\dir/sub\\x/y.txt", L"x/y.txt", L"x/y", L"txt"},
        {L"C:\\dir\\sub/x.txt", L"sub/x.txt", L"sub/x", L"txt"},
        // a leading full stop leaves nothing before it
        {L".NET Reflector", L".NET Reflector", L"", L"NET Reflector"},
        {L"C:\\v1.2\\README", L"README", L"README", L"README"},
        {L"dir/notes.", L"notes.", L"notes", L""},
        {L"C:\\Temp\\", L"", L"", L""},
        {L"", L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameFromPath(c.path, 1), CString(c.name)) << c.path;
        EXPECT_EQ(FileNameFromPath(c.path, 0), CString(c.title)) << c.path;
        CString ext(L"unchanged?");
        EXPECT_EQ(SplitPathFileName(c.path, ext), CString(c.title)) << c.path;
        EXPECT_EQ(ext, CString(c.ext)) << c.path;
    }
}

}  // namespace
