// Ids of the update dialog and the update page. Fixed: the language tables translate by id.
#pragma once

#define IDD_CHECK_UPDATE 221
#define IDC_UPD_NEW_VERSION 1145
#define IDC_UPD_NOTE 1146
#define IDC_UPD_DOWNLOAD 1147
#define IDC_UPD_HEADLINE 1148
#define IDC_UPD_CURRENT_LABEL 1150
#define IDC_UPD_NEW_LABEL 1154
#define IDC_UPD_CURRENT_VERSION 1156
