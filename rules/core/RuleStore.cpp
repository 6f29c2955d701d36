#include "rules/core/RuleStore.h"

#include <algorithm>

#include "app/core/PathText.h"
#include "rules/core/SqlText.h"

namespace {

// Column positions of the tables the store reads with SELECT *.
enum RuleColumn { RULE_ID = 0, RULE_NAME = 1, RULE_HOTKEY = 2 };
enum DetailColumn { DETAIL_DEFINE_ID = 1, DETAIL_SCREEN_ID = 2, DETAIL_TYPE_ID = 3, DETAIL_ACTIVE = 4 };
enum TypeColumn { TYPE_FLG = 1, TYPE_ID = 2, TYPE_X = 3, TYPE_Y = 4, TYPE_WIDTH = 5, TYPE_HEIGHT = 6 };

TitleRecord TitleFromRow(const ResultTable& t, int r) {
    TitleRecord rec;
    rec.id = t.Int(r, 0);
    rec.define_id = t.Int(r, 1);
    rec.screen_id = t.Int(r, 2);
    rec.region_id = t.Int(r, 3);
    rec.file_path = t.Text(r, 4);
    rec.type = t.Text(r, 5);
    return rec;
}

// The second character of a hotkey ("Q5" -> "5"); empty when it is shorter.
CString HotkeyDigit(const CString& hotkey) { return hotkey.GetLength() >= 2 ? hotkey.Mid(1, 1) : CString(); }

}  // namespace

CRuleStore::CRuleStore(const RuleStoreHost& host)
    : m_host(host), m_pDb(std::make_unique<CSqliteDb>(host.sqlite, host.isFile)),
      m_pRuleIds(std::make_unique<CStringArray>()) {
    if (m_pDb->OpenRuleDb(m_host.programDir) != SQLITE_RESULT_OK && m_host.fatalStartError)
        m_host.fatalStartError();
    m_nScreenCount = ReadMonitorCount();
}

CRuleStore::~CRuleStore() = default;

int CRuleStore::CheckRuleFile(const CString& path) const {
    CSqliteDb db(m_host.sqlite, m_host.isFile);
    return db.CheckRuleFile(path);
}

int CRuleStore::ReadMonitorCount() const {
    const int n = m_host.monitorCount ? m_host.monitorCount() : 1;
    return std::clamp(n, 1, MAX_SCREEN_COUNT);
}

// Asked of the database, not of the cached list: another program may have deleted the rule since
// the list was read, and a later rule may get its id.
bool CRuleStore::RuleExists(int ruleId) { return m_pDb->GetUserDefineWithDetails(ruleId).Rows() > 0; }

// ---- rules

bool CRuleStore::Reload(int index) {
    m_nScreenCount = ReadMonitorCount();
    // A list that cannot be read now (another program holds the file) is not an empty one.
    ResultTable rules = m_pDb->GetUserDefines();
    if (rules.IsNull()) return false;
    m_pRuleTable = std::move(rules);
    m_nRuleRows = m_pRuleTable.Rows();
    m_nRuleCols = m_pRuleTable.Cols();
    m_pRuleIds->RemoveAll();
    if (m_nRuleRows == 0) return false;
    for (int r = 1; r <= m_nRuleRows; ++r) m_pRuleIds->Add(m_pRuleTable.Text(r, RULE_ID));
    if (index < 0 || index >= m_pRuleIds->GetSize()) return false;
    m_nCurRuleId = CellToInt(Utf8FromWide(m_pRuleIds->GetAt(index).GetString()).c_str());

    m_pDetailTable = m_pDb->GetUserDefineDetails(m_nCurRuleId);
    m_nDetailRows = m_pDetailTable.Rows();
    m_nDetailCols = m_pDetailTable.Cols();
    if (m_nDetailRows == 0) m_pDetailTable.Reset();

    m_pTitleTable = m_pDb->GetSelectFiles(m_nCurRuleId);
    m_nTitleRows = m_pTitleTable.Rows();
    m_nTitleCols = m_pTitleTable.Cols();
    return true;
}

std::unique_ptr<CStringArray> CRuleStore::GetRuleNames() const {
    auto names = std::make_unique<CStringArray>();
    for (int r = 1; r <= m_nRuleRows; ++r) names->Add(m_pRuleTable.Text(r, RULE_NAME));
    return names;
}

CString CRuleStore::GetRuleHotkey(int index) const {
    if (index < 0 || index >= m_nRuleRows) return CString();
    return m_pRuleTable.Text(index + 1, RULE_HOTKEY);
}

