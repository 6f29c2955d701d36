#include <gtest/gtest.h>

#include "framework/CString.h"

TEST(CStringFormat, DecimalPointAndLongResults) {
    CString s;
    s.Format(L"%f,%.3f", 0.5, 0.3333333);
    EXPECT_EQ(s, L"0.500000,0.333");
    const CString longText(L'x', 5000);
    s.Format(L"'%s'", longText.GetString());
    EXPECT_EQ(s.GetLength(), 5002);
    s.AppendFormat(L"%d", -7);
    EXPECT_EQ(s.Mid(5000), L"x'-7");
}

TEST(CStringEdit, TrimFindAndSlices) {
    CString s(L" \t name \r\n");
    EXPECT_EQ(s.Trim(), L"name");
    CString p(L"C:\\dir\\a.tar.gz");
    EXPECT_EQ(p.ReverseFind(L'\\'), 6);
    EXPECT_EQ(p.Mid(7), L"a.tar.gz");
    EXPECT_EQ(p.Left(100), p);
    EXPECT_EQ(p.Mid(100), L"");
    EXPECT_EQ(p.Mid(-3, 2), L"C:");
    EXPECT_EQ(p.Find(L"tar"), 9);
    EXPECT_EQ(p.Find(L'z', 100), -1);
    CString q(L"it's 'x'");
    EXPECT_EQ(q.Replace(L"'", L"''"), 3);
    EXPECT_EQ(q, L"it''s ''x''");
}

TEST(Utf8, RoundTripIncludingNonBmpAndInvalidInput) {
    const wchar_t* samples[] = {L"", L"plain", L"\u00e9\u4e2d\u6587", L"\U0001F600 smile", L"a'b\\c"};
    for (const wchar_t* w : samples) {
        EXPECT_EQ(WideFromUtf8(Utf8FromWide(w).c_str()), w);
    }
    // the edges of each length, and surrogates, which UTF-8 never encodes
    const std::pair<const wchar_t*, const char*> edges[] = {
        {L"\u007F", "\x7F"}, {L"\u0080", "\xC2\x80"}, {L"\u07FF", "\xDF\xBF"}, {L"\u0800", "\xE0\xA0\x80"},
        {L"\uFFFF", "\xEF\xBF\xBF"}, {L"\U00010000", "\xF0\x90\x80\x80"}, {L"\U0001F600", "\xF0\x9F\x98\x80"}};
    for (const auto& [wide, utf8] : edges) {
        EXPECT_EQ(Utf8FromWide(wide), utf8);
        EXPECT_EQ(WideFromUtf8(utf8), wide);
    }
    EXPECT_EQ(WideFromUtf8("\xED\xA0\x80|\xED\xBF\xBF|\xE0\x9F\xBF"), L"\xFFFD|\xFFFD|\xFFFD");
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xDC00), L'b', 0};
    EXPECT_EQ(Utf8FromWide(lone), "a\xEF\xBF\xBD" "b");
    // truncated and overlong sequences never read past the end
    EXPECT_EQ(WideFromUtf8("a\xE4\xB8"), L"a\xFFFD");
    EXPECT_EQ(WideFromUtf8("\xC0\xAF"), L"\xFFFD");
    EXPECT_EQ(WideFromUtf8(nullptr), L"");
}
