// The system's file operations behind a restore of the rule database.
#pragma once

#include "rules/core/RuleRestore.h"

RestoreFiles MakeRestoreFiles();