CString CRuleStore::FormatHotkeyText(const CString& hotkey) {
    if (hotkey.GetLength() != 2) return CString(L"None");
    CString text;
    text.Format(L"[ActKey] + %s + %s", hotkey.Mid(0, 1).GetString(), hotkey.Mid(1, 1).GetString());
    return text;
}

DetailRecord* CRuleStore::ReadDetail(DetailRecord* out, int screen) {
    if (!out) return out;
    // The row of that screen itself, not row `screen` of the cache: a database edited by other
    // tools need not keep a rule's rows in screen order.
    const ResultTable rows = m_pDb->GetUserDefineDetailByScreen(m_nCurRuleId, screen);
    if (rows.IsNull()) {
        *out = {m_nCurRuleId, screen, 0, 0};  // unreadable: show nothing, write nothing
    } else if (rows.Rows() == 0) {
        // Only a rule that still exists gets its missing row; the next Reload brings it in.
        if (RuleExists(m_nCurRuleId)) {
            m_pDb->InsertUserDefineDetail(m_nCurRuleId, screen, 1, 0);
            *out = {m_nCurRuleId, screen, 1, 0};
        } else {
            *out = {m_nCurRuleId, screen, 0, 0};
        }
    } else {
        *out = {rows.Int(1, DETAIL_DEFINE_ID), rows.Int(1, DETAIL_SCREEN_ID), rows.Int(1, DETAIL_TYPE_ID),
                rows.Int(1, DETAIL_ACTIVE)};
    }
    return out;
}

DetailRecord CRuleStore::ReadDetail(int screen) {
    DetailRecord rec;
    ReadDetail(&rec, screen);
    return rec;
}

int CRuleStore::SetDetailActive(int screen, int active) {
    CSqliteTransaction tx(*m_pDb);
    if (tx.Result() != SQLITE_RESULT_OK) return tx.Result();
    if (!RuleExists(m_nCurRuleId)) return SQLITE_RESULT_ERROR;
    const int rc = m_pDb->SetUserDefineDetailActive(m_nCurRuleId, screen, active);
    return rc == SQLITE_RESULT_OK ? tx.Commit() : rc;
}

std::vector<ScreenTypeEntry> CRuleStore::LoadRule(CString& name, CString& key) {
    std::vector<ScreenTypeEntry> entries;
    const ResultTable t = m_pDb->GetUserDefineWithDetails(m_nCurRuleId);
    const int rows = t.Rows();
    if (rows == 0) return entries;
    name = t.Text(1, 0);
    key = HotkeyDigit(t.Text(1, 1));
    // A rule without detail rows gives one row with NULL type and active: all entries zero.
    entries.resize(static_cast<size_t>(std::max(rows, m_nScreenCount)));
    const int filled = std::min(rows, m_nScreenCount);
    for (int r = 1; r <= filled; ++r) {
        ScreenTypeEntry& e = entries[static_cast<size_t>(r - 1)];
        e.prev_type_id = e.type_id = t.Int(r, 2);
        e.active = t.Int(r, 3);
        e.reserved = 0;
    }
    return entries;
}

std::unique_ptr<CStringArray> CRuleStore::GetFreeHotkeys() const {
    std::vector<CString> used;
    for (int r = 1; r <= m_nRuleRows; ++r) used.push_back(HotkeyDigit(m_pRuleTable.Text(r, RULE_HOTKEY)));
    auto digits = std::make_unique<CStringArray>();
    for (int d = 0; d <= 9; ++d) {
        CString digit;
        digit.Format(L"%d", d);
        if (std::find(used.begin(), used.end(), digit) == used.end()) digits->Add(digit);
    }
    return digits;
}

int CRuleStore::NewCapturedTypeId() {
    int maxUsed = 0;
    if (m_pDb->GetMaxTypeId(&maxUsed) != 0) maxUsed = 0;
    return std::max(maxUsed + 1, FIRST_USER_TYPE_ID);
}

// Replaces the captured zones stored under `newTypeId` with the live captured zones of the list
// whose type id is `matchTypeId`. For a new id this clears zones that an interrupted earlier save
// left behind (no rule uses an id that high), so they cannot join the new layout.
int CRuleStore::InsertCapturedZones(const RegionList& regions, int matchTypeId, int newTypeId) {
    int rc = m_pDb->DeleteUserDefineType(newTypeId);
    for (const RegionNode& node : regions) {
        if (rc != SQLITE_RESULT_OK) break;
        if (node.deleted != 0 || node.type_flg != TYPE_FLG_USER || node.type_id != matchTypeId) continue;
        rc = m_pDb->InsertUserDefineType(TYPE_FLG_USER, newTypeId, node.x, node.y, node.width, node.height);
    }
    return rc;
}

