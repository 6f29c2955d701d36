#include "ui/XTab4.h"

#include "res/ui_ids.h"

CXTab4::CXTab4() : COptionPage(IDD_XTAB4) {}

CXTab4::~CXTab4() = default;

void CXTab4::SaveSettings() {}
