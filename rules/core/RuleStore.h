// The model of user-defined rules over the rule database: rules with a layout type and an
// active flag per screen, the zones of the layout types, the title bindings of zones and the
// exclude list. One instance lives in the main window; the engine and the options pages borrow it.
#pragma once

#include <functional>
#include <list>
#include <memory>
#include <vector>

#include "framework/CString.h"
#include "rules/core/SqliteDb.h"

constexpr int PRESET_TYPE_COUNT = 10;     // layout types 1..10 ship with the database
constexpr int TYPE_FLG_USER = 99;         // type_flg of a layout captured from the desktop
constexpr int FIRST_USER_TYPE_ID = 100;   // captured layout types are numbered from here
constexpr int MAX_SCREEN_COUNT = 100;     // the monitor table's capacity

// Values of CRuleStore::m_nEditMode, shared by the rules page and the rule editor.
constexpr int RULE_EDIT_ADD = 0;
constexpr int RULE_EDIT_EDIT = 1;
constexpr int RULE_EDIT_DELETED = 3;

// One zone of a layout type, as fractions of the monitor.
struct RegionNode {
    int number = 0;     // 1-based position in the query that produced it (the zone number)
    int flag = 1;
    int type_flg = 0;   // TYPE_FLG_USER for a captured type
    int type_id = 0;    // -1 for zones captured in the editor and not yet stored
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    int deleted = 0;    // set in memory by the editor to drop a zone; never stored
};
using RegionList = std::list<RegionNode>;

// A rule's choice for one screen; arrays run in screen order (entry i = screen i + 1).
struct ScreenTypeEntry {
    int prev_type_id = 0;  // the stored type id when editing began (0 when adding)
    int type_id = 0;       // -1 = the rule's new captured type
    int active = 0;
    int reserved = 0;
};

struct DetailRecord {
    int define_id = 0;
    int screen_id = 0;
    int type_id = 0;
    int active = 0;
};

struct ExcludeRecord {
    int id = 0;
    CString name;       // searched for in window titles
    CString file_path;  // empty for a typed title
    CString type;       // "0" for a typed title, else the dropped file's extension part
    int del_flg = 0;
};

struct TitleRecord {
    int id = 0;
    int define_id = 0;
    int screen_id = 0;
    int region_id = 0;
    CString file_path;
    CString type;
};

struct ActiveDetailRecord {
    int screen_id = 0;
    int type_id = 0;
    int active = 0;
    int region_id = 0;  // 0 when the screen has no binding
    CString type;
    CString file_path;
};

// What the store needs from the platform. The program fills it in rules/SqliteLibrary.
struct RuleStoreHost {
    const SqliteApi* sqlite = nullptr;     // null when the engine library could not be loaded
    CString programDir;                    // ends in a path separator
    FileCheck isFile;                      // existing regular file?
    std::function<int()> monitorCount;     // number of monitors now
    // Called when the rule database cannot be opened. In the program it shows the fatal start-up
    // message and ends the process; if it returns, the store stays usable and every read is empty.
    std::function<void()> fatalStartError;
};

class CRuleStore {
public:
    explicit CRuleStore(const RuleStoreHost& host);
    ~CRuleStore();
    CRuleStore(const CRuleStore&) = delete;
    CRuleStore& operator=(const CRuleStore&) = delete;

    bool IsOpen() const { return m_pDb && m_pDb->IsOpen(); }
    CSqliteDb* GetDb() const { return m_pDb.get(); }
    // For replacing the database file (restore): close, replace, reopen. While closed every read
    // is empty and every write fails. Reopen returns 0 when open; callers then Reload and
    // LoadExcludes, since the cached tables still show the old file.
    int CloseDatabase() { return m_pDb->Close(); }
    int ReopenDatabase() { return m_pDb->OpenRuleDb(m_host.programDir); }
    CString DatabasePath() const { return m_host.programDir + RULE_DB_FILE_NAME; }
    // A candidate restore file checked on a connection of its own: 0 usable, -1 not.
    int CheckRuleFile(const CString& path) const;

