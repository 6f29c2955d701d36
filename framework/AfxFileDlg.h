// Files chosen by the user: the open and save dialogs, and files dropped from the shell.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "framework/AfxWin.h"

class CFileDialog {
public:
    // `filter` is "Text|pattern|...|" (ends with "||"); `defExt` is appended to a name typed
    // without an extension; `fileName` is the initial name. m_ofn may be adjusted before DoModal.
    CFileDialog(BOOL openFileDialog, const wchar_t* defExt = nullptr, const wchar_t* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const wchar_t* filter = nullptr,
                CWnd* parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK with the chosen path, else IDCANCEL. Without a parent the dialog is owned as
    // AfxGetModalOwner says.
    INT_PTR DoModal();
    CString GetPathName() const { return m_strPath; }

    OPENFILENAMEW m_ofn = {};

private:
    BOOL m_bOpen;
    CString m_strDefExt;
    CString m_strFilter;  // NUL-separated, double NUL at the end
    CString m_strInitialDir;
    std::vector<wchar_t> m_fileBuffer;
    CString m_strPath;
};

// Lets WM_DROPFILES and WM_COPYGLOBALDATA through the message filter, so that a
// shell running with fewer rights than this process can drop files on us. Process-wide with
// ChangeWindowMessageFilter, and for `hWnd` (when given) with ChangeWindowMessageFilterEx;
// both are looked up at run time and skipped silently where the system lacks them.
void AfxAllowDropMessages(HWND hWnd = nullptr);

// The full paths of a drop, in the shell's order, each read whole whatever its length.
// Does not release the drop.
std::vector<CString> AfxDroppedFiles(HDROP hDrop);
