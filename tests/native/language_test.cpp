#include <gtest/gtest.h>

#include <climits>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "app/core/LanguageTexts.h"

namespace {

const ELanguage kAll[] = {UILANG_ENGLISH, UILANG_JAPANESE, UILANG_CHINESE,
                          UILANG_DUTCH,   UILANG_GERMAN,   UILANG_SPANISH};
const ELanguage kTranslated[] = {UILANG_JAPANESE, UILANG_CHINESE, UILANG_DUTCH, UILANG_GERMAN,
                                 UILANG_SPANISH};

// Every id the dialogs, menus and messages look up; 1198 and 1226 have no English text.
const std::set<int> kEnglishIds = {
    1,     2,     133,   137,   210,   213,   221,   228,   230,   231,   247,   1128,  1129,  1130,
    1132,  1134,  1135,  1136,  1137,  1139,  1140,  1141,  1142,  1144,  1146,  1147,  1148,  1150,
    1154,  1161,  1163,  1164,  1168,  1170,  1171,  1172,  1173,  1174,  1175,  1177,  1181,  1182,
    1197,  1200,  1201,  1202,  1204,  1205,  1206,  1208,  1213,  1216,  1218,  1220,  1221,  1223,
    1224,  1238,  1239,  1240,  1241,  1242,  1243,  32777, 32778, 32779, 57664, 80000, 80001, 80002,
    80003, 80004, 80005, 80006, 80007, 80008, 80009, 80010, 87000, 87001, 87002, 87003};

std::set<int> FilledIds(ELanguage lang) {
    std::set<int> ids;
    for (int id = -5; id < LANGUAGE_TABLE_SIZE + 5; ++id) {
        if (*LanguageText(lang, id)) ids.insert(id);
    }
    return ids;
}

CString TextIn(const wchar_t* languageName, int id) {
    CLanguageTexts table;
    table.m_strLanguageName = languageName;
    return table.GetText(id);
}

// The parts of a text that a translation must carry over unchanged.
struct Markers {
    int lineFeeds = 0;
    int productNames = 0;
    int doubledAmpersands = 0;
    std::wstring accelerators;  // the letter after each single '&'
    std::wstring hotkeyHints;   // "Alt+r+c" runs, spaces removed
    std::wstring formats;       // printf conversions
};

Markers MarkersOf(const std::wstring& text) {
    Markers m;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\n') ++m.lineFeeds;
        if (text.compare(i, 7, L"Tessora") == 0) ++m.productNames;
        if (c == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') {
                ++m.doubledAmpersands;
                ++i;
                continue;
            }
            size_t j = i + 1;
            while (j < text.size() && text[j] == L' ') ++j;  // "(& O)" in two given rows
            if (j < text.size()) m.accelerators += text[j];
        }
        if (c == L'%' && i + 1 < text.size()) {
            size_t j = i + 1;
            while (j < text.size() && !std::iswalpha(text[j]) && text[j] != L'%') ++j;
            m.formats += text.substr(i, j + 1 - i) + L'|';
            i = j;
        }
        if (text.compare(i, 3, L"Alt") == 0) {
            std::wstring hint;
            size_t j = i;
            while (j < text.size() && text[j] != L')') {
                if (text[j] != L' ') hint += text[j];
                ++j;
            }
            m.hotkeyHints += hint + L'|';
        }
    }
    return m;
}

}  // namespace

TEST(LanguageTexts, EachTableFillsExactlyItsIds) {
    EXPECT_EQ(FilledIds(UILANG_ENGLISH), kEnglishIds);
    EXPECT_EQ(kEnglishIds.size(), 82u);

    std::set<int> translatedIds = kEnglishIds;
    translatedIds.erase(1);
    translatedIds.insert(1198);
    translatedIds.insert(1226);
    for (ELanguage lang : kTranslated) {
        SCOPED_TRACE(LanguageName(lang));
        EXPECT_EQ(FilledIds(lang), translatedIds);
        EXPECT_EQ(FilledIds(lang).size(), 83u);
    }
}