    // Rules, layout types and zones.

    // Makes rule `index` (0-based, newest first) current and caches its details and bindings.
    // With no rules the current rule and its tables keep their values. An index outside the
    // list returns false and changes nothing current; so does a list that cannot be read (the
    // file locked by another program), which keeps the cached list as well.
    bool Reload(int index);
    std::unique_ptr<CStringArray> GetRuleNames() const;
    CString GetRuleHotkey(int index) const;  // empty outside the list
    static CString FormatHotkeyText(const CString& hotkey);
    // The current rule's detail on a screen; a missing row is created as (type 1, inactive).
    DetailRecord* ReadDetail(DetailRecord* out, int screen);
    DetailRecord ReadDetail(int screen);
    // 0 when stored; refused when the current rule no longer exists.
    int SetDetailActive(int screen, int active);
    // The current rule's name, hotkey digit and per-screen choices; empty when it has no row.
    std::vector<ScreenTypeEntry> LoadRule(CString& name, CString& key);
    std::unique_ptr<CStringArray> GetFreeHotkeys() const;
    // Each returns 0 on success; on failure nothing is stored. UpdateRule may set entries[0]'s
    // type id to the new captured type, as the editor expects.
    int AddRule(const CString& name, const CString& hotkey, const std::vector<ScreenTypeEntry>& entries,
                RegionList regions, int* newRuleId = nullptr);
    int UpdateRule(const CString& name, const CString& hotkey, std::vector<ScreenTypeEntry>& entries,
                   RegionList regions);
    int DeleteRule();
    // Zones of one type (-1 = all types, presets first), in zone order.
    RegionList LoadTypes(int typeId, int* count = nullptr);
    int FindRuleByHotkey(const CString& hotkey);

    // Exclude list and zone titles.

    // Re-reads the exclude list into m_pExcludes / m_nExcludeCount, which stay valid until the
    // next call.
    const std::vector<ExcludeRecord>& LoadExcludes();
    // kind 0: a typed title; kind 1: the full path of a dropped file. 0 = stored, id written.
    int AddExclude(const CString& text, int* newId, int kind);
    int DeleteExclude(int id);
    std::vector<TitleRecord> ReadTitles(int screen, int region, int* count = nullptr);
    // 0 = stored, id written; refused for an empty text and when the current rule no longer exists.
    int AddTitle(int screen, int region, const CString& text, int* newId);
    int DeleteTitle(int id);
    // m_nTitleRows records; those of other screens are left zero (id 0).
    std::vector<TitleRecord> GetScreenTitles(int screen) const;
    // One record per active screen and binding, by screen, type and region; empty when none.
    std::vector<ActiveDetailRecord> LoadActiveDetails(int ruleId, int* count = nullptr);

    int m_nCurRuleId = 0;
    int m_nScreenCount = 0;
    int m_nPresetTypeCount = PRESET_TYPE_COUNT;
    int m_nRuleRows = 0, m_nRuleCols = 0;
    int m_nDetailRows = 0, m_nDetailCols = 0;
    int m_nTitleRows = 0, m_nTitleCols = 0;
    int m_nExcludeCount = 0;
    const ExcludeRecord* m_pExcludes = nullptr;  // into m_excludes; null when empty
    int m_nEditMode = RULE_EDIT_ADD;             // kept for the rules page and the editor

private:
    int ReadMonitorCount() const;
    bool RuleExists(int ruleId);
    int NewCapturedTypeId();
    int InsertCapturedZones(const RegionList& regions, int matchTypeId, int newTypeId);

    RuleStoreHost m_host;
    std::unique_ptr<CSqliteDb> m_pDb;
    ResultTable m_pRuleTable;    // all rules, newest first
    ResultTable m_pDetailTable;  // the current rule's details; null when it has none
    ResultTable m_pTitleTable;   // the current rule's title bindings
    std::unique_ptr<CStringArray> m_pRuleIds;
    std::vector<ExcludeRecord> m_excludes;
};
