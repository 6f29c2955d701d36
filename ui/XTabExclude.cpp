#include "ui/XTabExclude.h"

#include "res/ui_ids.h"

CXTabExclude::CXTabExclude() : COptionPage(IDD_XTAB_EXCLUDE) {}

CXTabExclude::~CXTabExclude() = default;

void CXTabExclude::TranslateList() {}

void CXTabExclude::ResetList() {}
