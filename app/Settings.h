// The user's settings: section "General" of config.ini beside the program.
#pragma once

#include "framework/CString.h"

class CSettings {
public:
    // Reads config.ini at once; a missing file ends the process after an error box.
    CSettings();
    // Reads the settings of the given file (tests).
    explicit CSettings(const CString& iniPath);
    ~CSettings() = default;

    void Load();
    // Writes the six keys; false when any write failed (the in-memory values stay).
    bool Save();

    CString m_strScratch;
    CString m_strIniPath;
    int m_nOverlapWindows = 0;
    CString m_strLanguage = L"English";
    int m_nAutomatics = 0;
    int m_nAutoUpdate = 0;
    int m_nShowHotkey = 1;
    int m_nExecuteHotkeyType = 0;

private:
    int ReadInt(const wchar_t* key, int fallback);
};
