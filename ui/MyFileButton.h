// A numbered zone button that takes files dropped from the shell: each file is bound to the
// button's zone in the rule store, and the caption "zone(count)" shows the zone's new count.
#pragma once

#include "framework/AfxCtrl.h"

class CRuleStore;

// Posted to the button's parent when a dropped file could not be bound (the rule gone, or the
// file held by another program), so that the page shows what is stored.
constexpr UINT WM_DROP_REFUSED = WM_APP + 0x232;

class CMyFileButton : public CButton {
public:
    CMyFileButton();
    void PreSubclassWindow() override;
    ~CMyFileButton() override = default;

    // Set before drops are enabled on the button (DragAcceptFiles).
    void SetStore(CRuleStore* store) { m_pStore = store; }
    // The screen whose zone the button shows (1-based); without one the store's monitor count.
    void SetScreen(int screen) { m_nScreen = screen; }

    CRuleStore* m_pStore = nullptr;
    int m_bDropping = 0;
    CString m_strDropPath;

protected:
    LRESULT OnDropFiles(WPARAM wp, LPARAM lp);
    DECLARE_MESSAGE_MAP()

private:
    int m_nScreen = 0;
};
