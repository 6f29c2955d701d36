#include "framework/AfxList.h"

#include <string>

void CListCtrl::SetReportView() {
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | LVS_REPORT);
}

DWORD CListCtrl::GetExtendedStyle() const {
    return static_cast<DWORD>(::SendMessageW(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle) {
    return static_cast<DWORD>(::SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, exStyle));
}

int CListCtrl::InsertColumn(int col, const wchar_t* heading, int format, int width) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM | (width >= 0 ? LVCF_WIDTH : 0);
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(heading ? heading : L"");
    column.iSubItem = col;
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, col, reinterpret_cast<LPARAM>(&column)));
}

BOOL CListCtrl::DeleteColumn(int col) { return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_DELETECOLUMN, col, 0)); }

void CListCtrl::DeleteAllColumns() {
    // bounded, in case a list ever answers success for a column it does not have
    for (int guard = 0; guard < 1024 && DeleteColumn(0); ++guard) {
    }
}

int CListCtrl::GetItemCount() const { return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0)); }

int CListCtrl::InsertItem(int item, const wchar_t* text) {
    LVITEMW row = {};
    row.mask = LVIF_TEXT;
    row.iItem = item;
    row.pszText = const_cast<wchar_t*>(text ? text : L"");
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, const wchar_t* text) {
    LVITEMW cell = {};
    cell.iSubItem = subItem;
    cell.pszText = const_cast<wchar_t*>(text ? text : L"");
    return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    // The list copies at most the buffer's size and returns the length copied: grow until the
    // text fits with room to spare.
    std::wstring buffer;
    for (size_t size = 256; size <= (1u << 20); size *= 4) {
        buffer.assign(size, L'\0');
        LVITEMW cell = {};
        cell.iSubItem = subItem;
        cell.pszText = &buffer[0];
        cell.cchTextMax = static_cast<int>(size);
        const int n = static_cast<int>(
            ::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell)));
        if (n < static_cast<int>(size) - 1) {
            buffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
            return CString(std::move(buffer));
        }
    }
    return CString(buffer.c_str());
}

BOOL CListCtrl::DeleteItem(int item) { return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_DELETEITEM, item, 0)); }

BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0)); }

UINT CListCtrl::GetSelectedCount() const {
    return static_cast<UINT>(::SendMessageW(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0));
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    LVITEMW row = {};
    row.stateMask = mask;
    row.state = state;
    return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&row)));
}
