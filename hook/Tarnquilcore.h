// Tarnquilcore.dll: system-wide capture of action-key sequences for Tessora.
//
// A sequence is the action key held down (Alt, Ctrl, or either, see setExecuteType) followed by
// a first key ('0'-'9' or 'A'-'Z') and a second key ('0'-'9'). Both keys are taken away from the
// foreground program, and the window given to StartHook is told with a sent WM_COPYDATA:
//   dwData 1 after the first key, dwData 2 after the second; cbData 3;
//   lpData -> { first key, second key (0 with dwData 1), action key '1' Alt or '2' Ctrl }.
// Letters are reported upper-case. A first key not followed by a second within about two
// seconds is forgotten; a letter that does not become a sequence is handed back to the program
// (so Ctrl+C or Alt+F still work), and Esc after a first key cancels it silently.
//
// Every member may be called from any one thread at a time; the usual caller is the receiving
// window's own thread, including from inside its WM_COPYDATA handler.
#pragma once

#include <windows.h>

#ifdef TARNQUILCORE_BUILD
#define TARNQUILCORE_API __declspec(dllexport)
#else
#define TARNQUILCORE_API __declspec(dllimport)
#endif

namespace tarnquil {
class HookEngine;
}

class TARNQUILCORE_API CTarnquilcore {
public:
    CTarnquilcore();
    virtual ~CTarnquilcore();  // stops the hook

    // Installs the hook on a thread of the library's own and starts reporting to hWnd.
    // 1 when the hook runs, 0 when hWnd is no window or the hook could not be installed.
    // Called again while running, it only changes the receiving window.
    int StartHook(HWND hWnd);
    // Removes the hook and ends the library's thread; 1 when it was running, else 0.
    int StopHook();
    // Re-reads the modifier keys and re-installs the hook, in case the system dropped it
    // (it does so silently after a slow hook call). Returns at once; 0 when not running.
    int RestoreHook();
    // 0 Alt, 1 Ctrl, 2 either of them; any other value means Alt.
    void setExecuteType(int nType);

    CTarnquilcore(const CTarnquilcore&) = delete;
    CTarnquilcore& operator=(const CTarnquilcore&) = delete;

private:
    friend class CTarnquilcoreDiag;
    tarnquil::HookEngine* m_pEngine;
};

// Counters since StartHook; diagnostics only.
struct TarnquilcoreStats {
    LONG nKeysConsumed;     // key events kept from the foreground program
    LONG nNoticesQueued;    // WM_COPYDATA notices queued for the library's loop
    LONG nNoticesSent;      // ... and delivered (or left with a busy receiver, which takes them later)
    LONG nSendFailures;     // target gone or hung
    LONG nQueueOverflows;   // notices the full queue refused; the newest complete one is kept
    LONG nInjected;         // key events of our own (mask key, handed-back letters, held-back keys)
    LONG nInjectFailures;
    LONG nReinstalls;       // RestoreHook and health checks
    LONG nDropsDetected;    // re-installs that found the previous hook already gone
    LONG nTimedOut;         // half sequences forgotten after the time-out
    LONG nHandedBack;       // first-key letters given back to the program
};

// One call of the hook procedure, in QueryPerformanceFrequency ticks.
struct TarnquilcoreTiming {
    DWORD dwTicks;       // inside our own code
    DWORD dwTotalTicks;  // the whole callback, CallNextHookEx included (which an eaten key skips)
    DWORD bEaten;        // the key was kept from the foreground program
};

// Diagnostics for the tests and the benchmark; the program itself never calls these.
class TARNQUILCORE_API CTarnquilcoreDiag {
public:
    static BOOL GetStats(const CTarnquilcore& hook, TarnquilcoreStats* pStats);
    // Starts (and clears) or stops recording the hook procedure's own time per key event.
    static BOOL EnableTiming(CTarnquilcore& hook, BOOL bEnable);
    // Copies the most recent records, oldest first; returns how many.
    static int ReadTiming(const CTarnquilcore& hook, TarnquilcoreTiming* pOut, int nMax);
    // Removes the hook behind the library's back, as the system does with a slow hook.
    static BOOL SimulateDrop(CTarnquilcore& hook);
    // Period of the check that re-installs a hook which stopped seeing input (default 5000 ms).
    static void SetHealthInterval(CTarnquilcore& hook, DWORD dwMilliseconds);
};
