// The six user-interface languages and their texts, looked up by resource id. Platform-free:
// the window and menu translation on top of it lives in app/LanguageTable.h.
//
// Every text exists once, as a literal in read-only data. One id -> row index, built on first
// use and shared by every table object of the process, keeps a lookup a direct array access
// without holding 100000 string objects per language and object.
#pragma once

#include "framework/CString.h"

enum ELanguage {
    UILANG_ENGLISH,
    UILANG_JAPANESE,
    UILANG_CHINESE,
    UILANG_DUTCH,
    UILANG_GERMAN,
    UILANG_SPANISH,
    UILANG_COUNT
};

// Ids run from 0 to LANGUAGE_TABLE_SIZE - 1; any other id has no text in any language.
constexpr int LANGUAGE_TABLE_SIZE = 100000;

// One id and its text in every language, in ELanguage order; L"" where a language has none.
struct LanguageRow {
    int id;
    const wchar_t* text[UILANG_COUNT];
};

// The rows, ascending by id.
const LanguageRow* GetLanguageRows(int* count);

// The language a stored name selects: an exact, case-sensitive match of "Japanese", "Chinese",
// "Netherland", "Germany" or "Spain"; anything else (empty, "English", unknown) is English.
ELanguage LanguageFromName(const wchar_t* name);

// The config.ini name of a language ("English", "Japanese", "Chinese", "Netherland", "Germany",
// "Spain"); L"" for a value outside the enum.
const wchar_t* LanguageName(ELanguage lang);

// The text of an id in a language: never null, L"" when the id is out of range or has no text.
// The pointer stays valid for the life of the process.
const wchar_t* LanguageText(ELanguage lang, int id);

// The six names in the order the options window lists them.
CStringArray GetLanguageNames();

// The platform-free half of CLanguageTable: the current language name and the text lookup.
class CLanguageTexts {
public:
    CLanguageTexts();

    // The text of the id in the current language (a copy); empty when the table has none for
    // the id, also for ids outside 0..99999 (no exception may reach a window procedure).
    CString GetText(int id) const;

    ELanguage GetLanguage() const { return LanguageFromName(m_strLanguageName); }

    static CStringArray GetLanguageNames() { return ::GetLanguageNames(); }

    // Set by the owner (settings, options window's combo, tray icon) at any time; the next
    // GetText follows it.
    CString m_strLanguageName;
};
