// Key sequences from the hook library (placeholder until the layouts land).
#include <windows.h>

#include "engine/XTessoraProDlg.h"

LRESULT CXTessoraProDlg::OnCopyData(WPARAM wp, LPARAM lp) {
    const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    // Only our own library's three bytes are trusted, and only once start-up has finished.
    if (!m_bStarted || !cds || !cds->lpData || cds->cbData < 3) return FALSE;
    const char* bytes = static_cast<const char*>(cds->lpData);
    if (m_bReady == 1 && bytes[1] >= '0' && bytes[1] <= '9') {
        m_bReady = 0;
        m_hook.RestoreHook();
        m_bReady = 1;
    }
    return DefWindowProc(WM_COPYDATA, wp, lp);
}

void CXTessoraProDlg::SplitScreenGrid(int, int, int) {}
void CXTessoraProDlg::SplitScreenUserDefined(int, int) {}
void CXTessoraProDlg::UndoLayout() {}
