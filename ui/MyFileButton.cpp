#include "ui/MyFileButton.h"

#include <cwchar>

#include "framework/AfxFileDlg.h"
#include "rules/core/RuleStore.h"

BEGIN_MESSAGE_MAP(CMyFileButton, CButton)
    ON_MESSAGE(WM_DROPFILES, &CMyFileButton::OnDropFiles)
END_MESSAGE_MAP()

CMyFileButton::CMyFileButton() = default;

// before the first drop: a drop from a less privileged shell is filtered out otherwise
void CMyFileButton::PreSubclassWindow() { AfxAllowDropMessages(m_hWnd); }

LRESULT CMyFileButton::OnDropFiles(WPARAM wp, LPARAM) {
    HDROP drop = reinterpret_cast<HDROP>(wp);
    const std::vector<CString> paths = AfxDroppedFiles(drop);
    if (m_pStore) {
        const int screen = m_nScreen > 0 ? m_nScreen : m_pStore->m_nScreenCount;
        // the caption is "zone(count)"; wcstol stops at the "("
        const int region = static_cast<int>(std::wcstol(GetWindowText(), nullptr, 10));
        int added = 0;
        bool refused = false;
        for (const CString& path : paths) {
            m_bDropping = 1;
            m_strDropPath = path;
            int id = 0;
            if (m_pStore->AddTitle(screen, region, m_strDropPath, &id) == 0 && id > 0) ++added;
            else refused = true;
        }
        // posted: the page rebuilds its buttons, this one included
        if (refused) ::PostMessageW(::GetParent(m_hWnd), WM_DROP_REFUSED, 0, 0);
        if (added > 0) {
            int count = 0;
            m_pStore->ReadTitles(screen, region, &count);
            CString caption;
            caption.Format(L"%d(%d)", region, count);
            SetWindowText(caption);
        }
    }
    DragFinish(drop);
    m_bDropping = 0;
    return Default();
}