TEST(LanguageTexts, RowsAreSortedAndUnique) {
    // A repeated id would silently hide one of its rows.
    int count = 0;
    const LanguageRow* rows = GetLanguageRows(&count);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        for (ELanguage lang : kAll) ASSERT_NE(rows[i].text[lang], nullptr) << rows[i].id;
        if (i > 0) {
            EXPECT_LT(rows[i - 1].id, rows[i].id);
        }
    }
}

TEST(LanguageTexts, GivenRows) {
    struct Case {
        int id;
        const wchar_t* texts[UILANG_COUNT];  // English, Japanese, Chinese, Dutch, German, Spanish
    } cases[] = {
        {1, {L"OK", L"", L"", L"", L"", L""}},
        {2, {L"Cancel", L"キャンセル", L"取消", L"Annuleer", L"Stornieren", L"Cancelar"}},
        {133, {L"About Tessora", L"Tessoraについて", L"关于Tessora", L"Over Tessora", L"Über Tessora",
               L"Acerca de Tessora"}},
        {1128, {L"1 Screen \n( Alt+1+1 )", L"全画面 \n( Alt+1+1 )", L"全屏 \n( Alt+1+1 )",
                L"1 scherm \n(Alt + 1 + 1)", L"1 Bildschirm\n(Alt + 1 + 1)",
                L"1 pantalla \n(Alt + 1 + 1)"}},
        {1198, {L"", L"削除", L"删除", L"Verwijderen", L"Löschen", L"Eliminar"}},
        {1226, {L"", L"削除", L"删除", L"Verwijderen", L"Löschen", L"Eliminar"}},
        {32778, {L"Option(&O)", L"オプション(&O)", L"选项(&O)", L"Optie (& O)", L"Option (&O)",
                 L"Opción (& O)"}},
        {80005, {L"Files saved successfully.", L"保存に完了しました。", L"保存文件成功.",
                 L"Bestanden succesvol opgeslagen.", L"Dateien erfolgreich gespeichert.",
                 L"Archivos guardados con éxito."}},
        {87001, {L"U", L"U", L"U", L"U", L"U.", L"U"}},
    };
    for (const Case& c : cases) {
        for (ELanguage lang : kAll) {
            EXPECT_EQ(CString(LanguageText(lang, c.id)), c.texts[lang])
                << "id " << c.id << " in " << Utf8FromWide(LanguageName(lang));
        }
    }
}

TEST(LanguageTexts, EnglishTextsWithSpecialCharacters) {
    struct Case {
        int id;
        const wchar_t* text;
    } cases[] = {
        {137, L"Option (Tessora)"},
        {1146, L"If you want to download new version. \nPlease click the \"Download new version\" "
               L"button will jump to official download website."},
        {1144, L"Free Screen \n( Alt+N+N )"},
        {1208, L" Select hotkeys (ActKey)"},
        {1243, L"Backup && Restore"},
        {32779, L"Hide(&H)"},
        {57664, L"About(&A)"},
        {32777, L"Exit"},
        {80000, L"Are you sure you want to delete this items?"},
        {87000, L"Information"},
    };
    for (const Case& c : cases) EXPECT_EQ(TextIn(L"English", c.id), c.text) << c.id;
}

TEST(LanguageTexts, TranslationsKeepWhatTheProgramRelies) {
    int count = 0;
    const LanguageRow* rows = GetLanguageRows(&count);
    for (int i = 0; i < count; ++i) {
        const LanguageRow& row = rows[i];
        const std::wstring english = row.text[UILANG_ENGLISH];
        const Markers want = MarkersOf(english);
        for (ELanguage lang : kTranslated) {
            SCOPED_TRACE(testing::Message() << "id " << row.id << " in "
                                            << Utf8FromWide(LanguageName(lang)));
            const std::wstring text = row.text[lang];
            if (row.id == 1) {
                EXPECT_EQ(text, L"");  // the OK buttons keep their resource text
                continue;
            }
            ASSERT_FALSE(text.empty());
            if (english.empty()) continue;  // 1198, 1226: nothing to carry over
            const Markers got = MarkersOf(text);
            EXPECT_EQ(got.lineFeeds, want.lineFeeds);
            EXPECT_EQ(got.productNames, want.productNames);
            EXPECT_EQ(got.doubledAmpersands, want.doubledAmpersands);
            EXPECT_EQ(got.accelerators, want.accelerators);
            EXPECT_EQ(got.hotkeyHints, want.hotkeyHints);
            EXPECT_EQ(got.formats, want.formats);
            EXPECT_EQ(text.front() == L' ', english.front() == L' ');  // group-box caption indent
        }
    }
}

