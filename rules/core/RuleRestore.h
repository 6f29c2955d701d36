// Putting a backup in place of the rule database while the store is running: the old file
// stays usable until the new one has been copied, checked, moved in and opened, and comes back
// whenever a step fails.
#pragma once

#include <functional>

#include "framework/CString.h"

class CRuleStore;

// The file operations a restore needs; each answers true on success.
struct RestoreFiles {
    std::function<bool(const CString& from, const CString& to)> copy;  // byte copy, replacing `to`
    std::function<bool(const CString& from, const CString& to)> move;  // rename, replacing `to`
    std::function<bool(const CString& path)> remove;                   // also true when nothing was there
    std::function<bool(const CString& a, const CString& b)> sameFile;  // one file under two names?
};

enum class RestoreResult {
    Restored,   // the store now reads the restored rules
    WrongFile,  // refused before anything changed: not a usable rule database, or the database itself
    Failed,     // a step failed; the old rules are back in use
};

// Checks `source` first (a file that is the database itself is refused), copies it beside the
// database, checks the copy, closes the store, replaces the database (dropping a stale
// journal), reopens it and reloads the store's rules and exclude list.
RestoreResult RestoreRuleDatabase(CRuleStore& store, const CString& source, const RestoreFiles& files);
