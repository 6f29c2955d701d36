// The window filters and the monitor table on the real desktop: gathers the facts that the
// engine's logic decides on, and carries out the moves it plans.
#pragma once

#include <windows.h>

#include <vector>

#include "engine/core/EngineTypes.h"
#include "engine/core/Placement.h"
#include "engine/core/WindowFilter.h"
#include "framework/CString.h"

using engine::ScreenRect;

class CWindowUtil {
public:
    CWindowUtil() = default;
    ~CWindowUtil() = default;

    // The monitor table: `count` gets the system's monitor count (which may exceed the table),
    // `table` (engine::kMaxScreens entries) one entry per desktop monitor. Entries without a
    // device keep their contents.
    void GetMonitorRects(int* count, ScreenRect* table);
    static int MonitorIndexFromPoint(const ScreenRect* table, int count, int x, int y);

    // Minimised, gone, hung or disabled windows may not be moved.
    static bool IsWindowUsable(HWND hWnd);
    static bool IsExcludedWindow(const CString& className, const CString& title);
    // Asks the three system hosts whether they answer; their application-frame windows are
    // dropped while they do not.
    void ProbeUwpHosts();
    BOOL IsLiveUwpWindow(HWND hWnd, const CString& title);
    static HWND GetTopWindowOfProcess(DWORD processId);
    static CString GetModifierName(const CString& code);

    // Everything the candidate test and the layouts read from one top-level window. Hidden
    // windows are only marked as such: nothing more is read from them.
    engine::WindowFacts ReadWindowFacts(HWND hWnd);
    // The top-level windows from the top of the z-order down.
    std::vector<engine::WindowFacts> ReadTopLevelWindows();
    // Whether any of them is an application-frame window (only those need the hosts probed).
    static bool HasAppFrameWindow(const std::vector<engine::WindowFacts>& windows);
    bool IsLayoutCandidate(HWND hWnd, const std::vector<CString>& excludeNames);

    // Carries out planned SetWindowPos calls in order. Windows of other threads are moved
    // without waiting on them (SWP_ASYNCWINDOWPOS); before the first move of another thread's
    // window the previous thread is given up to kSettleMs to catch up, so that windows stack as
    // planned, and a thread that lets that time pass is not waited for again. A window that
    // closed, was minimised, disabled or found hung since the walk is left alone.
    // Returns the number of moves not made.
    int ApplyMoves(const std::vector<engine::WindowMove>& moves);
    static constexpr DWORD kSettleMs = 250;
    static constexpr DWORD kSettlePerMoveMs = 20;

    engine::UwpHostFlags HostFlags() const { return {m_bStoreLive, m_bSettingsLive, m_bEdgeLive}; }

    // The three host flags, 1 = live.
    int m_bStoreLive = 1;
    int m_bSettingsLive = 1;
    int m_bEdgeLive = 1;

private:
    // The application user model id from the window's property store; false when it cannot
    // be read (then the window counts as live).
    static bool ReadAppUserModelId(HWND hWnd, CString& id);
};
