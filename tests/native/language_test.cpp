#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/core/LanguageTexts.h"

namespace {

const ELanguage kAll[] = {UILANG_ENGLISH, UILANG_JAPANESE, UILANG_CHINESE,
                          UILANG_DUTCH,   UILANG_GERMAN,   UILANG_SPANISH};

std::string U(const wchar_t* s) { return Utf8FromWide(s); }

CString TextIn(const wchar_t* languageName, int id) {
    CLanguageTexts table;
    table.m_strLanguageName = languageName;
    return table.GetText(id);
}

// The parts of a text that a translation must carry over unchanged, each kind in its own field:
// line feeds, product names, "&&", the letter after each single '&', "Alt+r+c" hints (spaces
// removed) and printf conversions.
std::wstring MarkersOf(const std::wstring& text) {
    int lineFeeds = 0, productNames = 0, doubledAmpersands = 0;
    std::wstring accelerators, hotkeyHints, formats;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\n') ++lineFeeds;
        if (text.compare(i, 7, L"Tessora") == 0) ++productNames;
        if (c == L'&' && i + 1 < text.size() && text[i + 1] == L'&') {
            ++doubledAmpersands;
            ++i;
        } else if (c == L'&') {
            size_t j = i + 1;
            while (j < text.size() && text[j] == L' ') ++j;  // "(& O)" in two given rows
            if (j < text.size()) accelerators += text[j];
        } else if (c == L'%' && i + 1 < text.size()) {
            size_t j = i + 1;
            while (j < text.size() && !std::iswalpha(text[j]) && text[j] != L'%') ++j;
            formats += text.substr(i, j + 1 - i) + L' ';
            i = j;
        } else if (text.compare(i, 3, L"Alt") == 0) {
            for (; i < text.size() && text[i] != L')'; ++i)
                if (text[i] != L' ') hotkeyHints += text[i];
            hotkeyHints += L' ';
        }
    }
    return std::to_wstring(lineFeeds) + L" | " + std::to_wstring(productNames) + L" | " +
           std::to_wstring(doubledAmpersands) + L" | " + accelerators + L" | " + hotkeyHints + L" | " + formats;
}

}  // namespace

TEST(LanguageTexts, TranslationsKeepWhatTheProgramRelies) {
    int count = 0;
    const LanguageRow* rows = GetLanguageRows(&count);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        const LanguageRow& row = rows[i];
        // A repeated id would silently hide one of its rows.
        EXPECT_TRUE(i == 0 || rows[i - 1].id < row.id) << row.id;
        const std::wstring english = row.text[UILANG_ENGLISH];
        for (ELanguage lang : kAll) {
            SCOPED_TRACE(testing::Message() << "id " << row.id << " in " << U(LanguageName(lang)));
            ASSERT_NE(row.text[lang], nullptr);
            const std::wstring text = row.text[lang];
            // The OK buttons keep their resource text; 1198 and 1226 have no English to carry over.
            if (lang == UILANG_ENGLISH || row.id == 1 || english.empty()) continue;
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(MarkersOf(text), MarkersOf(english));
            EXPECT_EQ(text.front() == L' ', english.front() == L' ');  // group-box caption indent
        }
    }
}

// Only an exact stored name selects a table, and each name the combo lists selects its own; a
// missing translation stays empty rather than falling back.
TEST(LanguageTable, NameSelectsTableExactly) {
    const struct {
        const wchar_t* name;
        int id;
        const wchar_t* text;
    } cases[] = {
        {L"Germany", 2, L"Stornieren"}, {L"Netherland", 2, L"Annuleer"}, {L"Spain", 2, L"Cancelar"},
        {L"German", 2, L"Cancel"},      {L" Germany", 2, L"Cancel"},     {L"germany", 2, L"Cancel"},
        {L"", 2, L"Cancel"},            {L"Japanese", 1, L""},           {L"Unknown", 1, L"OK"},
        {L"English", 1198, L""},        {L"Spain", -1, L""},             {L"Chinese", 100000, L""},
    };
    for (const auto& c : cases) EXPECT_EQ(TextIn(c.name, c.id), c.text) << U(c.name) << " " << c.id;
    EXPECT_EQ(LanguageFromName(nullptr), UILANG_ENGLISH);
    EXPECT_STREQ(LanguageText(UILANG_COUNT, 2), L"");
    const CStringArray names = CLanguageTexts::GetLanguageNames();
    ASSERT_EQ(names.GetSize(), static_cast<int>(UILANG_COUNT));
    for (int i = 0; i < names.GetSize(); ++i) EXPECT_STREQ(LanguageName(LanguageFromName(names[i])), names[i].GetString());
}

