#include "rules/core/RuleRestore.h"

#include "rules/core/RuleStore.h"

namespace {

// Puts the old file back (when it was moved aside), reopens it and makes `ruleId` current again:
// the pages still show that rule, and what they bind goes to the store's current rule.
RestoreResult GiveBack(CRuleStore& store, const RestoreFiles& files, const CString& db, const CString& aside,
                       const CString& temp, int ruleId) {
    if (!aside.IsEmpty()) files.move(aside, db);
    files.remove(temp);
    store.ReopenDatabase();
    int index = 0;
    while (store.Reload(index) && store.m_nCurRuleId != ruleId) ++index;
    if (store.m_nCurRuleId != ruleId) store.Reload(0);
    store.LoadExcludes();
    return RestoreResult::Failed;
}

}  // namespace

RestoreResult RestoreRuleDatabase(CRuleStore& store, const CString& source, const RestoreFiles& files) {
    const CString db = store.DatabasePath();
    const CString temp = db + L".restore";
    const CString aside = db + L".previous";
    // the database itself, and the working files that are replaced and removed on the way
    for (const CString& own : {db, temp, aside})
        if (files.sameFile(source, own)) return RestoreResult::WrongFile;
    if (store.CheckRuleFile(source) != 0) return RestoreResult::WrongFile;

    // The copy is made and checked while the old file is still in use, so that a copy that
    // fails half-way or a source changed meanwhile costs nothing.
    files.remove(temp);
    if (!files.copy(source, temp) || store.CheckRuleFile(temp) != 0) {
        files.remove(temp);
        return RestoreResult::Failed;
    }

    const int currentRule = store.m_nCurRuleId;
    store.CloseDatabase();
    // A journal left by an interrupted write of the old file would be rolled into the new one.
    if (!files.remove(db + L"-journal") || !files.remove(aside))
        return GiveBack(store, files, db, L"", temp, currentRule);
    if (!files.move(db, aside)) return GiveBack(store, files, db, L"", temp, currentRule);
    if (!files.move(temp, db) || store.ReopenDatabase() != 0) {
        store.CloseDatabase();
        return GiveBack(store, files, db, aside, temp, currentRule);
    }
    files.remove(aside);
    if (!store.Reload(0)) store.m_nCurRuleId = 0;
    store.LoadExcludes();
    return RestoreResult::Restored;
}
