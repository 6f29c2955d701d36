// Ids of the About box and the splash window. The numbers are fixed: the language tables
// translate controls by id.
#pragma once

#define IDD_ABOUTBOX 133
#define IDD_LOADING 184
#define IDB_PNG_ABOUT 235
#define IDB_PNG_LOADING 236
// the same picture as 362 x 120 straight BGRA pixels, top row first
#define IDR_SPLASH_PIXELS 237

#define IDC_ABOUT_HOMEPAGE_LABEL 223
#define IDC_ABOUT_NOTICE 224
#define IDC_SYSLINK_HOME 1084
#define IDC_STATIC_VERSION 1085

// ---- options window and its six pages ----
#define IDD_OPTION 137
#define IDD_XTAB3 135
#define IDD_XTAB2 136
#define IDD_XTAB_EXCLUDE 147
#define IDD_XTAB4 148
#define IDD_XTAB1 149
#define IDD_XTAB_BACKUP 248

// options window (137)
#define IDC_COMBO_LANGUAGE 214
#define IDC_STATIC_LANGUAGE 228
#define IDC_STATIC_PANEL 1125
#define IDC_STATIC_OPTION_NOTICE 1138
#define IDC_BTN_OPTION_OK 1139
#define IDC_BTN_OPTION_CANCEL 1140
#define IDC_BTN_SPLIT_SCREEN_RULE 1238  // the six page buttons, 1238..1243 in column order
#define IDC_BTN_USER_DEFINED_RULE 1239
#define IDC_BTN_EXCLUDE 1240
#define IDC_BTN_SETTINGS 1241
#define IDC_BTN_UPDATE 1242
#define IDC_BTN_BACKUP 1243

// grid page (149): pictures and their captions; the pictures share ids with the page buttons
#define IDC_PIC_GRID_1X1 1235
#define IDC_PIC_GRID_1X2 1236
#define IDC_PIC_GRID_2X1 1238
#define IDC_PIC_GRID_1X3 1239
#define IDC_PIC_GRID_3X1 1240
#define IDC_PIC_GRID_2X2 1241
#define IDC_PIC_GRID_1XN 1242
#define IDC_PIC_GRID_NX1 1243
#define IDC_PIC_GRID_NXN 1244
#define IDC_STC_GRID_1X1 1128
#define IDC_STC_GRID_1X2 1129
#define IDC_STC_GRID_2X1 1130
#define IDC_STC_GRID_2X2 1132
#define IDC_STC_GRID_1X3 1134
#define IDC_STC_GRID_3X1 1136
#define IDC_STC_GRID_NX1 1141
#define IDC_STC_GRID_1XN 1142
#define IDC_STC_GRID_NXN 1144
#define IDB_GRID_1X1 253
#define IDB_GRID_1X2 255
#define IDB_GRID_1X3 256
#define IDB_GRID_2X1 257
#define IDB_GRID_2X2 258
#define IDB_GRID_3X1 259
#define IDB_GRID_1XN 260
#define IDB_GRID_NX1 261
#define IDB_GRID_NXN 262

// rules page (136)
#define IDC_STC_RULE_HOTKEY_VALUE 1159
#define IDC_STC_RULE_HOTKEY 1161
#define IDC_GRP_USER_DEFINE 1163
#define IDC_GRP_SCREEN_OPTION 1164
#define IDC_BTN_RULE_PREV 1166
#define IDC_BTN_RULE_NEXT 1167
#define IDC_STC_RULE_SCREEN 1168
#define IDC_STC_RULE_SCREEN_COUNT 1169
#define IDC_BTN_RULE_ADD 1170
#define IDC_BTN_RULE_EDIT 1172
#define IDC_CHK_RULE_ACTIVE 1174
#define IDC_COMBO_RULES 1176

// exclude page (147)
#define IDC_LIST_EXCLUDE 1187
#define IDC_EDIT_EXCLUDE_TITLE 1191
#define IDC_BTN_EXCLUDE_ADD 1197
#define IDC_BTN_EXCLUDE_DELETE 1198
#define IDC_STC_EXCLUDE_TITLE 1225

// settings page (135)
#define IDC_CHK_OVERLAP 210
#define IDC_CHK_AUTORUN 213
#define IDC_CHK_SHOW_HOTKEY 251
#define IDC_GRP_EXECUTE_TYPE 1208
#define IDC_RADIO_ALT 1209
#define IDC_RADIO_CTRL 1210
#define IDC_RADIO_ALT_OR_CTRL 1211

// update page (148)
#define IDC_BTN_CHECK_NOW 1135
#define IDC_CHK_AUTO_UPDATE 1137

// backup page (248)
#define IDC_BTN_BROWSE_RESTORE 1200
#define IDC_GRP_RESTORE 1201
#define IDC_GRP_BACKUP 1202
#define IDC_EDIT_RESTORE_PATH 1203
#define IDC_BTN_BACKUP_RULE 1205
#define IDC_BTN_START_RESTORE 1206
