#include "engine/ActKeyPanel.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/core/HotkeyDispatch.h"
#include "res/engine_ids.h"
#include "ui/DialogHelpers.h"

namespace {

const wchar_t kFontName[] = L"Arial";
constexpr float kActKeyFontPt = 21.0f;
constexpr float kKeyFontPt = 26.0f;
const Gdiplus::ARGB kTextColour = 0xFEFFFFFF;  // white, alpha 254
constexpr int kFirstKeyX = 205;
constexpr int kSecondKeyX = 395;
constexpr int kKeyY = 19;
constexpr int kKeyBoxHeight = 44;
constexpr int kEmptyKeyBoxHeight = 15;
const wchar_t kUnknownKey[] = L"Unknown";
constexpr UINT_PTR kPanelTimerId = 1;

// "Arial" is missing on some systems (and in a bare Wine prefix); a panel without text would
// be useless, so the generic sans-serif family stands in.
std::unique_ptr<Gdiplus::Font> MakeFont(float points) {
    std::unique_ptr<Gdiplus::Font> font(new Gdiplus::Font(kFontName, points, Gdiplus::FontStyleRegular,
                                                          Gdiplus::UnitPoint));
    if (font->GetLastStatus() == Gdiplus::Ok) return font;
    font.reset(new Gdiplus::Font(Gdiplus::FontFamily::GenericSansSerif(), points, Gdiplus::FontStyleRegular,
                                 Gdiplus::UnitPoint));
    return font;
}

}  // namespace

BEGIN_MESSAGE_MAP(CActKeyPanel, CDialogEx)
    ON_MESSAGE(WM_TIMER, &CActKeyPanel::OnTimer)
END_MESSAGE_MAP()

CActKeyPanel::CActKeyPanel(CWnd* parent) : CDialogEx(IDD_ACTKEY_PANEL, parent) {}

CActKeyPanel::~CActKeyPanel() {
    delete m_pBackground;
    m_pBackground = nullptr;
    if (m_hMemDC) DeleteDC(m_hMemDC);  // deselects the image, which can then go
    if (m_hBitmap) DeleteObject(m_hBitmap);
    if (m_hDC && m_hWnd) ::ReleaseDC(m_hWnd, m_hDC);
    if (m_hUser32) FreeLibrary(m_hUser32);
}

BOOL CActKeyPanel::OnInitDialog() {
    CDialogEx::OnInitDialog();
    m_nWidth = engine::kPanelWidth;
    m_nHeight = engine::kPanelHeight;
    m_nX = m_nY = 0;
    m_blend = {AC_SRC_OVER, 0, 180, AC_SRC_ALPHA};
    m_strActKeyName = L"";
    m_strFirstKey = L"";
    m_strSecondKey = L"";
    m_hUser32 = LoadLibraryW(L"User32.DLL");
    if (!m_hUser32) {
        AfxMessageBox(L"User32.dll ERROR!(killpanel)", MB_ICONQUESTION);
        exit(0);
    }
    m_pfnUpdateLayeredWindow = reinterpret_cast<PFN_UpdateLayeredWindow>(
        reinterpret_cast<void*>(GetProcAddress(m_hUser32, "UpdateLayeredWindow")));
    // The background is decoded when the panel is first drawn: most starts never show it.
    m_hDC = ::GetDC(m_hWnd);
    m_hMemDC = CreateCompatibleDC(m_hDC);
    m_dwExStyle = static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE));
    return TRUE;
}

void CActKeyPanel::LoadBackground() {
    if (m_bBackgroundTried) return;
    m_bBackgroundTried = true;
    Gdiplus::Image* image = nullptr;
    if (!LoadPngResource(IDR_PNG_ACTKEY_PANEL, L"PNG", &image) || !image) return;
    if (image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        return;
    }
    m_pBackground = image;
}

