// The on-screen hotkey panel: a semi-transparent layered window near the bottom of the work
// area showing the action key's name and the two keys as they are typed.
#pragma once

#include <windows.h>

#include "framework/AfxWin.h"
#include "framework/CString.h"

namespace Gdiplus {
class Image;
}

class CActKeyPanel : public CDialogEx {
public:
    explicit CActKeyPanel(CWnd* parent = nullptr);
    ~CActKeyPanel() override;

    BOOL OnInitDialog() override;

    // Places the panel from the screen origin on a work area of the given right and bottom
    // edges, redraws it and shows it topmost. left, top and the last two are not used.
    void MoveToMonitor(int left, int top, int right, int bottom, int reserved1, int reserved2);
    // Draws the action-key name and the first key onto the image and pushes it.
    void DrawPanel();
    // Stores and draws the second key, then pushes the image.
    void SetKeyText(const CString& key);
    // A fresh image of the given width holding only the background, pushed at once.
    void CreateBackBuffer(int width);

    int m_nWidth = 456;
    int m_nHeight = 79;
    int m_nX = 0;
    int m_nY = 0;
    BLENDFUNCTION m_blend = {AC_SRC_OVER, 0, 180, AC_SRC_ALPHA};
    HMODULE m_hUser32 = nullptr;
    typedef BOOL(WINAPI* PFN_UpdateLayeredWindow)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                  BLENDFUNCTION*, DWORD);
    PFN_UpdateLayeredWindow m_pfnUpdateLayeredWindow = nullptr;
    HDC m_hMemDC = nullptr;
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    DWORD m_dwExStyle = 0;
    Gdiplus::Image* m_pBackground = nullptr;
    CString m_strActKeyName, m_strFirstKey, m_strSecondKey;

    // The off-screen image's pixels (32-bit, top-down, premultiplied ARGB) for the tests; null
    // before the first image.
    const DWORD* ImageBits() const { return m_pBits; }
    int ImageWidth() const { return m_nBitsWidth; }
    // GDI+ status of the last text drawn (0 = Ok); a missing font shows here.
    int LastDrawStatus() const { return m_nLastDrawStatus; }

protected:
    LRESULT OnTimer(WPARAM wp, LPARAM lp);
    DECLARE_MESSAGE_MAP()

private:
    void LoadBackground();
    void Push(int width);
    void DrawKey(CString& key, int x);
    // One text into the back buffer, laid out from (x, y) in a box of width x height.
    void DrawLabel(const CString& text, float points, float x, float y, float width, float height);

    // The PNG's bytes must outlive the image decoded from them.
    HGLOBAL m_hPngBlock = nullptr;
    DWORD* m_pBits = nullptr;
    int m_nBitsWidth = 0;
    int m_nLastDrawStatus = 0;
    bool m_bBackgroundTried = false;
};
