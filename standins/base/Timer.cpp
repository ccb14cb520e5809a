// The worker timer.
#include "Internal.h"

namespace
{
volatile LONG g_nPeriod = 2000;
} // namespace

static_assert(sizeof(XTimer) == 24, "the host copies XTimer as 24 bytes");

XTimer::XTimer() : m_llStart(0), m_llFrequency(0), m_dwPeriod(0), m_bStarted(FALSE) {}

BOOL XTimer::Begin()
{
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    m_llFrequency = frequency.QuadPart;
    m_llStart = now.QuadPart;
    m_dwPeriod = static_cast<DWORD>(::InterlockedCompareExchange(&g_nPeriod, 0, 0));
    m_bStarted = TRUE;
    return TRUE;
}

// A timer that was never started counts as run out; so does the timer of a worker being stopped,
// which ends its send loop.
bool XTimer::IsOverTime()
{
    if (!m_bStarted || StandinIsCancelled())
        return true;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return (now.QuadPart - m_llStart) * 1000 / m_llFrequency >= static_cast<LONGLONG>(m_dwPeriod);
}

void StandinSetTimerPeriod(DWORD dwMilliseconds)
{
    ::InterlockedExchange(&g_nPeriod, static_cast<LONG>(dwMilliseconds));
}
