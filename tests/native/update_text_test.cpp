#include <gtest/gtest.h>

#include "update/core/UpdateText.h"

namespace {

using namespace update;

TEST(UpdateText, VersionOrder) {
    const struct {
        const wchar_t* a;
        const wchar_t* b;
        int order;  // sign of CompareVersionText(a, b)
    } cases[] = {
        {L"1.0.0.9", L"1.0.0.10", -1},    // numbers, not text
        {L"1.10.0.0", L"1.9.0.0", 1},
        {L"2.0.0.0", L"10.0.0.0", -1},
        {L"1.2.0.0", L"1.2.0.0", 0},
        {L"65535.0.0.0", L"1.0.0.0", 1},
        // unparsable on either side: text order, letters folded
        {L"1.2", L"1.10", 1},
        {L"1.2.3.4.5", L"1.2.3.4", 1},
        {L"99999.0.0.0", L"2.0.0.0", 1},
        {L"-1.0.0.0", L"1.0.0.0", -1},
        {L"abc", L"ABC", 0},
        {L"", L"1.0.0.0", -1},
        {L"", L"", 0},
    };
    for (const auto& c : cases) {
        const int got = CompareVersionText(c.a, c.b);
        EXPECT_EQ((got > 0) - (got < 0), c.order) << c.a << " vs " << c.b;
        const int back = CompareVersionText(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.order) << c.b << " vs " << c.a;
    }
}

TEST(UpdateText, NewerThanRunning) {
    const struct {
        const wchar_t* published;
        const wchar_t* running;
        bool newer;
    } cases[] = {
        {L"1.3.0.0", L"1.2.0.0", true},
        {L"1.9.0.0", L"1.10.0.0", false},  // never offer an older version
        {L"1.2.0.0", L"1.2.0.0", false},
        {L"1.0.0.1", L"", true},           // no version resource
        {L"1.2", L"1.0.0.1", true},        // unknown scheme: any difference
        {L"abc", L"abc", false},
        {L"", L"1.0.0.1", true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsNewerThanRunning(c.published, c.running), c.newer) << c.published;
}

TEST(UpdateText, FieldTexts) {
    const struct {
        const wchar_t* text;
        int32_t number;
    } numbers[] = {{L"12abc", 12},      {L"abc", 0},           {L"", 0},
                   {L"  -7", -7},       {L"+5", 5},            {L"99999999999", 2147483647},
                   {L"-99999999999", INT32_MIN}, {L"2147483648", 2147483647}, {L"-2147483648", INT32_MIN}};
    for (const auto& c : numbers) EXPECT_EQ(ParseDecimal32(c.text), c.number) << c.text;

    EXPECT_TRUE(ParseYes(L"yes"));
    EXPECT_TRUE(ParseYes(L"YeS"));
    for (const wchar_t* no : {L"Y", L"1", L"true", L" yes", L""}) EXPECT_FALSE(ParseYes(no)) << no;

    EXPECT_EQ(KeyOfElement(L"filename"), FileKey::FileName);
    EXPECT_EQ(KeyOfElement(L"ExecutePar"), FileKey::ExecutePar);
    EXPECT_EQ(KeyOfElement(L"File"), FileKey::None);
}

TEST(UpdateText, LocalPathsAndOwnEntry) {
    EXPECT_EQ(KindOfInstallDir(L"systemdir"), InstallDirKind::System);
    EXPECT_EQ(KindOfInstallDir(L"CURRENTDIR"), InstallDirKind::Program);
    EXPECT_EQ(KindOfInstallDir(L"C:\\Evil"), InstallDirKind::Program);  // never a path of its own
    EXPECT_EQ(JoinLocalPath(L"C:\\Tools", L"", L"a.exe"), CString(L"C:\\Tools\\a.exe"));
    EXPECT_EQ(JoinLocalPath(L"C:\\Tools", L"Lang", L"de.dll"), CString(L"C:\\Tools\\Lang\\de.dll"));

    EXPECT_EQ(PickOwnEntry({L"Tarnquilcore.dll", L"tessora.EXE", L"Tessora.exe"}, L"Tessora.exe"), 1u);
    EXPECT_EQ(PickOwnEntry({L"Tarnquilcore.dll", L"de.dll"}, L"Tessora.exe"), static_cast<size_t>(-1));
    EXPECT_EQ(PickOwnEntry({}, L"Tessora.exe"), static_cast<size_t>(-1));
}

TEST(UpdateText, OnlyPlainNamesOfFilesInTheirFolder) {
    const struct {
        const wchar_t* name;
        bool plain;
    } names[] = {
        {L"Tessora.exe", true}, {L"qomb100.dll", true}, {L"a..b.dll", true}, {L" lead.dll", true},
        {L"NULL.dll", true},    {L"COM10", true},       {L"LPT", true},      {L"CONIN", true},
        {L"xNUL", true},        {L"COM\u00B9x", true},
        // out of the folder, or no name of one file
        {L"", false},    {L"..", false},      {L".", false},      {L"..\\x.dll", false}, {L"a/b", false},
        {L"C:x", false}, {L"\\\\srv\\x", false}, {L"x.dll:s", false}, {L"*.dll", false},   {L"a?.dll", false},
        {L"a<b", false}, {L"a|b", false},     {L"a\"b", false},    {L"a\tb", false},    {L"a\x1F", false},
        {L"x.dll.", false}, {L"x.dll ", false},
        // devices, whatever their case, extension or spaces
        {L"COM1", false},   {L"COM0", false},        {L"NUL", false},      {L"nul.txt", false},
        {L"AUX.dll", false}, {L"LPT1.txt", false},   {L"Con", false},      {L"PRN.tar.gz", false},
        {L"CONIN$", false}, {L"conout$.log", false}, {L"NUL .txt", false}, {L" AUX", false},
        {L"COM\u00B9", false}, {L"lpt\u00B3.dll", false},
    };
    for (const auto& c : names) EXPECT_EQ(IsPlainFileName(c.name), c.plain) << c.name;

    const struct {
        const wchar_t* path;
        bool plain;
    } folders[] = {
        {L"Lang", true},        {L"Lang\\de", true},   {L"Lang/de", true},   {L"Lang\\", true},
        {L"a..b", true},
        {L"", false},           {L"\\", false},        {L"..", false},       {L".", false},
        {L"a\\..\\..", false},  {L"a\\.", false},      {L"\\Lang", false},    {L"\\\\srv\\share", false},
        {L"C:Lang", false},     {L"Lang\\\\de", false}, {L"Lang\\\\", false}, {L"Lang\\NUL", false},
        {L"COM1\\x", false},    {L"Lang\\*", false},   {L"Lang \\de", false},
    };
    for (const auto& c : folders) EXPECT_EQ(IsPlainRelativeFolder(c.path), c.plain) << c.path;
}

TEST(UpdateText, Urls) {
    const struct {
        const wchar_t* url;
        bool ok;
        unsigned service;
        const wchar_t* server;
        const wchar_t* object;
        uint16_t port;
    } cases[] = {
        {L"http://www.tessora.com/event/tessora_std_update_xml/", true, kServiceHttp, L"www.tessora.com",
         L"/event/tessora_std_update_xml/", 80},
        {L"HTTP://127.0.0.1:8080", true, kServiceHttp, L"127.0.0.1", L"/", 8080},
        {L"http://h?q=1", true, kServiceHttp, L"h", L"/?q=1", 80},
        {L"https://h/x", true, kServiceHttps, L"h", L"/x", 443},
        {L"ftp://h/x", true, kServiceFtp, L"h", L"/x", 21},
        {L"not a url", false, 0, L"", L"", 0},
        {L"http://", false, 0, L"", L"", 0},
        {L"http://h:0/", false, 0, L"", L"", 0},
        {L"http://h:99999/", false, 0, L"", L"", 0},
        {L"http://u:p@h/", false, 0, L"", L"", 0},
        {L"://h/", false, 0, L"", L"", 0},
    };
    for (const auto& c : cases) {
        UrlParts p;
        ASSERT_EQ(SplitUrl(c.url, p), c.ok) << c.url;
        if (!c.ok) continue;
        EXPECT_EQ(p.service, c.service) << c.url;
        EXPECT_EQ(p.server, CString(c.server)) << c.url;
        EXPECT_EQ(p.object, CString(c.object)) << c.url;
        EXPECT_EQ(p.port, c.port) << c.url;
    }
}

TEST(UpdateText, DocumentTypeFound) {
    const std::string dtd = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"x\">]><r/>";
    std::string utf16;
    for (char ch : dtd) utf16 += std::string{ch, '\0'};
    EXPECT_TRUE(DeclaresDocumentType(dtd));
    EXPECT_TRUE(DeclaresDocumentType(utf16));
    EXPECT_TRUE(DeclaresDocumentType(std::string("\0<!DOCTYPE", 10)));
    EXPECT_FALSE(DeclaresDocumentType("<r><File><FileName>&lt;!DOCTYPE</FileName></File></r>"));
    EXPECT_FALSE(DeclaresDocumentType("<!DOCTYP"));
    EXPECT_FALSE(DeclaresDocumentType(""));
}

}  // namespace
