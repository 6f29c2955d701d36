#include "framework/AfxWin.h"

#include <unordered_map>

namespace {

CWinApp* g_pApp = nullptr;
AfxMessageBoxHook g_messageBoxHook = nullptr;

// Window objects by handle. Only the user-interface thread creates and routes windows.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

thread_local CWnd* t_pWndInit = nullptr;
thread_local HHOOK t_hHookCbt = nullptr;
// The window whose handler runs now (the innermost one); a box or file dialog that the handler
// opens belongs to that window's top-level window.
thread_local HWND t_hWndHandling = nullptr;

}  // namespace

void AfxAttach(CWnd* wnd, HWND hWnd) {
    wnd->m_hWnd = hWnd;
    HandleMap()[hWnd] = wnd;
    WNDPROC old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (old != &CWnd::StdWndProc) {
        wnd->m_pfnSuper = old;
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc));
    }
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && t_pWndInit) {
        CWnd* wnd = t_pWndInit;
        t_pWndInit = nullptr;
        AfxAttach(wnd, reinterpret_cast<HWND>(wp));
    }
    return CallNextHookEx(t_hHookCbt, code, wp, lp);
}

// ---- CWnd ---------------------------------------------------------------------------------

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd) {
        HandleMap().erase(m_hWnd);
        if (m_pfnSuper && IsWindow(m_hWnd))
            SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto& map = HandleMap();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    AfxAttach(this, hWnd);
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h) {
        HandleMap().erase(h);
        if (m_pfnSuper && IsWindow(h)) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    return h;
}

CString CWnd::GetWindowText() const {
    int n = GetWindowTextLengthW(m_hWnd);
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(m_hWnd, &buf[0], n + 1);
    buf.resize(n > 0 ? n : 0);
    return CString(std::move(buf));
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add) {
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    LONG_PTR changed = (style & ~static_cast<LONG_PTR>(remove)) | add;
    if (changed == style) return FALSE;
    SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, changed);
    return TRUE;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

void CWnd::HookWindowCreate() {
    t_pWndInit = this;
    if (!t_hHookCbt) t_hHookCbt = SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, GetCurrentThreadId());
}

void CWnd::UnhookWindowCreate() {
    t_pWndInit = nullptr;
    if (t_hHookCbt) {
        UnhookWindowsHookEx(t_hHookCbt);
        t_hHookCbt = nullptr;
    }
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSigMessage, nullptr, nullptr, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

static bool EntryMatches(const AFX_MSGMAP_ENTRY& e, UINT msg, WPARAM wp, LPARAM lp) {
    switch (e.sig) {
    case AfxSigRegistered:
        return e.pRegistered && *e.pRegistered != 0 && *e.pRegistered == msg;
    case AfxSigCommand:
        // menus and buttons (code 0) and accelerators (code 1)
        return msg == WM_COMMAND && HIWORD(wp) <= 1 && LOWORD(wp) >= e.nIdFirst && LOWORD(wp) <= e.nIdLast;
    case AfxSigControl:
        return msg == WM_COMMAND && lp != 0 && HIWORD(wp) == e.nMessage && LOWORD(wp) >= e.nIdFirst &&
               LOWORD(wp) <= e.nIdLast;
    case AfxSigNotify: {
        if (msg != WM_NOTIFY || !lp) return false;
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
        return hdr->code == e.nMessage && hdr->idFrom >= e.nIdFirst && hdr->idFrom <= e.nIdLast;
    }
    case AfxSigMessage:
        if (e.nMessage != msg) return false;
        return msg != WM_COMMAND || (LOWORD(wp) >= e.nIdFirst && LOWORD(wp) <= e.nIdLast);
    }
    return false;
}

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; !e->IsEnd(); ++e) {
            if (!EntryMatches(*e, msg, wp, lp)) continue;
            switch (e->sig) {
            case AfxSigCommand:
            case AfxSigControl:
                (this->*e->pfnCmd)();
                *result = 0;
                break;
            case AfxSigNotify:
                *result = 0;
                (this->*e->pfnNotify)(reinterpret_cast<NMHDR*>(lp), result);
                break;
            default:
                *result = (this->*e->pfn)(wp, lp);
                break;
            }
            return TRUE;
        }
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (!OnWndMsg(msg, wp, lp, &result)) result = DefWindowProc(msg, wp, lp);
    return result;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, msg, wp, lp);
    return ::DefWindowProcW(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (!wnd) return ::DefWindowProcW(hWnd, msg, wp, lp);
    const MSG saved = wnd->m_currentMsg;
    wnd->m_currentMsg = MSG{hWnd, msg, wp, lp, 0, {0, 0}};
    const HWND outerHandling = t_hWndHandling;
    t_hWndHandling = hWnd;
    LRESULT result = AfxCallGuarded([&] { return wnd->WindowProc(msg, wp, lp); }, LRESULT(0));
    t_hWndHandling = outerHandling;
    if (msg == WM_NCDESTROY) {
        // the object may outlive its window; forget the handle so that nothing routes to it
        HandleMap().erase(hWnd);
        if (wnd->m_pfnSuper) SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->m_pfnSuper));
        wnd->m_hWnd = nullptr;
        wnd->m_pfnSuper = nullptr;
        AfxCallGuarded([&] { wnd->PostNcDestroy(); return 0; }, 0);
        return result;
    }
    // a handler may have destroyed the window, and with it freed the object
    if (FromHandlePermanent(hWnd) == wnd) wnd->m_currentMsg = saved;
    return result;
}