// Each column holds its own language: the translations of a text differ from one another unless
// the English is only names and numbers, Japanese has kana, Chinese has none, the European
// columns have no East Asian script, and each language's own words stand in its column only.
TEST(LanguageTexts, EveryCellIsItsOwnLanguage) {
    // kindred languages that share the word: "Basis", "Titel:", "基本"
    const std::set<std::tuple<int, int, int>> kSameWord = {
        {1204, UILANG_JAPANESE, UILANG_CHINESE}, {1204, UILANG_DUTCH, UILANG_GERMAN}, {1223, UILANG_DUTCH, UILANG_GERMAN}};
    auto kana = [](wchar_t c) { return c >= 0x3040 && c <= 0x30FF; };
    auto ideograph = [](wchar_t c) { return c >= 0x4E00 && c <= 0x9FFF; };
    auto count = [](const std::wstring& s, auto pred) { return std::count_if(s.begin(), s.end(), pred); };
    int rowCount = 0;
    const LanguageRow* rows = GetLanguageRows(&rowCount);
    std::wstring column[UILANG_COUNT];
    for (int i = 0; i < rowCount; ++i) {
        const LanguageRow& row = rows[i];
        std::wstring english = row.text[UILANG_ENGLISH];
        for (size_t at; (at = english.find(L"Tessora")) != std::wstring::npos;) english.erase(at, 7);
        // "OK", "U", product names: nothing to translate
        const bool wordsToTranslate = count(english, [](wchar_t c) { return std::iswlower(c); }) > 1;
        for (int a = UILANG_JAPANESE; a < UILANG_COUNT; ++a) {
            const std::wstring text = row.text[a];
            column[a] += text + L"\n";
            if (text.empty() || !wordsToTranslate) continue;
            SCOPED_TRACE(testing::Message() << "id " << row.id << " in " << U(LanguageName(ELanguage(a))));
            const auto k = count(text, kana), h = count(text, ideograph);
            EXPECT_TRUE(a == UILANG_JAPANESE ? k + h > 0 : a == UILANG_CHINESE ? h > 0 && k == 0 : k + h == 0)
                << U(text.c_str());
            for (int b = a + 1; b < UILANG_COUNT; ++b) {
                if (kSameWord.count({row.id, a, b})) continue;
                EXPECT_NE(text, row.text[b]) << "the same as " << U(LanguageName(ELanguage(b)));
            }
        }
    }
    const std::vector<std::wstring> words[UILANG_COUNT] = {
        {}, {L"キャンセル", L"言語", L"ウィンドウ"}, {L"取消", L"语言", L"窗口"},
        {L"Annuleer", L"Taal", L"vensters"}, {L"Stornieren", L"Sprache", L"Fenster"},
        {L"Cancelar", L"Idioma", L"ventanas"}};
    for (int lang = UILANG_JAPANESE; lang < UILANG_COUNT; ++lang)
        for (const std::wstring& w : words[lang])
            for (int other = UILANG_JAPANESE; other < UILANG_COUNT; ++other)
                EXPECT_EQ(column[other].find(w) != std::wstring::npos, other == lang)
                    << U(w.c_str()) << " in " << U(LanguageName(ELanguage(other)));
}
