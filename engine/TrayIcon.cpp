#include "engine/TrayIcon.h"

#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "app/StartError.h"
#include "framework/AfxWin.h"

// The size the shell is given in cbSize: the full Vista-and-later layout on 32-bit Windows.
static_assert(sizeof(NOTIFYICONDATAW) == 956, "NOTIFYICONDATAW must be the 956-byte structure");

CTrayIcon::CTrayIcon(UINT id) : m_nid(), m_pLanguage(new CLanguageTable) {
    m_nid.cbSize = sizeof(m_nid);
    m_nid.uID = id;
    LoadTip(id);
    m_notifyHook.m_pTrayIcon = this;
    m_parentHook.m_pTrayIcon = this;
}

CTrayIcon::~CTrayIcon() {
    if (m_nid.hIcon) {
        SetFlags(false);
        Shell_NotifyIconW(NIM_DELETE, &m_nid);
        m_nid.hIcon = nullptr;
    }
    m_notifyHook.HookWindow(nullptr);
    m_parentHook.HookWindow(nullptr);
    delete m_pLanguage;
}

void CTrayIcon::LoadTip(UINT id) {
    // only the tooltip field's 128 characters; a missing string leaves it empty
    if (LoadStringW(AfxGetResourceHandle(), id, m_nid.szTip, ARRAYSIZE(m_nid.szTip)) <= 0) m_nid.szTip[0] = L'\0';
}

void CTrayIcon::SetFlags(bool withIcon) {
    m_nid.uFlags = 0;
    if (m_nid.szTip[0]) m_nid.uFlags |= NIF_TIP;
    if (m_nid.uCallbackMessage && m_nid.hWnd) m_nid.uFlags |= NIF_MESSAGE;
    if (withIcon) m_nid.uFlags |= NIF_ICON;
}

void CTrayIcon::SetNotificationWnd(CWnd* pWnd, UINT msg) { SetNotificationWnd(pWnd ? pWnd->m_hWnd : nullptr, msg); }

void CTrayIcon::SetNotificationWnd(HWND hWnd, UINT msg) {
    m_nid.uCallbackMessage = msg;
    if (!hWnd) {
        m_nid.hWnd = nullptr;
        m_notifyHook.HookWindow(nullptr);
        m_parentHook.HookWindow(nullptr);
        return;
    }
    m_nid.hWnd = hWnd;
    if (m_notifyHook.m_hWnd != hWnd) m_notifyHook.HookWindow(hWnd);
    // "TaskbarCreated" goes to top-level windows only: a child hears of it through its top window
    HWND top = GetAncestor(hWnd, GA_ROOTOWNER);
    if (top && top != hWnd) {
        if (m_parentHook.m_hWnd != top) m_parentHook.HookWindow(top);
    } else {
        m_parentHook.HookWindow(nullptr);
    }
}

BOOL CTrayIcon::SetIcon(UINT id) {
    HICON icon = nullptr;
    if (id != 0) {
        LoadTip(id);
        // the notification area's own size, so that the shell need not scale a large image
        icon = static_cast<HICON>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                             LR_DEFAULTCOLOR | LR_SHARED));
    }
    m_hWantedIcon = icon;
    DWORD op;
    if (icon) {
        op = m_nid.hIcon ? NIM_MODIFY : NIM_ADD;
        m_nid.hIcon = icon;
        SetFlags(true);
    } else {
        if (!m_nid.hIcon) return TRUE;
        op = NIM_DELETE;
        SetFlags(false);
    }
    const BOOL ok = Shell_NotifyIconW(op, &m_nid);
    if (ok && op != NIM_DELETE) return TRUE;
    // removed, or refused: the next SetIcon or "TaskbarCreated" adds it afresh
    m_nid.hIcon = nullptr;
    return ok;
}

void CTrayIcon::AllowTaskbarCreatedMessage() {
    // Vista and later only; looked up so that the program still starts where it is missing
    typedef BOOL(WINAPI * ChangeFilterFn)(UINT, DWORD);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto change = user32 ? reinterpret_cast<ChangeFilterFn>(
                               reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")))
                         : nullptr;
    if (change && g_uTaskbarCreatedMsg) change(g_uTaskbarCreatedMsg, 1 /* MSGFLT_ADD */);
}

LRESULT CTrayIcon::OnTaskBarCreate(WPARAM, LPARAM) {
    // also an icon the old shell refused: the new one may take it
    if (m_hWantedIcon) {
        m_nid.hIcon = m_hWantedIcon;
        SetFlags(true);
        if (!Shell_NotifyIconW(NIM_ADD, &m_nid)) m_nid.hIcon = nullptr;
    }
    return 0;
}

LRESULT CTrayIcon::OnTrayNotification(WPARAM wp, LPARAM lp) {
    if (wp != m_nid.uID || (lp != WM_RBUTTONUP && lp != WM_LBUTTONDBLCLK)) return 0;
    if (!m_nid.hWnd) return 0;
    HMENU menu = LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nid.uID));
    if (!menu) return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (!popup) {
        DestroyMenu(menu);
        return 0;
    }

    if (lp == WM_LBUTTONDBLCLK) {
        SendMessageW(m_nid.hWnd, WM_COMMAND, GetMenuItemID(popup, 0), 0);
    } else {
        SetMenuDefaultItem(popup, 0, TRUE);
        m_pLanguage->m_strLanguageName = m_pSettings ? m_pSettings->m_strLanguage : CString();
        m_pLanguage->TranslateMenu(menu);
        POINT pt = {};
        GetCursorPos(&pt);
        // without the foreground the menu would not close when the user clicks elsewhere
        SetForegroundWindow(m_nid.hWnd);
        TrackPopupMenu(popup, 0, pt.x, pt.y, 0, m_nid.hWnd, nullptr);
        PostMessageW(m_nid.hWnd, WM_NULL, 0, 0);
    }
    DestroyMenu(menu);
    return 1;
}

LRESULT CTrayIcon::CTrayHook::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_pTrayIcon) {
        if (msg == m_pTrayIcon->m_nid.uCallbackMessage && m_hWnd == m_pTrayIcon->m_nid.hWnd && msg != 0)
            m_pTrayIcon->OnTrayNotification(wp, lp);
        else if (g_uTaskbarCreatedMsg != 0 && msg == g_uTaskbarCreatedMsg)
            m_pTrayIcon->OnTaskBarCreate(wp, lp);
    }
    // the window still gets the message
    return CSubclassWnd::WindowProc(msg, wp, lp);
}
