// Small helpers shared by the program's windows: PNG images stored among the resources, and
// placing a window in the middle of the desktop work area.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

class CWnd;

// Makes a GDI+ image of the resource `id` of type `type` (e.g. L"PNG") in the framework's
// resource module. Returns 1 when the image object was made (it may still carry GDI+'s error
// status when the bytes are not an image it can decode), 0 when the resource could not be found
// or loaded; `*image` is then left as it was. The caller owns the image.
int LoadPngResource(WORD id, const wchar_t* type, Gdiplus::Image** image);
// The same from a given module.
int LoadPngResource(HMODULE module, WORD id, const wchar_t* type, Gdiplus::Image** image);

// A top-down 32-bit device-independent image of width x height for a layered window: GDI+ can
// draw into its pixels with real alpha, which a device-dependent bitmap does not promise.
// Returns null (and *bits null) on failure; the caller deletes the bitmap.
HBITMAP CreateLayeredImage(HDC dc, int width, int height, void** bits);

// Centres the window in a rectangle of the work area's size that starts at the screen origin
// (the work area's own left and top are not added), keeps its size and makes it topmost.
void CenterWindowOnWorkArea(HWND hWnd);
void CenterWindowOnWorkArea(CWnd* pWnd);
