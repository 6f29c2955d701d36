// Resource and command ids. Numbers are fixed: the language tables translate by id.
#pragma once

#define IDD_TESSORA_DIALOG 102
#define IDR_MAIN_MENU 129
#define IDR_MAINFRAME 132
#define IDR_TRAY_ICON 134
#define IDR_TRAY_MENU 134

#define ID_MENU_HIDE 32771
#define ID_MENU_EXIT 32772
#define ID_TRAY_EXIT 32777
#define ID_TRAY_OPTION 32778
#define ID_TRAY_HIDE 32779
#define ID_MENU_OPTION 32781
#define ID_APP_ABOUT 57664

// debug view of the main window
#define IDC_DEBUG_OK 1131
#define IDC_DEBUG_EXIT 1133
#define IDC_STC_WINDOW_SIZE 1151
#define IDC_STC_SCREEN_COUNT 1158
#define IDC_STC_HOTKEY 1159
#define IDC_STC_SCREENS 1160
#define IDC_LIST_WINDOWS 1162
#define IDC_STC_MOUSE_POS 1194
#define IDC_RESTART_HOOK 1207
#define IDC_ACTKEY_PANEL 1212

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
