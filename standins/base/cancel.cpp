// Workers that a page is stopping: their cancellable waits end at once.
#include "internal.h"

#include <algorithm>
#include <vector>

namespace
{
struct Cancellation
{
    CRITICAL_SECTION lock;
    CONDITION_VARIABLE changed;
    std::vector<DWORD> threads;
    Cancellation()
    {
        ::InitializeCriticalSection(&lock);
        ::InitializeConditionVariable(&changed);
    }
    ~Cancellation() { ::DeleteCriticalSection(&lock); }
    bool Contains(DWORD nThreadID) const
    {
        return std::find(threads.begin(), threads.end(), nThreadID) != threads.end();
    }
} g_cancel;
} // namespace

void CancelThread(DWORD nThreadID)
{
    ::EnterCriticalSection(&g_cancel.lock);
    g_cancel.threads.push_back(nThreadID);
    ::LeaveCriticalSection(&g_cancel.lock);
    ::WakeAllConditionVariable(&g_cancel.changed);
}

void UncancelThread(DWORD nThreadID)
{
    ::EnterCriticalSection(&g_cancel.lock);
    auto it = std::find(g_cancel.threads.begin(), g_cancel.threads.end(), nThreadID);
    if (it != g_cancel.threads.end())
        g_cancel.threads.erase(it);
    ::LeaveCriticalSection(&g_cancel.lock);
}

BOOL StandinIsCancelled()
{
    ::EnterCriticalSection(&g_cancel.lock);
    bool bCancelled = g_cancel.Contains(::GetCurrentThreadId());
    ::LeaveCriticalSection(&g_cancel.lock);
    return bCancelled;
}

BOOL StandinWaitCancelled(DWORD dwMilliseconds)
{
    DWORD nThreadID = ::GetCurrentThreadId();
    ULONGLONG ullEnd = ::GetTickCount64() + dwMilliseconds;
    ::EnterCriticalSection(&g_cancel.lock);
    bool bCancelled = g_cancel.Contains(nThreadID);
    for (ULONGLONG ullNow = ::GetTickCount64(); !bCancelled && ullNow < ullEnd;
         ullNow = ::GetTickCount64())
    {
        ::SleepConditionVariableCS(&g_cancel.changed, &g_cancel.lock,
                                   static_cast<DWORD>(ullEnd - ullNow));
        bCancelled = g_cancel.Contains(nThreadID);
    }
    ::LeaveCriticalSection(&g_cancel.lock);
    return bCancelled;
}
