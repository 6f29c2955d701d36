// The small application framework the program is written against: an application object,
// windows and dialogs with a message map per class, the modal loop, message boxes.
// It holds only what the program uses.
#pragma once

#include <windows.h>

#include "framework/CString.h"

class CWnd;

// ---- message maps -------------------------------------------------------------------------

typedef LRESULT (CWnd::*AFX_PMSG)(WPARAM, LPARAM);
typedef void (CWnd::*AFX_PCMD)();
typedef void (CWnd::*AFX_PNOTIFY)(NMHDR*, LRESULT*);

enum AfxSig { AfxSigMessage, AfxSigCommand, AfxSigNotify, AfxSigRegistered, AfxSigControl };

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // message, or the notification code for AfxSigNotify and AfxSigControl
    UINT nIdFirst;  // command / control id range for commands and notifications
    UINT nIdLast;
    AfxSig sig;
    AFX_PMSG pfn;             // messages
    AFX_PCMD pfnCmd;          // commands
    AFX_PNOTIFY pfnNotify;    // notifications
    const UINT* pRegistered;  // registered message id, read at dispatch time
    bool IsEnd() const { return !pfn && !pfnCmd && !pfnNotify; }
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                    \
protected:                                       \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                 \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                          \
        typedef theClass ThisClass [[maybe_unused]];                           \
        typedef baseClass TheBaseClass;                                        \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                  \
        {0, 0, 0, AfxSigMessage, nullptr, nullptr, nullptr, nullptr}};     \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                       \
    }

// Handlers: LRESULT OnX(WPARAM, LPARAM) for messages, void OnX() for commands,
// void OnX(NMHDR*, LRESULT*) for notifications.
#define ON_MESSAGE(msg, fn) \
    {msg, 0, 0, AfxSigMessage, static_cast<AFX_PMSG>(fn), nullptr, nullptr, nullptr},
#define ON_REGISTERED_MESSAGE(pMsgId, fn) \
    {0, 0, 0, AfxSigRegistered, static_cast<AFX_PMSG>(fn), nullptr, nullptr, &(pMsgId)},
#define ON_COMMAND(id, fn) \
    {WM_COMMAND, id, id, AfxSigCommand, nullptr, static_cast<AFX_PCMD>(static_cast<void (ThisClass::*)()>(fn)), nullptr, nullptr},
// The handler gets the WM_COMMAND's wParam and lParam.
#define ON_COMMAND_RANGE(idFirst, idLast, fn) \
    {WM_COMMAND, idFirst, idLast, AfxSigMessage, static_cast<AFX_PMSG>(fn), nullptr, nullptr, nullptr},
// A control's WM_COMMAND notification with the given code (e.g. CBN_SELCHANGE, EN_CHANGE).
#define ON_CONTROL(code, id, fn) \
    {static_cast<UINT>(code), id, id, AfxSigControl, nullptr, \
     static_cast<AFX_PCMD>(static_cast<void (ThisClass::*)()>(fn)), nullptr, nullptr},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_NOTIFY(code, id, fn) \
    {static_cast<UINT>(code), id, id, AfxSigNotify, nullptr, nullptr, \
     static_cast<AFX_PNOTIFY>(static_cast<void (ThisClass::*)(NMHDR*, LRESULT*)>(fn)), nullptr},

// ---- windows ------------------------------------------------------------------------------

class CWnd {
public:
    CWnd();
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    static CWnd* FromHandlePermanent(HWND hWnd);
    // Attaches to an existing window (a dialog control) and routes its messages through us.
    BOOL SubclassWindow(HWND hWnd);
    // Called once the window is attached, before any of its messages reach us.
    virtual void PreSubclassWindow() {}
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND Detach();

    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    void GetWindowRect(RECT* rc) const { ::GetWindowRect(m_hWnd, rc); }
    void GetClientRect(RECT* rc) const { ::GetClientRect(m_hWnd, rc); }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    CString GetWindowText() const;
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::PostMessageW(m_hWnd, msg, wp, lp); }
    BOOL ModifyStyleEx(DWORD remove, DWORD add);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const wchar_t* text) { ::SetDlgItemTextW(m_hWnd, id, text); }
    virtual BOOL DestroyWindow();

    // Routes a message through the message maps; false when no entry took it.
    virtual BOOL OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Default processing of the message being handled.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual void PostNcDestroy() {}

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    static LRESULT CALLBACK StdWndProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp);
    // Hooks the next window created on this thread, so that WM_NCCREATE and WM_CREATE reach us.
    void HookWindowCreate();
    static void UnhookWindowCreate();

    WNDPROC m_pfnSuper = nullptr;
    MSG m_currentMsg = {};

    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    friend void AfxAttach(CWnd*, HWND);
};

