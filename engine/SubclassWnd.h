// Lets several independent hooks share the window procedure of one window. Each hook sees a
// message before the window does and passes it on with CSubclassWnd::WindowProc; the window's
// own procedure is replaced while at least one hook is installed and put back when the last one
// goes, also automatically when the window is destroyed.
#pragma once

#include <windows.h>

#include <unordered_map>

class CSubclassWnd {
public:
    CSubclassWnd();
    virtual ~CSubclassWnd();  // unhooks when hooked

    // A window hooks it (this hook becomes the first to see its messages); null unhooks this
    // hook. Always TRUE.
    BOOL HookWindow(HWND hWnd);
    BOOL IsHooked() const { return m_hWnd != nullptr; }

    // Passes the message to the next hook, or to the window's own procedure after the last.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);

    // The procedure installed on hooked windows.
    static LRESULT CALLBACK HookWndProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND m_hWnd;
    WNDPROC m_pOldWndProc;  // the window's own procedure from before its first hook
    CSubclassWnd* m_pNext;  // the next hook of the same window; null for the last

private:
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;
};

// The head of each hooked window's chain. One per process, user-interface thread only.
class CSubclassWndMap {
public:
    CSubclassWnd* Lookup(HWND hWnd) const;
    void SetAt(HWND hWnd, CSubclassWnd* head);
    void RemoveKey(HWND hWnd);
    int GetCount() const;

private:
    std::unordered_map<HWND, CSubclassWnd*> m_heads;
};

CSubclassWndMap& GetSubclassWndMap();
