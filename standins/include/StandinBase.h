// Controls of the stand-in base.dll that only the stand-in host and the tests use: the event
// trace, the HART lock as another party holds it, the timer period, the progress and clean-up
// observers and the cancellation of workers that a page stops.
#pragma once

#include <base.h>

typedef void(CALLBACK* STANDIN_TRACE_SINK)(const char* pszJson, void* pContext);
typedef void(CALLBACK* STANDIN_PROGRESS_SINK)(int nPercent, void* pContext);

// Every host call that a page makes is reported to the sink as one JSON line, in order.
BASE_API void StandinSetTraceSink(STANDIN_TRACE_SINK pfnSink, void* pContext);
BASE_API void StandinTrace(const char* pszJson);

// While set, another party holds the HART lock: TryLock answers 0.
BASE_API void StandinSetLockBusy(BOOL bBusy);
// Whether any thread of this process holds the HART lock.
BASE_API BOOL StandinIsHartLockHeld();
// The period of every XTimer started from now on.
BASE_API void StandinSetTimerPeriod(DWORD dwMilliseconds);
BASE_API void StandinSetProgressSink(STANDIN_PROGRESS_SINK pfnSink, void* pContext);

typedef void(CALLBACK* STANDIN_CLEANUP_SINK)(CWinThread** ppThread, void* pContext);
// Every call of a page's CleanThread is reported to the sink with the address it was given, before
// the call does anything else.
BASE_API void StandinSetCleanUpSink(STANDIN_CLEANUP_SINK pfnSink, void* pContext);

// While set, CleanThread behaves as a plain host's would: it waits on the worker's handle with
// WaitForSingleObject and terminates the worker after its limit, without telling it to stop,
// serving sent messages or answering its message boxes. The "terminated" event then says which
// locks the worker left held; the stand-in frees them, so that a run can go on.
BASE_API void StandinSetPlainHost(BOOL bPlain);

// Whether the calling thread is a worker that a page is stopping.
BASE_API BOOL StandinIsCancelled();
// Waits up to dwMilliseconds; returns early with TRUE when the calling thread is being stopped.
BASE_API BOOL StandinWaitCancelled(DWORD dwMilliseconds);