// Taken by a handler before a modal call (a box, a file dialog): whether the window still exists
// with the same object afterwards. When it was destroyed meanwhile its object may be freed, so
// the handler must touch nothing of it.
class CWndAlive {
public:
    explicit CWndAlive(const CWnd* wnd) : m_pWnd(wnd), m_hWnd(wnd->m_hWnd) {}
    explicit operator bool() const { return m_hWnd && CWnd::FromHandlePermanent(m_hWnd) == m_pWnd; }

private:
    const CWnd* m_pWnd;  // compared, never read
    HWND m_hWnd;
};

// ---- dialogs ------------------------------------------------------------------------------

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);
    ~CDialog() override;

    BOOL Create(UINT templateId, CWnd* parent = nullptr);  // modeless
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bModal = false;
    bool m_bEndModal = false;
    int m_nModalResult = -1;

private:
    static INT_PTR CALLBACK StubDlgProc(HWND, UINT, WPARAM, LPARAM);
};

class CDialogEx : public CDialog {
public:
    using CDialog::CDialog;
};

class CDataExchange {
public:
    CDataExchange(CDialog* dlg, BOOL save) : m_pDlgWnd(dlg), m_bSaveAndValidate(save) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds a control of the dialog to a window object (first exchange only).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CStatic : public CWnd {};
class CEdit : public CWnd {};
// CButton, CComboBox and the colour button: framework/AfxCtrl.h; CListCtrl: framework/AfxList.h

// ---- application --------------------------------------------------------------------------

class CWinApp {
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    void SetRegistryKey(const wchar_t* key) { m_strRegistryKey = key; }

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    CString m_pszAppName;  // the executable's name without extension unless given
    CString m_strRegistryKey;
    DWORD m_dwRestartManagerSupportFlags = 0;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();
// The framework's entry point: runs InitInstance, then ExitInstance when it returns.
int AfxWinMain(HINSTANCE hInstance);

// The owner of a modal box or dialog opened for `hWnd` (null: for the window whose handler runs
// now): its top-level window, which stays disabled, and so cannot be closed, while the box is
// open. The active window when there is none.
HWND AfxGetModalOwner(HWND hWnd = nullptr);
// Message box owned by the window whose handler opens it, captioned with the application's name.
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK);
// Tests replace the box with a function of their own (text, caption, type) -> result.
typedef int (*AfxMessageBoxHook)(const wchar_t* text, const wchar_t* caption, UINT type);
void AfxSetMessageBoxHook(AfxMessageBoxHook hook);
// Every box of the program goes through here, so that tests can answer them in-process. Without
// an owner the box is owned as AfxGetModalOwner says.
int AfxShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Runs one message through PreTranslateMessage of its window chain, then dispatches it.
// Returns false on WM_QUIT.
BOOL AfxPumpMessage();

// ---- exceptions ---------------------------------------------------------------------------

class CException {
public:
    virtual ~CException() = default;
    virtual CString GetErrorMessage() const { return L"An unsupported operation was attempted."; }
    virtual int ReportError(UINT type = MB_OK) const;
    void Delete() { delete this; }
};

class CInvalidArgException : public CException {
public:
    CString GetErrorMessage() const override { return L"Encountered an improper argument."; }
};

void AfxThrowInvalidArgException();

// Guards a callback that must not let any exception out (window procedures, thread entries):
// reports framework exceptions as the framework would, swallows the rest.
template <typename F, typename R>
R AfxCallGuarded(F&& f, R failResult) {
    try {
        return f();
    } catch (CException* e) {
        e->ReportError();
        e->Delete();
    } catch (...) {
    }
    return failResult;
}
