// What the six pages of the options window share: each is a child dialog of the window, and
// Enter and Escape typed inside a page do nothing (they would otherwise end the page).
#pragma once

#include "framework/AfxWin.h"

class COptionPage : public CDialogEx {
public:
    explicit COptionPage(UINT templateId) : CDialogEx(templateId, nullptr) {}

    // Creates the page from its template as a child of the options window.
    BOOL CreatePage(CWnd* parent) { return Create(m_nIDTemplate, parent); }

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) return TRUE;
        return CDialogEx::PreTranslateMessage(msg);
    }
};
