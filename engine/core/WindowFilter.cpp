#include "engine/core/WindowFilter.h"

namespace engine {

namespace {

// Kept together: these are the system's own class names and titles, never translated.
const wchar_t* const kExcludedClassParts[] = {
    L"Internet Explorer_Server", L"Windows.UI", L"TaskManagerWindow", L"Progman", L"Phonetic",
    L"#32770", L"ROCKETDOCK", L"ThunderRT6Main", L"ThunderRT6FormDC",
};
const wchar_t kButtonClass[] = L"Button";
const wchar_t kExplorerClass[] = L"CabinetWClass";
const wchar_t kOwnTitleMark[] = L" (Tessora)";
const wchar_t kQuibTitleMark[] = L"Quib";
const wchar_t kAppFrameClass[] = L"ApplicationFrameWindow";
const wchar_t kStoreTitle[] = L"Microsoft Store";
const wchar_t kSettingsAppId[] = L"windows.immersivecontrolpanel";
const wchar_t kEdgeAppId[] = L"MicrosoftEdge";
const wchar_t kSettingsHost[] = L"SystemSettings.exe";
const wchar_t kStoreHost[] = L"WinStore.App.exe";
const wchar_t kEdgeHost[] = L"MicrosoftEdge.exe";

constexpr int kExcludeNameCut = 15;

bool Contains(const CString& text, const wchar_t* part) { return text.Find(part) >= 0; }

}  // namespace

bool IsWindowUsable(const WindowFacts& w) {
    if (w.minimised) return false;
    if (!w.exists) return false;
    if (w.hung) return false;
    return w.enabled;
}

bool IsExcludedWindow(const CString& className, const CString& title) {
    for (const wchar_t* part : kExcludedClassParts) {
        if (Contains(className, part)) return true;
    }
    if (className == kButtonClass) return true;
    const bool explorer = Contains(className, kExplorerClass);
    if (Contains(title, kOwnTitleMark) && !explorer) return true;
    if (Contains(title, kQuibTitleMark) && !explorer) return true;
    return title.IsEmpty();
}

bool ExcludeEntryMatches(const CString& title, const CString& name) {
    if (name.IsEmpty()) return false;
    const CString cut = name.GetLength() > kExcludeNameCut ? name.Left(kExcludeNameCut) : name;
    return title.Find(cut.GetString()) >= 0;
}

bool TitleHitsExcludeList(const CString& title, const std::vector<CString>& names) {
    for (const CString& name : names) {
        if (ExcludeEntryMatches(title, name)) return true;
    }
    return false;
}

bool IsLiveUwpWindow(const CString& title, const CString* appUserModelId, const UwpHostFlags& flags) {
    if (title == kStoreTitle && flags.storeLive == 0) return false;
    if (!appUserModelId) return true;
    if (Contains(*appUserModelId, kSettingsAppId)) return flags.settingsLive == 1;
    if (Contains(*appUserModelId, kEdgeAppId)) return flags.edgeLive == 1;
    return true;
}

void ProbeUwpHosts(const std::vector<ProcessEntry>& snapshot,
                   const std::function<bool(std::uint32_t pid)>& answers, UwpHostFlags& flags) {
    int found = 0;
    for (const ProcessEntry& p : snapshot) {
        if (found >= 2) break;
        int* flag = nullptr;
        if (p.exeName == kSettingsHost) flag = &flags.settingsLive;
        else if (p.exeName == kStoreHost) flag = &flags.storeLive;
        else if (p.exeName == kEdgeHost) flag = &flags.edgeLive;
        if (!flag) continue;
        *flag = (answers && answers(p.pid)) ? 1 : 0;
        ++found;
    }
}

CandidateVerdict CheckLayoutCandidate(const WindowFacts& w, const std::vector<CString>& excludeNames,
                                      const UwpHostFlags& flags) {
    if (!w.visible) return CandidateVerdict::kNotVisible;
    if (!IsWindowUsable(w)) return CandidateVerdict::kNotUsable;
    if (IsExcludedWindow(w.className, w.title)) return CandidateVerdict::kFixedFilter;
    if (w.className == kAppFrameClass &&
        !IsLiveUwpWindow(w.title, w.appIdKnown ? &w.appUserModelId : nullptr, flags)) {
        return CandidateVerdict::kHostNotAnswering;
    }
    if (TitleHitsExcludeList(w.title, excludeNames)) return CandidateVerdict::kExcludeList;
    return CandidateVerdict::kCandidate;
}

}  // namespace engine
