#include "framework/AfxFileDlg.h"

#include <commdlg.h>

namespace {

// The longest path the system takes, with its terminator.
constexpr DWORD kPathBuffer = 32768;
constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA: the drop's data between processes

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const wchar_t* defExt, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, CWnd* parent)
    : m_bOpen(openFileDialog), m_strDefExt(defExt), m_fileBuffer(kPathBuffer, L'\0') {
    if (filter) {
        m_strFilter = filter;
        m_strFilter.Replace(L"|", L"\n");
        for (int i = 0; i < m_strFilter.GetLength(); ++i)
            if (m_strFilter.GetAt(i) == L'\n') m_strFilter.SetAt(i, L'\0');
    }
    if (fileName) lstrcpynW(m_fileBuffer.data(), fileName, static_cast<int>(kPathBuffer));
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = parent ? AfxGetModalOwner(parent->m_hWnd) : nullptr;
    m_ofn.lpstrFilter = m_strFilter.IsEmpty() ? nullptr : m_strFilter.GetString();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = kPathBuffer;
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal() {
    // without an owner the window that opened it could be closed under it
    if (!m_ofn.hwndOwner) m_ofn.hwndOwner = AfxGetModalOwner();
    const BOOL ok = m_bOpen ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
    if (!ok) return IDCANCEL;
    m_strPath = m_fileBuffer.data();
    return m_strPath.IsEmpty() ? IDCANCEL : IDOK;
}

void AfxAllowDropMessages(HWND hWnd) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    typedef BOOL(WINAPI * ChangeFilter)(UINT, DWORD);
    typedef BOOL(WINAPI * ChangeFilterEx)(HWND, UINT, DWORD, void*);
    const auto change = reinterpret_cast<ChangeFilter>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")));
    const auto changeEx = reinterpret_cast<ChangeFilterEx>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    static bool processAllowed = false;  // the process-wide filter needs setting once
    // never WM_COPYDATA: it carries the hotkey notices, which no less privileged process may send
    for (UINT msg : {static_cast<UINT>(WM_DROPFILES), kCopyGlobalData}) {
        if (change && !processAllowed) change(msg, 1 /* MSGFLT_ADD */);
        if (changeEx && hWnd) changeEx(hWnd, msg, 1 /* MSGFLT_ALLOW */, nullptr);
    }
    processAllowed = true;
}

std::vector<CString> AfxDroppedFiles(HDROP hDrop) {
    std::vector<CString> paths;
    const UINT count = DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(hDrop, i, nullptr, 0);
        std::wstring path(static_cast<size_t>(length) + 1, L'\0');
        const UINT copied = DragQueryFileW(hDrop, i, &path[0], length + 1);
        path.resize(copied <= length ? copied : length);
        paths.emplace_back(std::move(path));
    }
    return paths;
}
