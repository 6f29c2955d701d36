// The program's icon in the notification area: shows, changes and removes it, pops up the
// translated tray menu on a right click, turns a double click into the menu's first command and
// puts the icon back when the taskbar is re-created.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "engine/SubclassWnd.h"

class CWnd;
class CSettings;
class CLanguageTable;

class CTrayIcon {
public:
    // `id` is the icon's id in the notification area, the tray menu's resource id and the
    // tooltip's string id.
    explicit CTrayIcon(UINT id);
    virtual ~CTrayIcon();  // removes a shown icon

    // The window that receives the icon's mouse messages as `msg`, and the menu's commands.
    // Null stops the notifications.
    void SetNotificationWnd(CWnd* pWnd, UINT msg);
    void SetNotificationWnd(HWND hWnd, UINT msg);
    // Shows the icon resource `id`, changes it when shown, removes the icon for 0 or a missing
    // resource. False when the shell refused.
    BOOL SetIcon(UINT id);
    // The settings whose language the menu follows; lent, never deleted here.
    void SetSettings(CSettings* pSettings) { m_pSettings = pSettings; }
    BOOL IsIconShown() const { return m_nid.hIcon != nullptr; }

    // An elevated process does not get the shell's "TaskbarCreated" broadcast unless it lets
    // the message in; without it the icon is lost for good when the shell restarts.
    static void AllowTaskbarCreatedMessage();

    virtual LRESULT OnTrayNotification(WPARAM wp, LPARAM lp);
    virtual LRESULT OnTaskBarCreate(WPARAM wp, LPARAM lp);

    class CTrayHook : public CSubclassWnd {
    public:
        CTrayIcon* m_pTrayIcon = nullptr;
        LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    };

    NOTIFYICONDATAW m_nid;  // hIcon is set exactly while the shell shows the icon
    // The icon the program asked for last; a new shell gets it even when an earlier add failed
    // (a program started at logon may come before the taskbar).
    HICON m_hWantedIcon = nullptr;
    CTrayHook m_notifyHook;
    CTrayHook m_parentHook;
    CLanguageTable* m_pLanguage;  // the menu's own table
    CSettings* m_pSettings = nullptr;

private:
    void SetFlags(bool withIcon);
    void LoadTip(UINT id);

    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
};
