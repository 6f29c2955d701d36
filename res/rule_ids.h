// Ids of the rule editor and the zone title editor. The numbers are fixed: the language tables
// translate controls by id.
#pragma once

#define IDD_ADD_USER_DEFINE 230
#define IDD_ADD_GRID_TITLE 247

// rule editor
#define IDC_RE_SCREEN 1169
#define IDC_RE_SCREEN_LABEL 1171
#define IDC_RE_TYPE_LABEL 1173
#define IDC_RE_NAME_LABEL 1175
#define IDC_RE_LAYOUT_GROUP 1177
#define IDC_RE_TYPE 1179
#define IDC_RE_NAME 1180
#define IDC_RE_DELETE 1181
#define IDC_RE_HOTKEY_LABEL 1182
#define IDC_RE_KEY 1184
#define IDC_RE_PREV_SCREEN 1189
#define IDC_RE_NEXT_SCREEN 1195
#define IDC_RE_ACTKEY_Q 1199
#define IDC_RE_GET_LAYOUT 1218
#define IDC_RE_WINDOW_NO 1219
#define IDC_RE_WINDOW_COUNT_LABEL 1220
#define IDC_RE_DELETE_WINDOW 1221
#define IDC_RE_WINDOW_COUNT 1222
#define IDC_RE_SAVE 1224

// zone title editor
#define IDC_GT_ADD 1213
#define IDC_GT_TITLE 1214
#define IDC_GT_LIST 1215
#define IDC_GT_REGION_LABEL 1216
#define IDC_GT_REGION 1217
#define IDC_GT_TITLE_LABEL 1223
#define IDC_GT_DELETE 1226
