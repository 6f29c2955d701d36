#include "ui/XTabBackup.h"

#include "res/ui_ids.h"

CXTabBackup::CXTabBackup() : COptionPage(IDD_XTAB_BACKUP) {}

CXTabBackup::~CXTabBackup() = default;
