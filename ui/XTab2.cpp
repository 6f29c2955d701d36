#include "ui/XTab2.h"

#include "res/ui_ids.h"

CXTab2::CXTab2() : COptionPage(IDD_XTAB2) {}

CXTab2::~CXTab2() = default;
