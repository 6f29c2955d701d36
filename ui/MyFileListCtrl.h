// A report list that takes files dropped from the shell: one row per file, appended at the end;
// the owner stores each file while the row is inserted (LVN_INSERTITEM with m_bDropping 1) and
// writes the new record's id into m_strNewId, which becomes the row's first cell.
#pragma once

#include "framework/AfxList.h"

// Which cells a dropped file fills.
constexpr int FILELIST_MODE_TITLES = 0;   // id, file name, full path (zone title editor)
constexpr int FILELIST_MODE_EXCLUDE = 1;  // id, empty, file name (exclude page)

class CMyFileListCtrl : public CListCtrl {
public:
    CMyFileListCtrl();
    void PreSubclassWindow() override;
    ~CMyFileListCtrl() override = default;

    void SetMode(int mode) { m_nMode = mode; }

    int m_bDropping = 0;
    CString m_strDropPath;
    CString m_strNewId;
    int m_nMode = FILELIST_MODE_TITLES;

protected:
    LRESULT OnDropFiles(WPARAM wp, LPARAM lp);
    DECLARE_MESSAGE_MAP()
};
