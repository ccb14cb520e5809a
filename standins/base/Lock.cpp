// The global HART lock.
#include "Internal.h"

#include <JsonLine.h>

namespace
{
// The id of the thread that holds the lock; 0 when it is free.
volatile LONG g_nOwner = 0;
volatile LONG g_bBusyElsewhere = FALSE;

// Attempts are this far apart, so TryLock(5) waits at most a fifth of a second.
const DWORD kTryInterval = 40;
} // namespace

int FdLock::TryLock(int nTries)
{
    LONG nSelf = static_cast<LONG>(::GetCurrentThreadId());
    int nResult = 0;
    for (int nTry = 0; nTry < nTries; nTry++)
    {
        if (nTry > 0 && StandinWaitCancelled(kTryInterval))
            break;
        if (!::InterlockedCompareExchange(&g_bBusyElsewhere, FALSE, FALSE) &&
            ::InterlockedCompareExchange(&g_nOwner, nSelf, 0) == 0)
        {
            nResult = 1;
            break;
        }
    }
    StandinTrace(JsonLine("lock")
                     .Add("op", "TryLock")
                     .Add("tries", nTries)
                     .Add("result", nResult)
                     .Str()
                     .c_str());
    return nResult;
}

void FdLock::UnLock()
{
    StandinTrace(JsonLine("lock").Add("op", "UnLock").Str().c_str());
    LONG nSelf = static_cast<LONG>(::GetCurrentThreadId());
    ::InterlockedCompareExchange(&g_nOwner, 0, nSelf);
}

BOOL ReleaseHartLockOf(DWORD nThreadID)
{
    LONG nOwner = static_cast<LONG>(nThreadID);
    return ::InterlockedCompareExchange(&g_nOwner, 0, nOwner) == nOwner;
}

void StandinSetLockBusy(BOOL bBusy)
{
    ::InterlockedExchange(&g_bBusyElsewhere, bBusy);
}

BOOL StandinIsHartLockHeld()
{
    return ::InterlockedCompareExchange(&g_nOwner, 0, 0) != 0;
}
