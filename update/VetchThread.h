// Base of the program's worker threads: one run of Run() per Start(), an idle event that is
// clear exactly while a run is in progress, and Wait() that joins the last run.
#pragma once

#include <windows.h>

class CVetchThread {
public:
    CVetchThread();
    virtual ~CVetchThread();
    CVetchThread(const CVetchThread&) = delete;
    CVetchThread& operator=(const CVetchThread&) = delete;

    virtual void Run() = 0;

    // Starts one run; true also when a thread is still held (nothing is started then).
    bool Start();
    // Blocks until no run is in progress, then joins and releases the last run's thread.
    void Wait();
    // Whether a run is in progress (the idle event is clear).
    bool IsRunning() const;

    static unsigned __stdcall ThreadProc(void* param);

protected:
    DWORD m_dwThreadId = 0;
    HANDLE m_hThread = nullptr;
    HANDLE m_hIdle = nullptr;  // null when it could not be created: then nothing ever starts
};