// ---- CDialog ------------------------------------------------------------------------------

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd && IsWindow(m_hWnd)) {
        HWND h = Detach();
        ::DestroyWindow(h);
    }
}

const AFX_MSGMAP* CDialog::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSigMessage, nullptr, nullptr, nullptr, nullptr}};
    static const AFX_MSGMAP map = {&CWnd::GetThisMessageMap, entries};
    return &map;
}

const AFX_MSGMAP* CDialog::GetMessageMap() const { return GetThisMessageMap(); }

INT_PTR CALLBACK CDialog::StubDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    if (parent) m_pParentWnd = parent;
    HookWindowCreate();
    HWND h = CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(templateId),
                                m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, StubDlgProc,
                                reinterpret_cast<LPARAM>(this));
    UnhookWindowCreate();
    return h != nullptr && m_hWnd == h;
}

INT_PTR CDialog::DoModal() {
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    bool parentWasEnabled = parent && IsWindowEnabled(parent);
    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    if (!Create(m_nIDTemplate, m_pParentWnd)) {
        m_bModal = false;
        return -1;
    }
    if (parentWasEnabled) EnableWindow(parent, FALSE);
    if (m_hWnd && !::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    while (!m_bEndModal && m_hWnd) {
        if (!AfxPumpMessage()) {
            PostQuitMessage(0);
            break;
        }
    }
    if (parentWasEnabled) EnableWindow(parent, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (m_bModal) {
        m_bEndModal = true;
        if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wake the loop
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_INITDIALOG) {
        *result = OnInitDialog();
        return TRUE;
    }
    if (CWnd::OnWndMsg(msg, wp, lp, result)) return TRUE;
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        if (LOWORD(wp) == IDOK) { OnOK(); *result = 0; return TRUE; }
        if (LOWORD(wp) == IDCANCEL) { OnCancel(); *result = 0; return TRUE; }
    }
    return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return IsDialogMessageW(m_hWnd, msg);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    control.SubclassWindow(::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id));
}

// ---- application --------------------------------------------------------------------------

CWinApp::CWinApp(const wchar_t* appName) {
    g_pApp = this;
    if (appName) {
        m_pszAppName = appName;
    } else {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        CString name(path);
        name = name.Mid(name.ReverseFind(L'\\') + 1);
        int dot = name.ReverseFind(L'.');
        m_pszAppName = dot >= 0 ? name.Left(dot) : name;
    }
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
}

CWinApp* AfxGetApp() { return g_pApp; }

HINSTANCE AfxGetResourceHandle() {
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : GetModuleHandleW(nullptr);
}

int AfxWinMain(HINSTANCE hInstance) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = hInstance;
    return AfxCallGuarded([&] {
        app->InitInstance();
        return app->ExitInstance();
    }, -1);
}

void AfxSetMessageBoxHook(AfxMessageBoxHook hook) { g_messageBoxHook = hook; }

HWND AfxGetModalOwner(HWND hWnd) {
    if (!hWnd) hWnd = t_hWndHandling;
    // a pop-up cannot be owned by a child window; its top-level window is disabled instead
    HWND top = hWnd && IsWindow(hWnd) ? GetAncestor(hWnd, GA_ROOT) : nullptr;
    return top ? top : GetActiveWindow();
}

int AfxShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    if (g_messageBoxHook) return g_messageBoxHook(text, caption, type);
    // a child window given as owner stands for its top-level window, which the box disables
    return MessageBoxW(owner ? owner : AfxGetModalOwner(), text, caption, type);
}

int AfxMessageBox(const wchar_t* text, UINT type) {
    CString caption = g_pApp ? g_pApp->m_pszAppName : CString(L"");
    return AfxShowMessageBox(nullptr, text, caption, type);
}

BOOL AfxPumpMessage() {
    MSG msg;
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return FALSE;
    for (HWND h = msg.hwnd; h; h = GetParent(h)) {
        CWnd* wnd = CWnd::FromHandlePermanent(h);
        if (wnd && AfxCallGuarded([&] { return wnd->PreTranslateMessage(&msg); }, FALSE)) return TRUE;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return TRUE;
}

int CException::ReportError(UINT type) const { return AfxMessageBox(GetErrorMessage(), type); }

void AfxThrowInvalidArgException() { throw new CInvalidArgException(); }
