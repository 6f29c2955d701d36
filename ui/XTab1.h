// The grid-layouts page of the options window: a picture and a caption per built-in grid
// layout, nothing that takes input.
#pragma once

#include "framework/AfxWin.h"
#include "ui/OptionPage.h"

class CSettings;

class CXTab1 : public COptionPage {
public:
    static constexpr int kPictureCount = 9;

    CXTab1();
    ~CXTab1() override;

    void SetConfig(CSettings* pSettings) { m_pSettings = pSettings; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    CSettings* m_pSettings = nullptr;
    CStatic m_pictures[kPictureCount];

protected:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    // The pictures' bitmaps: a picture control does not free the bitmap it is given.
    HBITMAP m_bitmaps[kPictureCount] = {};

    DECLARE_MESSAGE_MAP()
};
