#include "app/Settings.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdlib>

#include "app/AppFiles.h"
#include "framework/AfxWin.h"

namespace {
const wchar_t kSection[] = L"General";
}

CSettings::CSettings() : CSettings(GetModuleDirectory() + L"config.ini") {}

CSettings::CSettings(const CString& iniPath) : m_strIniPath(iniPath) { Load(); }

int CSettings::ReadInt(const wchar_t* key, int fallback) {
    int value = static_cast<int>(GetPrivateProfileIntW(kSection, key, -1, m_strIniPath));
    if (value != -1) return value;
    CString text;
    text.Format(L"The KeyValue of config.ini '%s' is error", key);
    AfxMessageBox(text, MB_ICONQUESTION);
    return fallback;
}

void CSettings::Load() {
    if (!PathFileExistsW(m_strIniPath)) {
        AfxMessageBox(L"Configuration file does not exist or the program has been deleted. Please reinstall the Tessora",
                      MB_ICONERROR);
        exit(0);
    }
    m_nOverlapWindows = ReadInt(L"OverlapWindows", 1);

    wchar_t language[260] = {};
    GetPrivateProfileStringW(kSection, L"Language", L"Empty", language, 260, m_strIniPath);
    if (wcscmp(language, L"Empty") == 0) {
        AfxMessageBox(L"The KeyValue of config.ini 'Language' is error", MB_ICONQUESTION);
        m_strLanguage = L"English";
    } else {
        m_strLanguage = language;
    }

    m_nAutomatics = ReadInt(L"Automatics", 1);
    m_nAutoUpdate = ReadInt(L"AutoUpdate", 0);
    m_nExecuteHotkeyType = ReadInt(L"ExecuteHotkeyType", 0);
    m_nShowHotkey = ReadInt(L"ShowHotkey", 1);
}

bool CSettings::Save() {
    struct Item { const wchar_t* key; const int* value; };
    bool ok = WritePrivateProfileStringW(kSection, L"Language", m_strLanguage, m_strIniPath) != FALSE;
    const Item numbers[] = {{L"Automatics", &m_nAutomatics}, {L"OverlapWindows", &m_nOverlapWindows},
                            {L"AutoUpdate", &m_nAutoUpdate}, {L"ExecuteHotkeyType", &m_nExecuteHotkeyType},
                            {L"ShowHotkey", &m_nShowHotkey}};
    for (const Item& item : numbers) {
        m_strScratch.Format(L"%d", *item.value);
        if (!WritePrivateProfileStringW(kSection, item.key, m_strScratch, m_strIniPath)) ok = false;
    }
    // the caller tells the user in the user's language: a read-only file must not lose settings silently
    return ok;
}
