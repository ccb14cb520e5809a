// WorkerSlot: one of the page's worker threads. The slot holds the pointer that the host sees:
// the window thread sets it when it starts the worker and reads it to refuse a second start; the
// worker clears it at its end; the host's CleanThread reads and clears it through its address.
// Every access to that pointer is interlocked, so the threads always see a whole, current pointer.
//
// The thread object itself belongs to the slot, not to the thread: it is created without
// auto-deletion and deleted on the window thread once its thread has ended. A host that reads the
// pointer just before the worker clears it therefore still finds a live object and a valid thread
// handle, whether it then waits on that handle, terminates the thread, or both.
#pragma once

#include <afxwin.h>

class WorkerSlot
{
public:
    WorkerSlot() : m_pThread(NULL), m_pOwned(NULL) {}
    ~WorkerSlot();

    // Window thread. Deletes the slot's previous thread object (waiting for its thread to end),
    // then starts pfnWorker with pParam. The thread runs only once the slot holds it, so a worker
    // that ends at once clears a slot that is really set. FALSE when no thread could be started.
    BOOL Start(AFX_THREADPROC pfnWorker, LPVOID pParam);
    // Window thread. Waits for the last started thread to end and deletes its object. Messages
    // that the thread sends to the window thread meanwhile are served.
    void Reap();

    bool IsSet() const
    {
        return ::InterlockedCompareExchangePointer(
                   const_cast<PVOID volatile*>(reinterpret_cast<PVOID const volatile*>(&m_pThread)),
                   NULL, NULL) != NULL;
    }
    void Clear()
    {
        ::InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&m_pThread), NULL);
    }
    // The address that the host's CleanThread takes.
    CWinThread** Address() { return const_cast<CWinThread**>(&m_pThread); }

private:
    WorkerSlot(const WorkerSlot&) = delete;
    void operator=(const WorkerSlot&) = delete;

    CWinThread* volatile m_pThread;
    CWinThread* m_pOwned; // the window thread's alone
};
