// Times the refresh on the realistic wire (1200 bit/s) against what the wire model says its
// three command-223 exchanges take plus the page's 200 ms pause, and on the fast wire against
// the pause alone. Each refresh is split at the host calls the page makes: the start (click to
// the first progress report), the requests, the pause (the last answer to progress 0) and the
// end (to the worker's exit and the redrawn display). Separate refreshes measure the window
// thread's longest stall: a second thread keeps one message posted to a window of the window
// thread and times how long each waits to be handled. Prints table rows; asserts nothing.
#include "BenchTable.h"

#include <HostApp.h>
#include <StandinHart.h>

#include <HartFrame.h>
#include <Transmitter.h>
#include <WireModel.h>

#include <string.h>
#include <string>

namespace
{
CHostApp theApp;

const WORD kRefreshButton = 1016;
const double kPauseMs = 200.0;
const int kRealisticRuns = 7;
const int kFastRuns = 21;
const UINT WM_PROBE = WM_APP + 1;

// The wire time of the three base-data reads, from the frames a default transmitter exchanges.
double WireTimeOfRefreshMs()
{
    hartsim::Transmitter transmitter;
    hartsim::WireModel wire = hartsim::WireModel::Timed();
    std::chrono::microseconds total{0};
    for (uint8_t block = 0; block < 3; block++)
    {
        std::vector<uint8_t> request =
            hartsim::EncodeRequest({transmitter.Address(), 223, {block}});
        std::vector<uint8_t> answer = transmitter.Exchange(request);
        total += wire.Exchange(request.size(), answer.size());
    }
    return std::chrono::duration<double, std::milli>(total).count();
}

// What the trace tells about one refresh: when the worker first reported progress, when its
// last request came back, when the pause ended, and the worker's thread to wait for.
struct Watch
{
    CRITICAL_SECTION lock;
    DWORD dwWindowThread = 0;
    HANDLE hWorker = NULL;
    HANDLE hWorkerSeen = NULL;
    double firstProgress = 0, lastSend = 0, pauseEnd = 0;
} g_watch;

bool Starts(const char* pszJson, const char* pszPrefix)
{
    return strncmp(pszJson, pszPrefix, strlen(pszPrefix)) == 0;
}

void CALLBACK OnTrace(const char* pszJson, void*)
{
    double now = bench::NowMs();
    ::EnterCriticalSection(&g_watch.lock);
    if (g_watch.hWorker == NULL && ::GetCurrentThreadId() != g_watch.dwWindowThread)
    {
        g_watch.hWorker = ::OpenThread(SYNCHRONIZE, FALSE, ::GetCurrentThreadId());
        ::SetEvent(g_watch.hWorkerSeen);
    }
    if (Starts(pszJson, "{\"ev\":\"progress\""))
    {
        if (g_watch.firstProgress == 0)
            g_watch.firstProgress = now;
        if (strstr(pszJson, "\"value\":0}") != NULL)
            g_watch.pauseEnd = now;
    }
    else if (Starts(pszJson, "{\"ev\":\"send\""))
        g_watch.lastSend = now;
    ::LeaveCriticalSection(&g_watch.lock);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

// A thread that posts WM_PROBE to a window of the window thread, waits until the window has
// handled it, notes how long that took, and posts the next one a millisecond later, until told
// to stop. The longest wait is the longest time the window thread answered no message.
struct Probe
{
    HWND hWnd = NULL;
    HANDLE hAnswered = NULL;
    HANDLE hThread = NULL;
    volatile LONG nStop = 0;
    double longestMs = 0;
} g_probe;

LRESULT CALLBACK ProbeWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_PROBE)
    {
        ::SetEvent(g_probe.hAnswered);
        return 0;
    }
    return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

DWORD WINAPI ProbeThread(LPVOID)
{
    while (::InterlockedCompareExchange(&g_probe.nStop, 0, 0) == 0)
    {
        double posted = bench::NowMs();
        ::PostMessageW(g_probe.hWnd, WM_PROBE, 0, 0);
        ::WaitForSingleObject(g_probe.hAnswered, INFINITE);
        g_probe.longestMs = std::max(g_probe.longestMs, bench::NowMs() - posted);
        ::Sleep(1);
    }
    return 0;
}

void StartProbe()
{
    g_probe.nStop = 0;
    g_probe.longestMs = 0;
    g_probe.hThread = ::CreateThread(NULL, 0, &ProbeThread, NULL, 0, NULL);
}

// Stops the probe and returns its longest wait; the window thread serves the last probe.
double StopProbe()
{
    ::InterlockedExchange(&g_probe.nStop, 1);
    while (::MsgWaitForMultipleObjects(1, &g_probe.hThread, FALSE, INFINITE, QS_ALLINPUT) !=
           WAIT_OBJECT_0)
        Pump();
    ::CloseHandle(g_probe.hThread);
    return g_probe.longestMs;
}

struct Split
{
    double total, start, requests, pause, end;
};

// Clicks Refresh, then serves the window's messages until the worker's thread has ended, and
// handles what it posted.
Split TimeOneRefresh(PageHost& host)
{
    ::EnterCriticalSection(&g_watch.lock);
    g_watch.hWorker = NULL;
    g_watch.firstProgress = g_watch.lastSend = g_watch.pauseEnd = 0;
    ::ResetEvent(g_watch.hWorkerSeen);
    ::LeaveCriticalSection(&g_watch.lock);

    double click = bench::NowMs();
    host.Page()->SendMessage(WM_COMMAND, MAKEWPARAM(kRefreshButton, BN_CLICKED), 0);
    HANDLE hWaitFor = g_watch.hWorkerSeen;
    for (;;)
    {
        DWORD dwResult = ::MsgWaitForMultipleObjects(1, &hWaitFor, FALSE, INFINITE, QS_ALLINPUT);
        Pump();
        if (dwResult != WAIT_OBJECT_0)
            continue;
        if (hWaitFor != g_watch.hWorkerSeen)
            break;
        ::EnterCriticalSection(&g_watch.lock);
        hWaitFor = g_watch.hWorker;
        ::LeaveCriticalSection(&g_watch.lock);
    }
    Pump();
    double done = bench::NowMs();
    ::CloseHandle(g_watch.hWorker);
    return {done - click, g_watch.firstProgress - click, g_watch.lastSend - g_watch.firstProgress,
            g_watch.pauseEnd - g_watch.lastSend, done - g_watch.pauseEnd};
}

UINT AFX_CDECL EmptyWorker(LPVOID)
{
    return 0;
}

// The floor of a worker's start and end: a thread started as the page starts its workers
// (AfxBeginThread, suspended, then resumed) that ends at once, until its handle signals.
double ThreadFloorMs(int nRuns)
{
    std::vector<double> runs;
    for (int i = 0; i <= nRuns; i++)
    {
        double start = bench::NowMs();
        CWinThread* pThread =
            AfxBeginThread(&EmptyWorker, NULL, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, NULL);
        pThread->m_bAutoDelete = FALSE;
        pThread->ResumeThread();
        ::WaitForSingleObject(pThread->m_hThread, INFINITE);
        double ended = bench::NowMs();
        delete pThread;
        if (i > 0)
            runs.push_back(ended - start);
    }
    return bench::Median(runs);
}

void Row(const char* pszWhat, double ms, const std::string& how)
{
    char szFigure[64];
    snprintf(szFigure, sizeof(szFigure), "%.1f ms", ms);
    bench::PrintRow(pszWhat, szFigure, how.c_str());
}

// Runs the refreshes and prints the figure against the expected time, then the split.
void Measure(PageHost& host, bool bRealWire, int nRuns)
{
    StandinSetRealWire(bRealWire ? TRUE : FALSE);
    double wireMs = bRealWire ? WireTimeOfRefreshMs() : 0.0;
    double expectedMs = wireMs + kPauseMs;
    TimeOneRefresh(host);
    std::vector<double> total, start, requests, pause, end;
    for (int i = 0; i < nRuns; i++)
    {
        Split split = TimeOneRefresh(host);
        total.push_back(split.total - expectedMs);
        start.push_back(split.start);
        requests.push_back(split.requests - wireMs);
        pause.push_back(split.pause - kPauseMs);
        end.push_back(split.end);
    }
    char szFigure[96], szHow[128];
    double over = bench::Median(total);
    std::string runs = "median of " + std::to_string(nRuns) + " refreshes";
    if (bRealWire)
    {
        snprintf(szFigure, sizeof(szFigure), "%+.1f ms (%+.2f %%)", over,
                 100.0 * over / expectedMs);
        snprintf(szHow, sizeof(szHow), "over %.1f ms: wire model %.1f ms + pause 200 ms; %s",
                 expectedMs, wireMs, runs.c_str());
        bench::PrintRow("refresh, realistic wire (1200 bit/s)", szFigure, szHow);
    }
    else
    {
        snprintf(szFigure, sizeof(szFigure), "%+.1f ms", over);
        snprintf(szHow, sizeof(szHow), "beyond the 200 ms pause; %s", runs.c_str());
        bench::PrintRow("refresh, fast wire", szFigure, szHow);
    }
    Row("&nbsp;&nbsp;start: click to the first progress report", bench::Median(start), runs);
    Row("&nbsp;&nbsp;requests beyond the wire model", bench::Median(requests), runs);
    Row("&nbsp;&nbsp;pause beyond 200 ms", bench::Median(pause), runs);
    Row("&nbsp;&nbsp;end: progress 0 to the worker's exit and the redrawn display",
        bench::Median(end), runs);
    if (!bRealWire)
        Row("&nbsp;&nbsp;floor: a thread that ends at once, from AfxBeginThread to its end",
            ThreadFloorMs(nRuns), "median of " + std::to_string(nRuns) + " threads");

    std::vector<double> stalls;
    for (int i = 0; i < nRuns; i++)
    {
        StartProbe();
        TimeOneRefresh(host);
        stalls.push_back(StopProbe());
    }
    snprintf(szHow, sizeof(szHow),
             "the longest a message posted to the window thread waited, per refresh; median "
             "(longest) of %d refreshes",
             nRuns);
    snprintf(szFigure, sizeof(szFigure), "%.1f ms (%.1f ms)", bench::Median(stalls),
             *std::max_element(stalls.begin(), stalls.end()));
    bench::PrintRow("&nbsp;&nbsp;the window thread's longest stall", szFigure, szHow);
}
} // namespace

