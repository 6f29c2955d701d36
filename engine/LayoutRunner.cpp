// The grid and user-defined layouts and undo on the real desktop: the facts are gathered here,
// the engine's logic plans the moves, and the window filters carry them out.
#include <windows.h>

#include "app/Log.h"
#include "app/Settings.h"
#include "engine/WindowUtil.h"
#include "engine/XTessoraProDlg.h"
#include "engine/core/Layouts.h"
#include "rules/core/RuleStore.h"

namespace {

// What a layout reads from the main window, the settings and the desktop. The monitor table
// itself was refreshed by the dispatch; only the count is read again.
engine::LayoutContext ReadLayoutContext(CXTessoraProDlg& dlg) {
    engine::LayoutContext ctx;
    dlg.m_nScreenCount = GetSystemMetrics(SM_CMONITORS);
    ctx.screens = dlg.m_screens;
    ctx.screenCount = dlg.m_nScreenCount;
    POINT pt = {};
    GetCursorPos(&pt);
    ctx.cursorX = pt.x;
    ctx.cursorY = pt.y;
    if (dlg.m_pSettings) {
        ctx.executeHotkeyType = dlg.m_pSettings->m_nExecuteHotkeyType;
        ctx.overlapWindows = dlg.m_pSettings->m_nOverlapWindows;
    }
    ctx.actKey = dlg.m_strActKey;
    ctx.excludeNames = dlg.CurrentExcludeNames();
    return ctx;
}

// The walk. The store-app hosts are asked (once per layout) only when a window of theirs is
// among the windows: the process snapshot costs more than the rest of the walk.
void ReadWindows(CXTessoraProDlg& dlg, engine::LayoutContext& ctx) {
    ctx.foreground = reinterpret_cast<engine::WindowId>(GetForegroundWindow());
    ctx.windows = dlg.m_pWindowUtil->ReadTopLevelWindows();
    if (CWindowUtil::HasAppFrameWindow(ctx.windows)) dlg.m_pWindowUtil->ProbeUwpHosts();
    ctx.uwp = dlg.m_pWindowUtil->HostFlags();
}

// Moves the windows, keeps the first layout since the last undo, and logs the layout.
void CarryOut(CXTessoraProDlg& dlg, engine::LayoutPlan& plan) {
    dlg.m_nCurScreen = plan.curScreen;
    dlg.m_strLogHead = plan.logHead;
    dlg.m_nLastMoveFailures = dlg.m_pWindowUtil->ApplyMoves(plan.moves);
    dlg.m_placements = std::move(plan.placements);
    engine::RememberLayout(dlg.m_undo, dlg.m_placements);
    dlg.m_strLogTail = plan.logLine;
    if (dlg.m_pLog) dlg.m_pLog->Log(dlg.m_strLogTail);
}

}  // namespace

void CXTessoraProDlg::SplitScreenGrid(int rows, int columns, int) {
    if (!m_pWindowUtil) return;
    engine::LayoutContext ctx = ReadLayoutContext(*this);
    ReadWindows(*this, ctx);
    engine::LayoutPlan plan = engine::PlanGridLayout(ctx, rows, columns);
    CarryOut(*this, plan);
}

void CXTessoraProDlg::SplitScreenUserDefined(int, int ruleId) {
    if (!m_pWindowUtil || !m_pRuleStore) return;
    std::vector<engine::DetailRow> details;
    for (const ActiveDetailRecord& r : m_pRuleStore->LoadActiveDetails(ruleId)) {
        details.push_back(engine::DetailRow{r.screen_id, r.type_id, r.region_id, r.file_path});
    }
    // A rule without an active screen does nothing at all.
    if (details.empty()) return;
    engine::LayoutContext ctx = ReadLayoutContext(*this);
    CRuleStore* store = m_pRuleStore;
    auto loadRegions = [store](int typeId) {
        std::vector<engine::RegionFraction> regions;
        for (const RegionNode& n : store->LoadTypes(typeId)) {
            regions.push_back(engine::RegionFraction{n.x, n.y, n.width, n.height});
        }
        return regions;
    };
    ReadWindows(*this, ctx);
    engine::LayoutPlan plan = engine::PlanUserDefinedLayout(ctx, details, loadRegions, m_strKey1, m_strKey2);
    m_nWorkRight = plan.monitor.width;
    m_nWorkBottom = plan.monitor.height;
    CarryOut(*this, plan);
}

void CXTessoraProDlg::UndoLayout() {
    if (!m_pWindowUtil) return;
    const std::vector<engine::WindowMove> moves = engine::UndoLayout(
        m_undo, [](engine::WindowId id) { return CWindowUtil::IsWindowUsable(reinterpret_cast<HWND>(id)); });
    m_nLastMoveFailures = m_pWindowUtil->ApplyMoves(moves);
}
