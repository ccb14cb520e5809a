// The event trace and the progress and clean-up observers.
#include "Internal.h"

namespace
{
struct Sinks
{
    CRITICAL_SECTION lock;
    STANDIN_TRACE_SINK pfnTrace = NULL;
    void* pTraceContext = NULL;
    STANDIN_PROGRESS_SINK pfnProgress = NULL;
    void* pProgressContext = NULL;
    STANDIN_CLEANUP_SINK pfnCleanUp = NULL;
    void* pCleanUpContext = NULL;
    Sinks() { ::InitializeCriticalSection(&lock); }
    ~Sinks() { ::DeleteCriticalSection(&lock); }
} g_sinks;
} // namespace

void StandinSetTraceSink(STANDIN_TRACE_SINK pfnSink, void* pContext)
{
    ::EnterCriticalSection(&g_sinks.lock);
    g_sinks.pfnTrace = pfnSink;
    g_sinks.pTraceContext = pContext;
    ::LeaveCriticalSection(&g_sinks.lock);
}

// Events come from the window thread and from workers; the lock keeps each line whole and the
// lines in the order in which the calls happened.
void StandinTrace(const char* pszJson)
{
    ::EnterCriticalSection(&g_sinks.lock);
    if (g_sinks.pfnTrace != NULL)
        g_sinks.pfnTrace(pszJson, g_sinks.pTraceContext);
    ::LeaveCriticalSection(&g_sinks.lock);
}

void StandinSetProgressSink(STANDIN_PROGRESS_SINK pfnSink, void* pContext)
{
    ::EnterCriticalSection(&g_sinks.lock);
    g_sinks.pfnProgress = pfnSink;
    g_sinks.pProgressContext = pContext;
    ::LeaveCriticalSection(&g_sinks.lock);
}

void ReportProgress(int nPercent)
{
    ::EnterCriticalSection(&g_sinks.lock);
    STANDIN_PROGRESS_SINK pfnSink = g_sinks.pfnProgress;
    void* pContext = g_sinks.pProgressContext;
    ::LeaveCriticalSection(&g_sinks.lock);
    if (pfnSink != NULL)
        pfnSink(nPercent, pContext);
}

void StandinSetCleanUpSink(STANDIN_CLEANUP_SINK pfnSink, void* pContext)
{
    ::EnterCriticalSection(&g_sinks.lock);
    g_sinks.pfnCleanUp = pfnSink;
    g_sinks.pCleanUpContext = pContext;
    ::LeaveCriticalSection(&g_sinks.lock);
}

void ReportCleanUp(CWinThread** ppThread)
{
    ::EnterCriticalSection(&g_sinks.lock);
    STANDIN_CLEANUP_SINK pfnSink = g_sinks.pfnCleanUp;
    void* pContext = g_sinks.pCleanUpContext;
    ::LeaveCriticalSection(&g_sinks.lock);
    if (pfnSink != NULL)
        pfnSink(ppThread, pContext);
}
