#include "app/Loading.h"

#include <cstdlib>
#include <cstring>

#include "res/ui_ids.h"
#include "ui/DialogHelpers.h"

BEGIN_MESSAGE_MAP(CLoading, CDialogEx)
    ON_MESSAGE(WM_TIMER, &CLoading::OnTimer)
END_MESSAGE_MAP()

CLoading::CLoading(CWnd* parent) : CDialogEx(IDD_LOADING, parent) {}

CLoading::~CLoading() { delete m_pImage; }

BOOL CLoading::OnInitDialog() {
    CDialogEx::OnInitDialog();

    const unsigned screenW = static_cast<unsigned>(GetSystemMetrics(SM_CXSCREEN));
    const unsigned screenH = static_cast<unsigned>(GetSystemMetrics(SM_CYSCREEN));
    m_nWidth = 362;
    m_nHeight = 120;
    m_nX = static_cast<int>((screenW - 362u) / 2u);
    m_nY = static_cast<int>((screenH - 120u) / 2u);

    m_blend.BlendOp = AC_SRC_OVER;
    m_blend.BlendFlags = 0;
    m_blend.SourceConstantAlpha = 255;
    m_blend.AlphaFormat = AC_SRC_ALPHA;

    m_hUser32 = LoadLibraryW(L"User32.DLL");
    if (!m_hUser32) {
        AfxMessageBox(L"User32.dll ERROR!(kill panel)", MB_ICONQUESTION);
        exit(0);
    }
    m_pfnUpdateLayeredWindow = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(m_hUser32, "UpdateLayeredWindow")));

    // The PNG is decoded only when its ready-made pixels are missing.
    if (!FindSplashPixels()) {
        Gdiplus::Image* image = nullptr;
        if (LoadPngResource(IDB_PNG_LOADING, L"PNG", &image)) {
            delete m_pImage;
            m_pImage = image;
        }
    }

    m_hdcScreen = ::GetDC(m_hWnd);
    m_hdcWindow = ::GetDC(m_hWnd);
    m_hdcMemory = CreateCompatibleDC(m_hdcScreen);
    m_dwExStyle = static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE));

    DrawLayered();

    SetWindowPos(HWND_TOPMOST, m_nX, m_nY, m_nWidth, m_nHeight, SWP_SHOWWINDOW);
    SetTimer(IDT_HIDE_SPLASH, SPLASH_MS);
    return TRUE;
}

const BYTE* CLoading::FindSplashPixels() const {
    HMODULE module = AfxGetResourceHandle();
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(IDR_SPLASH_PIXELS), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!res || SizeofResource(module, res) != static_cast<DWORD>(m_nWidth * m_nHeight * 4)) return nullptr;
    HGLOBAL block = LoadResource(module, res);
    return block ? static_cast<const BYTE*>(LockResource(block)) : nullptr;
}

void CLoading::DrawLayered() {
    void* bits = nullptr;
    m_hBitmap = CreateLayeredImage(m_hdcWindow, m_nWidth, m_nHeight, &bits);

    if (const BYTE* pixels = bits ? FindSplashPixels() : nullptr) {
        // the layered window wants premultiplied alpha
        BYTE* out = static_cast<BYTE*>(bits);
        for (int i = 0; i < m_nWidth * m_nHeight * 4; i += 4) {
            const unsigned a = pixels[i + 3];
            for (int c = 0; c < 3; ++c) out[i + c] = static_cast<BYTE>((pixels[i + c] * a + 127) / 255);
            out[i + 3] = static_cast<BYTE>(a);
        }
    } else if (bits && m_pImage && m_pImage->GetWidth() > 0) {
        Gdiplus::Bitmap argb(m_nWidth, m_nHeight, PixelFormat32bppPARGB);
        {
            Gdiplus::Graphics graphics(&argb);
            graphics.DrawImage(m_pImage, 0, 0, m_nWidth, m_nHeight);
        }
        Gdiplus::Rect all(0, 0, m_nWidth, m_nHeight);
        Gdiplus::BitmapData data = {};
        if (argb.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) == Gdiplus::Ok) {
            for (int row = 0; row < m_nHeight; ++row)
                std::memcpy(static_cast<BYTE*>(bits) + static_cast<size_t>(row) * m_nWidth * 4,
                            static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(row) * data.Stride,
                            static_cast<size_t>(m_nWidth) * 4);
            argb.UnlockBits(&data);
        }
    }
    HGDIOBJ old = m_hBitmap ? SelectObject(m_hdcMemory, m_hBitmap) : nullptr;

    if (!(m_dwExStyle & WS_EX_LAYERED)) SetWindowLongW(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(m_dwExStyle | WS_EX_LAYERED));

    // A system without the function gets no picture; the window still hides on time.
    if (m_pfnUpdateLayeredWindow && m_hBitmap) {
        RECT rc = {};
        GetWindowRect(&rc);
        POINT dst = {rc.left, rc.top};
        SIZE size = {m_nWidth, m_nHeight};
        POINT src = {0, 0};
        m_pfnUpdateLayeredWindow(m_hWnd, m_hdcScreen, &dst, &size, m_hdcMemory, &src, 0, &m_blend, ULW_ALPHA);
    }

    if (old) SelectObject(m_hdcMemory, old);
    if (m_hBitmap) DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    DeleteDC(m_hdcMemory);
    m_hdcMemory = nullptr;
    ::ReleaseDC(m_hWnd, m_hdcWindow);
    ::ReleaseDC(m_hWnd, m_hdcScreen);
    m_hdcWindow = m_hdcScreen = nullptr;
}

LRESULT CLoading::OnTimer(WPARAM wp, LPARAM) {
    if (wp == IDT_HIDE_SPLASH) {
        ShowWindow(SW_HIDE);
        // once hidden it stays hidden: no need to wake every two seconds for the rest of the run
        KillTimer(IDT_HIDE_SPLASH);
    }
    return Default();
}