TEST(LanguageTable, NameSelectsTableExactly) {
    struct Case {
        const wchar_t* name;
        int id;
        const wchar_t* text;
    } cases[] = {
        {L"Germany", 2, L"Stornieren"},
        {L"German", 2, L"Cancel"},
        {L"germany", 2, L"Cancel"},
        {L"GERMANY", 2, L"Cancel"},
        {L" Germany", 2, L"Cancel"},
        {L"Germany ", 2, L"Cancel"},
        {L"", 2, L"Cancel"},
        {L"English", 2, L"Cancel"},
        {L"Klingon", 133, L"About Tessora"},
        {L"Japanese", 2, L"キャンセル"},
        {L"Chinese", 2, L"取消"},
        {L"Netherland", 2, L"Annuleer"},
        {L"Dutch", 2, L"Cancel"},
        {L"Spain", 2, L"Cancelar"},
        {L"Spanish", 2, L"Cancel"},
        {L"Japanese", 1, L""},
        {L"English", 1, L"OK"},
        {L"Unknown", 1, L"OK"},
        {L"English", 1198, L""},
        {L"Netherland", 1198, L"Verwijderen"},
        {L"Germany", 1226, L"Löschen"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextIn(c.name, c.id), c.text) << Utf8FromWide(c.name) << " " << c.id;
    }
}

TEST(LanguageTable, IdsWithoutTextAreEmptyInEveryLanguage) {
    const int ids[] = {INT_MIN, -100000, -1, 0, 3, 132, 134, 1131, 5000, 57665,
                       99999,   100000,  100001, 1000000, INT_MAX};
    for (ELanguage lang : kAll) {
        CLanguageTexts table;
        table.m_strLanguageName = LanguageName(lang);
        for (int id : ids) EXPECT_EQ(table.GetText(id), L"") << id;
    }
    EXPECT_EQ(CString(LanguageText(static_cast<ELanguage>(-1), 2)), L"");
    EXPECT_EQ(CString(LanguageText(UILANG_COUNT, 2)), L"");
    EXPECT_EQ(LanguageFromName(nullptr), UILANG_ENGLISH);
}

TEST(LanguageTable, InstancesShareTextsButNotTheirLanguage) {
    CLanguageTexts mainTable;
    CLanguageTexts trayTable;
    EXPECT_EQ(mainTable.m_strLanguageName, L"");
    mainTable.m_strLanguageName = L"Spain";
    EXPECT_EQ(mainTable.GetText(1240), L"Excluir");
    EXPECT_EQ(trayTable.GetText(1240), L"Exclude");
    // A switch takes effect at the next lookup.
    mainTable.m_strLanguageName = L"Chinese";
    EXPECT_EQ(mainTable.GetText(32777), L"退出");
    EXPECT_EQ(mainTable.GetLanguage(), UILANG_CHINESE);
}

TEST(LanguageTable, NamesForTheCombo) {
    const CStringArray names = CLanguageTexts::GetLanguageNames();
    const std::vector<std::wstring> want = {L"Chinese",  L"English",    L"Germany",
                                            L"Japanese", L"Netherland", L"Spain"};
    ASSERT_EQ(names.GetSize(), static_cast<int>(want.size()));
    for (int i = 0; i < names.GetSize(); ++i) {
        EXPECT_EQ(names[i], want[i].c_str());
        // Every listed name selects a table, and each name a different one.
        if (want[i] != L"English") {
            EXPECT_NE(LanguageFromName(names[i]), UILANG_ENGLISH);
        }
    }
    std::set<int> selected;
    for (int i = 0; i < names.GetSize(); ++i) selected.insert(LanguageFromName(names[i]));
    EXPECT_EQ(selected.size(), 6u);
    for (ELanguage lang : kAll) EXPECT_EQ(LanguageFromName(LanguageName(lang)), lang);
}
