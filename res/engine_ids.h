// Resource ids of the layout engine's windows.
#pragma once

#define IDD_ACTKEY_PANEL 244
#define IDR_PNG_ACTKEY_PANEL 246
#define IDC_PANEL_ACTKEY 2441
#define IDC_PANEL_FIRSTKEY 2442
#define IDC_PANEL_SECONDKEY 2443
