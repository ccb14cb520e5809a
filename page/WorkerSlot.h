// WorkerSlot: the page's pointer to one of its worker threads. The window thread sets it when it
// starts the worker and reads it to refuse a second start; the worker clears it at its end; the
// host's CleanThread reads and clears it through its address. Every access is interlocked, so the
// two threads always see a whole, current pointer.
#pragma once

#include <afxwin.h>

class WorkerSlot
{
public:
    WorkerSlot() : m_pThread(NULL) {}

    CWinThread* Get() const
    {
        return static_cast<CWinThread*>(::InterlockedCompareExchangePointer(
            const_cast<PVOID volatile*>(reinterpret_cast<PVOID const volatile*>(&m_pThread)), NULL,
            NULL));
    }
    bool IsSet() const { return Get() != NULL; }
    void Set(CWinThread* pThread)
    {
        ::InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&m_pThread), pThread);
    }
    void Clear() { Set(NULL); }
    // The address that the host's CleanThread takes.
    CWinThread** Address() { return const_cast<CWinThread**>(&m_pThread); }

private:
    WorkerSlot(const WorkerSlot&) = delete;
    void operator=(const WorkerSlot&) = delete;

    CWinThread* volatile m_pThread;
};

static_assert(sizeof(WorkerSlot) == sizeof(CWinThread*), "a slot is one pointer");
