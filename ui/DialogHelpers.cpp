#include "ui/DialogHelpers.h"

#include <cstring>

#include "framework/AfxWin.h"

int LoadPngResource(WORD id, const wchar_t* type, Gdiplus::Image** image) {
    return LoadPngResource(AfxGetResourceHandle(), id, type, image);
}

int LoadPngResource(HMODULE module, WORD id, const wchar_t* type, Gdiplus::Image** image) {
    if (!image || !type) return 0;
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info) return 0;
    const DWORD size = SizeofResource(module, info);
    HGLOBAL res = LoadResource(module, info);
    const void* bytes = res ? LockResource(res) : nullptr;
    if (!bytes || size == 0) return 0;

    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (!block) return 0;
    std::memcpy(block, bytes, size);  // GMEM_FIXED: the handle is the address
    // The image reads its data through the stream for as long as it lives; GDI+ holds a
    // reference to the stream, and the block goes with the stream's last reference.
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
        GlobalFree(block);
        return 0;
    }
    *image = Gdiplus::Image::FromStream(stream);
    stream->Release();
    return 1;
}

void CenterWindowOnWorkArea(HWND hWnd) {
    if (!hWnd || !IsWindow(hWnd)) return;
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // C++ division truncates toward zero, so a window larger than the area gets a negative x / y
    const int x = (work.right - work.left - w) / 2;
    const int y = (work.bottom - work.top - h) / 2;
    SetWindowPos(hWnd, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
}

void CenterWindowOnWorkArea(CWnd* pWnd) {
    if (pWnd) CenterWindowOnWorkArea(pWnd->m_hWnd);
}

HBITMAP CreateLayeredImage(HDC dc, int width, int height, void** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HBITMAP image = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
    if (image && !*bits) {
        DeleteObject(image);
        image = nullptr;
    }
    return image;
}
