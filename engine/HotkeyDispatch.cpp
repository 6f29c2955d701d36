// Key sequences from the keyboard-hook library: the panel preview and the choice between grid,
// user-defined layout and undo.
#include <windows.h>

#include <cstring>

#include "app/Log.h"
#include "app/Settings.h"
#include "engine/ActKeyPanel.h"
#include "engine/WindowUtil.h"
#include "engine/XTessoraProDlg.h"
#include "engine/core/HotkeyDispatch.h"
#include "engine/core/Layouts.h"
#include "engine/core/Monitors.h"
#include "res/engine_ids.h"
#include "rules/core/RuleStore.h"

namespace {

// Each payload byte becomes one character through the thread's ANSI code page.
CString AnsiKeyText(unsigned char byte) {
    if (byte == 0) return CString();
    const char c = static_cast<char>(byte);
    wchar_t w = 0;
    if (MultiByteToWideChar(CP_THREAD_ACP, 0, &c, 1, &w, 1) != 1 || w == 0) return CString();
    return CString(w);
}

RECT WorkArea() {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// Puts m_bReady back however the dispatch is left.
class ReadyGuard {
public:
    explicit ReadyGuard(int& ready) : m_ready(ready) { m_ready = 0; }
    ~ReadyGuard() { m_ready = 1; }
    ReadyGuard(const ReadyGuard&) = delete;
    ReadyGuard& operator=(const ReadyGuard&) = delete;

private:
    int& m_ready;
};

}  // namespace

void CXTessoraProDlg::HideActKeyPanel() {
    if (m_pActKeyPanel && m_pActKeyPanel->m_hWnd) m_pActKeyPanel->ShowWindow(SW_HIDE);
}

void CXTessoraProDlg::MoveActKeyPanelToWorkArea() {
    if (!m_pActKeyPanel || !m_pActKeyPanel->m_hWnd) return;
    const RECT work = WorkArea();
    m_pActKeyPanel->MoveToMonitor(work.left, work.top, work.right, work.bottom, 0, 0);
}

void CXTessoraProDlg::ShowActKeyPanel() {
    // The panel never takes the focus from the window the user is typing into.
    if (m_pActKeyPanel && m_pActKeyPanel->m_hWnd) m_pActKeyPanel->ShowWindow(SW_SHOWNOACTIVATE);
}

std::vector<CString> CXTessoraProDlg::CurrentExcludeNames() const {
    std::vector<CString> names;
    if (!m_pRuleStore || !m_pRuleStore->m_pExcludes) return names;
    names.reserve(static_cast<size_t>(m_pRuleStore->m_nExcludeCount > 0 ? m_pRuleStore->m_nExcludeCount : 0));
    for (int i = 0; i < m_pRuleStore->m_nExcludeCount; ++i) names.push_back(m_pRuleStore->m_pExcludes[i].name);
    return names;
}

LRESULT CXTessoraProDlg::OnCopyData(WPARAM wp, LPARAM lp) {
    const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    // Nothing a key sequence touches exists before start-up has finished.
    if (!m_bStarted || !cds || !m_pSettings) return FALSE;
    const engine::HotkeyDecision d = engine::ClassifyHotkeyMessage(
        cds->dwData, cds->lpData, cds->cbData, m_bReady, m_pSettings->m_nShowHotkey, AnsiKeyText);
    // Only our own library's three bytes are read; anything shorter is ignored.
    if (d.action == engine::HotkeyAction::kMalformed) return FALSE;

    // Stage 1: the panel's preview of a first key and its hide timer.
    if (d.stage1HidePanel) HideActKeyPanel();
    if (d.stage1SetKey1) m_strKey1 = d.stage1Key1;
    if (d.preview) {
        m_strActKey = d.previewActKey;
        if (m_pActKeyPanel) {
            m_pActKeyPanel->m_strActKeyName = d.previewActKeyName;
            m_pActKeyPanel->m_strFirstKey = m_strKey1;
            m_pActKeyPanel->m_strSecondKey = L"";
        }
        MoveActKeyPanelToWorkArea();
        ShowActKeyPanel();
    }
    if (d.timerPeriodMs) {
        KillTimer(IDT_HIDE_ACTKEYPANEL);
        SetTimer(IDT_HIDE_ACTKEYPANEL, static_cast<UINT>(d.timerPeriodMs));
    }

    // Stage 2: one sequence at a time; moving windows lets sent messages in, this one among them.
    // A complete sequence that arrives meanwhile is kept (only the newest) and carried out once the
    // running one is done, so that the last sequence typed is the last one applied.
    if (d.action == engine::HotkeyAction::kBusy) {
        if (cds->dwData == engine::kHookSequence && cds->cbData >= 3) {
            memcpy(m_pendingSequence, cds->lpData, 3);
            m_bSequencePending = true;
        }
    } else {
        ReadyGuard guard(m_bReady);
        RunSequence(d);
        while (m_bSequencePending) {
            m_bSequencePending = false;
            const engine::HotkeyDecision next =
                engine::ClassifyHotkeyMessage(engine::kHookSequence, m_pendingSequence, 3, 1,
                                              m_pSettings->m_nShowHotkey, AnsiKeyText);
            RunSequence(next);
        }
    }
    return DefWindowProc(WM_COPYDATA, wp, lp);
}

void CXTessoraProDlg::RunSequence(const engine::HotkeyDecision& d) {
    m_strKey1 = d.key1;
    m_strKey2 = d.key2;
    m_strActKey = d.actKey;
    if (d.action == engine::HotkeyAction::kIncomplete) return;
    if (d.refreshMonitors && m_pWindowUtil) m_pWindowUtil->GetMonitorRects(&m_nScreenCount, m_screens);
    switch (d.action) {
    case engine::HotkeyAction::kGrid:
        SplitScreenGrid(d.rows, d.columns, 0);
        break;
    case engine::HotkeyAction::kUndo:
        UndoLayout();
        break;
    case engine::HotkeyAction::kUserRule: {
        const int id = m_pRuleStore ? m_pRuleStore->FindRuleByHotkey(d.ruleName) : 0;
        if (id > 0) {
            SplitScreenUserDefined(1, id);
        } else {
            POINT pt = {};
            GetCursorPos(&pt);
            m_nCurScreen = engine::MonitorIndexFromPoint(m_screens, m_nScreenCount, pt.x, pt.y);
            m_strLogHead = engine::FormatKeysLogHead(m_nScreenCount, m_nCurScreen, m_screens[m_nCurScreen],
                                                     m_pSettings->m_nExecuteHotkeyType, m_strActKey, m_strKey1,
                                                     m_strKey2);
            m_strLogTail = engine::FormatNotDefinedLogLine(m_strLogHead);
            if (m_pLog) m_pLog->Log(m_strLogTail);
        }
        break;
    }
    default:
        break;
    }
    // The windows first, the panel after: drawing it would only delay the first move.
    if (m_pSettings->m_nShowHotkey == 1) {
        if (d.panelHide) HideActKeyPanel();
        if (d.panelMove) MoveActKeyPanelToWorkArea();
        if (d.panelShowSecondKey && m_pActKeyPanel && m_pActKeyPanel->m_hWnd) {
            m_pActKeyPanel->SetKeyText(m_strKey2);
            ShowActKeyPanel();
        }
    }
    if (d.restoreHook) m_hook.RestoreHook();
}

void CXTessoraProDlg::CreateWindowUtil() { m_pWindowUtil = new CWindowUtil; }

void CXTessoraProDlg::CreateActKeyPanel() {
    m_pActKeyPanel = new CActKeyPanel(nullptr);
    m_pActKeyPanel->Create(IDD_ACTKEY_PANEL, this);
}