int main()
{
    theApp.SetScripted(true);
    ::InitializeCriticalSection(&g_watch.lock);
    g_watch.dwWindowThread = ::GetCurrentThreadId();
    g_watch.hWorkerSeen = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    StandinAttachTransmitter(0);
    HWND hParent =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 900, 600, NULL, NULL, NULL, NULL);
    WNDCLASSW probeClass = {};
    probeClass.lpfnWndProc = &ProbeWndProc;
    probeClass.lpszClassName = L"KestrumBenchProbe";
    ::RegisterClassW(&probeClass);
    g_probe.hWnd = ::CreateWindowExW(0, L"KestrumBenchProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     NULL, NULL, NULL);
    g_probe.hAnswered = ::CreateEventW(NULL, FALSE, FALSE, NULL);
    PageHost host;
    std::string error;
    if (!host.Load(hParent, &error))
    {
        fprintf(stderr, "refresh_bench: %s\n", error.c_str());
        return 1;
    }
    StandinSetTraceSink(&OnTrace, NULL);
    Measure(host, true, kRealisticRuns);
    Measure(host, false, kFastRuns);
    StandinSetTraceSink(NULL, NULL);

    host.Unload();
    ::DestroyWindow(hParent);
    ::DestroyWindow(g_probe.hWnd);
    ::CloseHandle(g_probe.hAnswered);
    ::CloseHandle(g_watch.hWorkerSeen);
    ::DeleteCriticalSection(&g_watch.lock);
    return 0;
}
