// A numbered zone button that takes files dropped from the shell: each file is bound to the
// button's zone in the rule store, and the caption "zone(count)" shows the zone's new count.
#pragma once

#include "framework/AfxCtrl.h"

class CRuleStore;

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
