#include "update/VetchThread.h"

#include <process.h>

CVetchThread::CVetchThread() {
    m_hIdle = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    if (m_hIdle) SetEvent(m_hIdle);
}

CVetchThread::~CVetchThread() {
    if (m_hIdle) CloseHandle(m_hIdle);
}

bool CVetchThread::Start() {
    if (m_hThread) return true;
    if (!m_hIdle) return false;
    // cleared before the thread exists, so a run that ends at once still leaves it set
    ResetEvent(m_hIdle);
    unsigned id = 0;
    // the CRT's own thread start: the run uses C++ strings and exceptions
    HANDLE h = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CVetchThread::ThreadProc, this, 0, &id));
    if (!h) {
        SetEvent(m_hIdle);
        return false;
    }
    m_dwThreadId = id;
    m_hThread = h;
    return true;
}

unsigned __stdcall CVetchThread::ThreadProc(void* param) {
    CVetchThread* self = static_cast<CVetchThread*>(param);
    try {
        self->Run();
    } catch (...) {
        // nothing may leave a thread entry; Run reports its own failures
    }
    SetEvent(self->m_hIdle);
    return 0;
}

void CVetchThread::Wait() {
    if (m_hIdle) WaitForSingleObject(m_hIdle, INFINITE);
    HANDLE h = reinterpret_cast<HANDLE>(InterlockedExchangePointer(reinterpret_cast<PVOID*>(&m_hThread), nullptr));
    if (h) {
        WaitForSingleObject(h, INFINITE);
        CloseHandle(h);
    }
}

bool CVetchThread::IsRunning() const { return m_hIdle && WaitForSingleObject(m_hIdle, 0) == WAIT_TIMEOUT; }
