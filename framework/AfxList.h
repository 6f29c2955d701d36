// The report-view list control of the framework: columns (a width of 0 hides one), rows and
// their cells, the selection walk and the extended styles.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/AfxWin.h"

class CListCtrl : public CWnd {
public:
    // Puts the list into report view (the other view bits are cleared).
    void SetReportView();
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD exStyle);

    int InsertColumn(int col, const wchar_t* heading, int format = LVCFMT_LEFT, int width = -1);
    BOOL DeleteColumn(int col);
    // Deletes column 0 until the list reports failure.
    void DeleteAllColumns();

    int GetItemCount() const;
    // The row's index, or -1. The owner sees LVN_INSERTITEM before this returns.
    int InsertItem(int item, const wchar_t* text);
    BOOL SetItemText(int item, int subItem, const wchar_t* text);
    // The whole cell text, however long.
    CString GetItemText(int item, int subItem) const;
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();

    UINT GetSelectedCount() const;
    // LVM_GETNEXTITEM: the first row after `start` (-1: from the top) with the flags.
    int GetNextItem(int start, UINT flags) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
};