int CRuleStore::AddRule(const CString& name, const CString& hotkey, const std::vector<ScreenTypeEntry>& entries,
                        RegionList regions, int* newRuleId) {
    if (entries.empty()) return SQLITE_RESULT_ERROR;
    CSqliteTransaction tx(*m_pDb);
    if (tx.Result() != SQLITE_RESULT_OK) return tx.Result();

    int ruleId = 0;
    if (m_pDb->InsertUserDefine(name, hotkey, &ruleId) != 0) return SQLITE_RESULT_ERROR;
    // Rule ids are reused: whatever an earlier rule of this id left behind is not the new rule's.
    int rc = m_pDb->DeleteRuleLeftovers(ruleId);
    int newType = 0;
    if (rc == SQLITE_RESULT_OK && entries[0].type_id == -1) {
        newType = NewCapturedTypeId();
        // Only this capture's zones (type id -1): the list also holds every other rule's
        // captured zones, which must not be copied into the new rule.
        rc = InsertCapturedZones(regions, -1, newType);
    }
    const int screens = std::min(m_nScreenCount, static_cast<int>(entries.size()));
    for (int s = 1; s <= screens && rc == SQLITE_RESULT_OK; ++s) {
        const ScreenTypeEntry& e = entries[static_cast<size_t>(s - 1)];
        rc = m_pDb->InsertUserDefineDetail(ruleId, s, e.type_id == -1 ? newType : e.type_id, e.active);
    }
    if (rc == SQLITE_RESULT_OK) rc = tx.Commit();
    if (rc == SQLITE_RESULT_OK && newRuleId) *newRuleId = ruleId;
    return rc;
}

int CRuleStore::UpdateRule(const CString& name, const CString& hotkey, std::vector<ScreenTypeEntry>& entries,
                           RegionList regions) {
    if (entries.empty()) return SQLITE_RESULT_ERROR;
    const ScreenTypeEntry before = entries[0];
    CSqliteTransaction tx(*m_pDb);
    if (tx.Result() != SQLITE_RESULT_OK) return tx.Result();
    // A rule that vanished meanwhile would only collect orphan rows.
    if (!RuleExists(m_nCurRuleId)) return SQLITE_RESULT_ERROR;

    const int oldType = entries[0].prev_type_id;
    const int newType = entries[0].type_id;
    int rc = SQLITE_RESULT_OK;
    if (newType == -1) {
        const int captured = NewCapturedTypeId();
        entries[0].type_id = captured;
        rc = InsertCapturedZones(regions, -1, captured);
        if (rc == SQLITE_RESULT_OK && oldType >= FIRST_USER_TYPE_ID) rc = m_pDb->DeleteUserDefineType(oldType);
    } else if (newType == oldType) {
        // Rewrite a captured layout from its live zones; a preset has no captured rows.
        rc = InsertCapturedZones(regions, oldType, oldType);
    } else if (oldType >= FIRST_USER_TYPE_ID) {
        rc = m_pDb->DeleteUserDefineType(oldType);
    }
    if (rc == SQLITE_RESULT_OK) rc = m_pDb->UpdateUserDefine(name, hotkey, m_nCurRuleId);
    const int screens = std::min(m_nScreenCount, static_cast<int>(entries.size()));
    for (int s = 1; s <= screens && rc == SQLITE_RESULT_OK; ++s) {
        const ScreenTypeEntry& e = entries[static_cast<size_t>(s - 1)];
        rc = m_pDb->UpdateUserDefineDetail(m_nCurRuleId, s, e.type_id, e.active);
    }
    if (rc == SQLITE_RESULT_OK) rc = tx.Commit();
    if (rc != SQLITE_RESULT_OK) entries[0] = before;  // nothing was stored; a retry starts over
    return rc;
}

int CRuleStore::DeleteRule() { return m_pDb->DeleteUserDefine(m_nCurRuleId); }

RegionList CRuleStore::LoadTypes(int typeId, int* count) {
    const ResultTable t = typeId == -1 ? m_pDb->GetUserDefineTypes() : m_pDb->GetUserDefineTypeById(typeId);
    RegionList list;
    for (int r = 1; r <= t.Rows(); ++r) {
        RegionNode node;
        node.number = r;
        node.flag = 1;
        node.type_flg = t.Int(r, TYPE_FLG);
        node.type_id = t.Int(r, TYPE_ID);
        node.x = t.Real(r, TYPE_X);
        node.y = t.Real(r, TYPE_Y);
        node.width = t.Real(r, TYPE_WIDTH);
        node.height = t.Real(r, TYPE_HEIGHT);
        node.deleted = 0;
        list.push_back(node);
    }
    if (count) *count = t.Rows();
    return list;
}