void CActKeyPanel::CreateBackBuffer(int width) {
    if (!m_hMemDC || width <= 0) return;
    void* bits = nullptr;
    HBITMAP image = CreateLayeredImage(m_hDC, width, m_nHeight, &bits);
    if (!image) return;
    SelectObject(m_hMemDC, image);
    if (m_hBitmap) DeleteObject(m_hBitmap);
    m_hBitmap = image;
    m_pBits = static_cast<DWORD*>(bits);
    m_nBitsWidth = width;

    LoadBackground();
    Gdiplus::Bitmap background(width, m_nHeight, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&background);
        if (m_pBackground) g.DrawImage(m_pBackground, 0, 0, width, m_nHeight);
    }
    {
        Gdiplus::Bitmap target(width, m_nHeight, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
        Gdiplus::Graphics g(&target);
        g.DrawImage(&background, 0, 0, width, m_nHeight);
    }
    GdiFlush();
    Push(width);
}

void CActKeyPanel::DrawLabel(const CString& text, float points, float x, float y, float width, float height) {
    Gdiplus::Bitmap target(m_nBitsWidth, m_nHeight, m_nBitsWidth * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(m_pBits));
    Gdiplus::Graphics g(&target);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    Gdiplus::SolidBrush brush{Gdiplus::Color(kTextColour)};
    std::unique_ptr<Gdiplus::Font> font = MakeFont(points);
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoClip);
    const Gdiplus::RectF box(x, y, width, height);
    m_nLastDrawStatus = g.DrawString(text.GetString(), -1, font.get(), box, &format, &brush);
}

void CActKeyPanel::DrawKey(CString& key, int x) {
    if (!m_pBits) return;
    int boxHeight = kKeyBoxHeight;
    if (key.IsEmpty()) {
        key = kUnknownKey;
        boxHeight = kEmptyKeyBoxHeight;
    }
    DrawLabel(key, kKeyFontPt, static_cast<float>(x), static_cast<float>(kKeyY), static_cast<float>(m_nWidth - 8),
              static_cast<float>(boxHeight));
}

void CActKeyPanel::DrawPanel() {
    if (!m_pBits) return;
    // an empty box at the name's origin: the text is laid out from there without clipping
    DrawLabel(m_strActKeyName, kActKeyFontPt, 7.0f, 22.0f, 0.0f, 0.0f);
    DrawKey(m_strFirstKey, kFirstKeyX);
    GdiFlush();
    Push(m_nWidth);
}

void CActKeyPanel::SetKeyText(const CString& key) {
    m_strSecondKey = key;
    DrawKey(m_strSecondKey, kSecondKeyX);
    GdiFlush();
    Push(m_nWidth);
}

void CActKeyPanel::Push(int width) {
    if (!m_hWnd) return;
    const LONG style = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED)) SetWindowLongW(m_hWnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
    // Without the layered-window call (very old systems) there is nothing to push to.
    if (!m_pfnUpdateLayeredWindow) return;
    RECT rc = {};
    ::GetWindowRect(m_hWnd, &rc);
    POINT dst = {rc.left, rc.top};
    SIZE size = {width, m_nHeight};
    POINT src = {0, 0};
    m_pfnUpdateLayeredWindow(m_hWnd, m_hDC, &dst, &size, m_hMemDC, &src, 0, &m_blend, ULW_ALPHA);
}

void CActKeyPanel::MoveToMonitor(int, int, int right, int bottom, int, int) {
    const engine::PanelPoint p = engine::PanelPositionOnWorkArea(right, bottom, m_nWidth, m_nHeight);
    m_nX = p.x;
    m_nY = p.y;
    CreateBackBuffer(m_nWidth);
    DrawPanel();
    // Shown without taking the focus from the window the user is typing into.
    SetWindowPos(HWND_TOPMOST, m_nX, m_nY, m_nWidth, m_nHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

LRESULT CActKeyPanel::OnTimer(WPARAM wp, LPARAM lp) {
    if (wp == kPanelTimerId) ShowWindow(SW_HIDE);
    return DefWindowProc(WM_TIMER, wp, lp);
}
