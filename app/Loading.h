// The splash window shown while the program starts: a borderless, topmost, per-pixel-alpha
// picture in the middle of the primary screen that hides itself two seconds after it appears.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/AfxWin.h"

class CLoading : public CDialogEx {
public:
    explicit CLoading(CWnd* parent = nullptr);
    ~CLoading() override;

    BOOL OnInitDialog() override;

    enum { IDT_HIDE_SPLASH = 1, SPLASH_MS = 2000 };

    typedef BOOL(WINAPI* UpdateLayeredWindowFn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                BLENDFUNCTION*, DWORD);

    HMODULE m_hUser32 = nullptr;  // loaded once, never freed
    BLENDFUNCTION m_blend = {};
    HDC m_hdcMemory = nullptr;
    HDC m_hdcScreen = nullptr;  // destination of the layered update
    HDC m_hdcWindow = nullptr;  // what the memory context and bitmap are made compatible with
    HBITMAP m_hBitmap = nullptr;
    DWORD m_dwExStyle = 0;
    int m_nWidth = 362;
    int m_nHeight = 120;
    int m_nX = 0;
    int m_nY = 0;
    Gdiplus::Image* m_pImage = nullptr;
    UpdateLayeredWindowFn m_pfnUpdateLayeredWindow = nullptr;

protected:
    // Draws the picture into the layered window.
    void DrawLayered();
    // The picture's pixels as built into the program, or null.
    const BYTE* FindSplashPixels() const;
    LRESULT OnTimer(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};