int CRuleStore::FindRuleByHotkey(const CString& hotkey) {
    CString key(hotkey);
    key.MakeUpper();
    const ResultTable t = m_pDb->FindUserDefineByHotkey(key);
    int id = -1;
    for (int r = 1; r <= t.Rows(); ++r) id = t.Int(r, 0);
    return id;
}

// ---- exclude list

const std::vector<ExcludeRecord>& CRuleStore::LoadExcludes() {
    const ResultTable t = m_pDb->GetExcludeFiles();
    std::vector<ExcludeRecord> records(static_cast<size_t>(t.Rows()));
    for (int r = 1; r <= t.Rows(); ++r) {
        ExcludeRecord& rec = records[static_cast<size_t>(r - 1)];
        rec.id = t.Int(r, 0);
        rec.name = t.Text(r, 1);
        rec.file_path = t.Text(r, 2);
        rec.type = t.Text(r, 3);
        rec.del_flg = t.Int(r, 4);
    }
    m_excludes.swap(records);
    m_nExcludeCount = static_cast<int>(m_excludes.size());
    m_pExcludes = m_excludes.empty() ? nullptr : m_excludes.data();
    return m_excludes;
}

int CRuleStore::AddExclude(const CString& text, int* newId, int kind) {
    CString name, filePath, type;
    if (kind == 0) {
        name = text;
        type = L"0";
    } else if (kind == 1) {
        name = FileNameFromPath(text, 1);
        filePath = text;
        SplitPathFileName(text, type);
    } else {
        return SQLITE_RESULT_ERROR;
    }
    // An empty name occurs in every title and would exclude every window (a dropped drive root
    // such as "D:\" has no name part).
    if (name.IsEmpty()) return SQLITE_RESULT_ERROR;
    return m_pDb->InsertExcludeFile(name, filePath, type, newId);
}

int CRuleStore::DeleteExclude(int id) { return m_pDb->DeleteExcludeFile(id); }

// ---- zone titles

std::vector<TitleRecord> CRuleStore::ReadTitles(int screen, int region, int* count) {
    const ResultTable t = m_pDb->GetSelectFilesByRegion(m_nCurRuleId, screen, region);
    std::vector<TitleRecord> records;
    records.reserve(static_cast<size_t>(t.Rows()));
    for (int r = 1; r <= t.Rows(); ++r) records.push_back(TitleFromRow(t, r));
    if (count) *count = t.Rows();
    return records;
}

int CRuleStore::AddTitle(int screen, int region, const CString& text, int* newId) {
    // An empty binding would pin every window; a rule that no longer exists would only leave a
    // binding for the next rule that gets its id.
    if (text.IsEmpty()) return SQLITE_RESULT_ERROR;
    CSqliteTransaction tx(*m_pDb);
    if (tx.Result() != SQLITE_RESULT_OK) return tx.Result();
    if (!RuleExists(m_nCurRuleId)) return SQLITE_RESULT_ERROR;
    CString type;
    SplitPathFileName(text, type);
    int id = 0;
    if (m_pDb->InsertSelectFile(m_nCurRuleId, screen, region, text, type, &id) != 0) return SQLITE_RESULT_ERROR;
    const int rc = tx.Commit();
    if (rc == SQLITE_RESULT_OK && newId) *newId = id;
    return rc;
}

int CRuleStore::DeleteTitle(int id) { return m_pDb->DeleteSelectFile(id); }

std::vector<TitleRecord> CRuleStore::GetScreenTitles(int screen) const {
    std::vector<TitleRecord> records(static_cast<size_t>(m_nTitleRows));
    for (int r = 1; r <= m_nTitleRows; ++r)
        if (m_pTitleTable.Int(r, 2) == screen) records[static_cast<size_t>(r - 1)] = TitleFromRow(m_pTitleTable, r);
    return records;
}

std::vector<ActiveDetailRecord> CRuleStore::LoadActiveDetails(int ruleId, int* count) {
    const ResultTable t = m_pDb->GetActiveLayout(ruleId);
    std::vector<ActiveDetailRecord> records(static_cast<size_t>(t.Rows()));
    for (int r = 1; r <= t.Rows(); ++r) {
        ActiveDetailRecord& rec = records[static_cast<size_t>(r - 1)];
        rec.screen_id = t.Int(r, 0);
        rec.type_id = t.Int(r, 1);
        rec.active = t.Int(r, 2);
        rec.region_id = t.Int(r, 3);
        rec.type = t.Text(r, 4);
        rec.file_path = t.Text(r, 5);
    }
    if (count) *count = t.Rows();
    return records;
}
