#include "ui/XTab1.h"

#include "res/ui_ids.h"

namespace {
struct Picture {
    int control;
    int bitmap;
};
const Picture kPictures[CXTab1::kPictureCount] = {
    {IDC_PIC_GRID_1X1, IDB_GRID_1X1}, {IDC_PIC_GRID_1X2, IDB_GRID_1X2}, {IDC_PIC_GRID_2X1, IDB_GRID_2X1},
    {IDC_PIC_GRID_1X3, IDB_GRID_1X3}, {IDC_PIC_GRID_3X1, IDB_GRID_3X1}, {IDC_PIC_GRID_2X2, IDB_GRID_2X2},
    {IDC_PIC_GRID_1XN, IDB_GRID_1XN}, {IDC_PIC_GRID_NX1, IDB_GRID_NX1}, {IDC_PIC_GRID_NXN, IDB_GRID_NXN},
};
}  // namespace

BEGIN_MESSAGE_MAP(CXTab1, COptionPage)
    ON_MESSAGE(WM_PAINT, &CXTab1::OnPaint)
    ON_MESSAGE(WM_DESTROY, &CXTab1::OnDestroy)
END_MESSAGE_MAP()

CXTab1::CXTab1() : COptionPage(IDD_XTAB1) {}

CXTab1::~CXTab1() {
    for (HBITMAP& bmp : m_bitmaps) {
        if (bmp) DeleteObject(bmp);
        bmp = nullptr;
    }
}

void CXTab1::DoDataExchange(CDataExchange* dx) {
    COptionPage::DoDataExchange(dx);
    for (int i = 0; i < kPictureCount; ++i) DDX_Control(dx, kPictures[i].control, m_pictures[i]);
}

BOOL CXTab1::OnInitDialog() {
    COptionPage::OnInitDialog();
    for (int i = 0; i < kPictureCount; ++i) {
        if (m_bitmaps[i]) continue;
        m_bitmaps[i] = static_cast<HBITMAP>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(kPictures[i].bitmap),
                                                       IMAGE_BITMAP, 150, 85, LR_LOADMAP3DCOLORS));
        m_pictures[i].SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_bitmaps[i]));
    }
    return TRUE;
}

LRESULT CXTab1::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    BeginPaint(m_hWnd, &ps);
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CXTab1::OnDestroy(WPARAM wp, LPARAM lp) {
    // the pictures let go of their bitmaps before the page frees them
    for (CStatic& picture : m_pictures) {
        if (picture.m_hWnd) picture.SendMessage(STM_SETIMAGE, IMAGE_BITMAP, 0);
    }
    return DefWindowProc(WM_DESTROY, wp, lp);
}
