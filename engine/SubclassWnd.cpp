#include "engine/SubclassWnd.h"

#include "framework/AfxWin.h"

CSubclassWnd* CSubclassWndMap::Lookup(HWND hWnd) const {
    auto it = m_heads.find(hWnd);
    return it == m_heads.end() ? nullptr : it->second;
}

void CSubclassWndMap::SetAt(HWND hWnd, CSubclassWnd* head) { m_heads[hWnd] = head; }

void CSubclassWndMap::RemoveKey(HWND hWnd) { m_heads.erase(hWnd); }

int CSubclassWndMap::GetCount() const { return static_cast<int>(m_heads.size()); }

CSubclassWndMap& GetSubclassWndMap() {
    // Never freed: a hook destroyed late in process exit must still find it.
    static CSubclassWndMap* map = new CSubclassWndMap;
    return *map;
}

CSubclassWnd::CSubclassWnd() : m_hWnd(nullptr), m_pOldWndProc(nullptr), m_pNext(nullptr) {}

CSubclassWnd::~CSubclassWnd() {
    if (m_hWnd) HookWindow(nullptr);
}

BOOL CSubclassWnd::HookWindow(HWND hWnd) {
    CSubclassWndMap& map = GetSubclassWndMap();
    if (hWnd) {
        if (m_hWnd) HookWindow(nullptr);  // one window at a time, or the chains would cross
        CSubclassWnd* head = map.Lookup(hWnd);
        m_pNext = head;
        map.SetAt(hWnd, this);
        if (!head) {
            m_pOldWndProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSubclassWnd::HookWndProc)));
        } else {
            m_pOldWndProc = head->m_pOldWndProc;
        }
        m_hWnd = hWnd;
        return TRUE;
    }

    if (m_hWnd) {
        CSubclassWnd* head = map.Lookup(m_hWnd);
        if (head == this) {
            if (!m_pNext) {
                map.RemoveKey(m_hWnd);
                if (IsWindow(m_hWnd))
                    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pOldWndProc));
            } else {
                map.SetAt(m_hWnd, m_pNext);
            }
        } else {
            for (CSubclassWnd* p = head; p; p = p->m_pNext) {
                if (p->m_pNext == this) {
                    p->m_pNext = m_pNext;
                    break;
                }
            }
        }
        m_pNext = nullptr;
        m_pOldWndProc = nullptr;
    }
    m_hWnd = nullptr;
    return TRUE;
}

LRESULT CSubclassWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_pNext) return m_pNext->WindowProc(msg, wp, lp);
    // a hook that unhooked itself while handling this message has nowhere to pass it
    if (!m_pOldWndProc) return 0;
    return CallWindowProcW(m_pOldWndProc, m_hWnd, msg, wp, lp);
}

LRESULT CALLBACK CSubclassWnd::HookWndProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
    CSubclassWnd* head = GetSubclassWndMap().Lookup(hWnd);
    if (!head) return DefWindowProcW(hWnd, msg, wp, lp);
    if (msg != WM_NCDESTROY)
        return AfxCallGuarded([&] { return head->WindowProc(msg, wp, lp); }, LRESULT(0));

    // The window goes: every hook lets go of it before its own procedure sees the last message.
    WNDPROC own = head->m_pOldWndProc;
    for (CSubclassWnd* h = head; h; h = GetSubclassWndMap().Lookup(hWnd)) h->HookWindow(nullptr);
    return CallWindowProcW(own, hWnd, msg, wp, lp);
}
