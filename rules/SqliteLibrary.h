// The SQLite engine of the program: qomb100.dll beside the executable, reached through the
// entry-point table of rules/core/SqliteApi.h.
#pragma once

#include <functional>

#include "framework/CString.h"
#include "rules/core/RuleStore.h"

// Loads programDir + "qomb100.dll" (programDir ends in a backslash) once per process and returns
// its entry points; null when the file or one of the six entry points is missing. The library
// stays loaded for the life of the process.
const SqliteApi* LoadSqliteLibrary(const CString& programDir);

// True for an existing file that is not a directory.
bool IsExistingFile(const CString& path);

// Everything the rule store needs on Windows: the engine from programDir, the file test, the
// monitor count from the system, and the fatal start-up message to show when the database
// cannot be opened (the main window passes SetStartErrorText then ShowStartErrorAndExit).
RuleStoreHost MakeRuleStoreHost(const CString& programDir, std::function<void()> fatalStartError);
