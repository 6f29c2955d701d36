#include "hook/Tarnquilcore.h"

#include <new>

#include "hook/HookEngine.h"

using tarnquil::HookEngine;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        HookEngine::ProcessAttach(instance);
        break;
    case DLL_PROCESS_DETACH:
        HookEngine::ProcessDetach(reserved != nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}

CTarnquilcore::CTarnquilcore() : m_pEngine(new (std::nothrow) HookEngine) {}

CTarnquilcore::~CTarnquilcore() {
    delete m_pEngine;  // stops first
}

int CTarnquilcore::StartHook(HWND hWnd) {
    if (!m_pEngine || !hWnd || !IsWindow(hWnd)) return 0;
    return m_pEngine->Start(hWnd) ? 1 : 0;
}

int CTarnquilcore::StopHook() { return m_pEngine && m_pEngine->Stop() ? 1 : 0; }

int CTarnquilcore::RestoreHook() { return m_pEngine && m_pEngine->Restore() ? 1 : 0; }

void CTarnquilcore::setExecuteType(int nType) {
    if (m_pEngine) m_pEngine->SetExecuteType(nType);
}

BOOL CTarnquilcoreDiag::GetStats(const CTarnquilcore& hook, TarnquilcoreStats* pStats) {
    if (!hook.m_pEngine || !pStats) return FALSE;
    hook.m_pEngine->GetStats(pStats);
    return TRUE;
}

BOOL CTarnquilcoreDiag::EnableTiming(CTarnquilcore& hook, BOOL bEnable) {
    return hook.m_pEngine && hook.m_pEngine->EnableTiming(bEnable != FALSE);
}

int CTarnquilcoreDiag::ReadTiming(const CTarnquilcore& hook, TarnquilcoreTiming* pOut, int nMax) {
    return hook.m_pEngine ? hook.m_pEngine->ReadTiming(pOut, nMax) : 0;
}

BOOL CTarnquilcoreDiag::SimulateDrop(CTarnquilcore& hook) {
    return hook.m_pEngine && hook.m_pEngine->SimulateDrop();
}

void CTarnquilcoreDiag::SetHealthInterval(CTarnquilcore& hook, DWORD dwMilliseconds) {
    if (hook.m_pEngine) hook.m_pEngine->SetHealthInterval(dwMilliseconds);
}
