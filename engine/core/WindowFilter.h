// The tests that decide whether a top-level window may be arranged, as functions of facts that
// the Win32 side reads from the window.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/core/EngineTypes.h"
#include "framework/CString.h"

namespace engine {

// Everything the filters and layouts need to know about one top-level window.
struct WindowFacts {
    WindowId id = 0;
    bool visible = false;       // IsWindowVisible
    bool exists = true;         // IsWindow
    bool minimised = false;     // IsIconic
    bool hung = false;          // IsHungAppWindow
    bool enabled = true;        // IsWindowEnabled
    bool topmost = false;       // WS_EX_TOPMOST before the layout
    CString className;          // GetClassNameW, 260 characters
    CString title;              // GetWindowTextW, 260 characters
    CString processName;        // executable name, informational
    // Application user model id from the window's property store; only read for
    // "ApplicationFrameWindow" windows. appIdKnown is false when the store could not be read or
    // the value is not a wide string.
    bool appIdKnown = false;
    CString appUserModelId;
    WinRect rect;               // GetWindowRect
};

// Liveness of the three system hosts whose application-frame windows may stop answering.
// All start live: until a probe has found a host, its windows are given the benefit of the doubt.
struct UwpHostFlags {
    int storeLive = 1;     // "WinStore.App.exe"
    int settingsLive = 1;  // "SystemSettings.exe"
    int edgeLive = 1;      // "MicrosoftEdge.exe"
};

// One entry of a process snapshot.
struct ProcessEntry {
    std::uint32_t pid = 0;
    CString exeName;
};

// Why a window is or is not a candidate; the steps in the order they are tested.
enum class CandidateVerdict {
    kCandidate,
    kNotVisible,
    kNotUsable,        // minimised, gone, hung or disabled
    kFixedFilter,      // IsExcludedWindow
    kHostNotAnswering, // application-frame window of a host that did not answer
    kExcludeList,
};

// Minimised, gone, hung or disabled windows may not be moved.
bool IsWindowUsable(const WindowFacts& w);

// The fixed class and title filters; true = never arrange this window. Case-sensitive.
bool IsExcludedWindow(const CString& className, const CString& title);

// True when the exclude entry `name` (cut to its first 15 characters) occurs in the title.
// An empty name matches nothing: an entry that lost its name must not exclude every window.
bool ExcludeEntryMatches(const CString& title, const CString& name);
bool TitleHitsExcludeList(const CString& title, const std::vector<CString>& names);

// Liveness of an "ApplicationFrameWindow". appUserModelId is null when the property store could
// not be read or held no wide string.
bool IsLiveUwpWindow(const CString& title, const CString* appUserModelId, const UwpHostFlags& flags);

// Walks a process snapshot and sets the flag of each host found from `answers(pid)` (whether the
// host's top window answered WM_NULL within 500 ms). Stops after two hosts. Hosts not met keep
// their flags.
void ProbeUwpHosts(const std::vector<ProcessEntry>& snapshot,
                   const std::function<bool(std::uint32_t pid)>& answers, UwpHostFlags& flags);

// The candidate test of the z-order walk, steps in their fixed order.
CandidateVerdict CheckLayoutCandidate(const WindowFacts& w, const std::vector<CString>& excludeNames,
                                      const UwpHostFlags& flags);
inline bool IsLayoutCandidate(const WindowFacts& w, const std::vector<CString>& excludeNames,
                              const UwpHostFlags& flags) {
    return CheckLayoutCandidate(w, excludeNames, flags) == CandidateVerdict::kCandidate;
}

}  // namespace engine
