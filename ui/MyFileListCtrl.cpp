#include "ui/MyFileListCtrl.h"

#include "app/core/PathText.h"
#include "framework/AfxFileDlg.h"

BEGIN_MESSAGE_MAP(CMyFileListCtrl, CListCtrl)
    ON_MESSAGE(WM_DROPFILES, &CMyFileListCtrl::OnDropFiles)
END_MESSAGE_MAP()

CMyFileListCtrl::CMyFileListCtrl() = default;

// before the first drop: a drop from a less privileged shell is filtered out otherwise
void CMyFileListCtrl::PreSubclassWindow() { AfxAllowDropMessages(m_hWnd); }

LRESULT CMyFileListCtrl::OnDropFiles(WPARAM wp, LPARAM) {
    HDROP drop = reinterpret_cast<HDROP>(wp);
    for (const CString& path : AfxDroppedFiles(drop)) {
        m_bDropping = 1;
        m_strDropPath = path;
        const CString name = FileNameFromPath(path, 1);
        const int row = InsertItem(GetItemCount(), L"");
        if (row < 0) continue;
        if (m_nMode == FILELIST_MODE_TITLES) {
            SetItemText(row, 0, m_strNewId);
            SetItemText(row, 1, name);
            SetItemText(row, 2, path);
        } else if (m_nMode == FILELIST_MODE_EXCLUDE) {
            SetItemText(row, 0, m_strNewId);
            SetItemText(row, 2, name);
        }
    }
    DragFinish(drop);
    m_bDropping = 0;
    return Default();
}
