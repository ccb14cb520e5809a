// Workers that a page is stopping: their cancellable waits end at once.
#include "Internal.h"

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

// The end is read from the performance counter, not the tick count: the tick count moves in
// steps (under Wine only when its server runs), and every step it lags lengthens the wait.
BOOL StandinWaitCancelled(DWORD dwMilliseconds)
{
    DWORD nThreadID = ::GetCurrentThreadId();
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    const LONGLONG llEnd =
        now.QuadPart + static_cast<LONGLONG>(dwMilliseconds) * frequency.QuadPart / 1000;
    ::EnterCriticalSection(&g_cancel.lock);
    bool bCancelled = g_cancel.Contains(nThreadID);
    for (::QueryPerformanceCounter(&now); !bCancelled && now.QuadPart < llEnd;
         ::QueryPerformanceCounter(&now))
    {
        // Rounded up, so that the wait does not end a fraction of a millisecond early and go round.
        LONGLONG llLeft = (llEnd - now.QuadPart) * 1000;
        DWORD dwLeft = static_cast<DWORD>((llLeft + frequency.QuadPart - 1) / frequency.QuadPart);
        ::SleepConditionVariableCS(&g_cancel.changed, &g_cancel.lock, dwLeft);
        bCancelled = g_cancel.Contains(nThreadID);
    }
    ::LeaveCriticalSection(&g_cancel.lock);
    return bCancelled;
}
