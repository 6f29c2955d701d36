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
