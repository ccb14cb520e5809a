// TraceLog: the events the stand-ins trace while it lives, each with the thread it came from and
// the performance counter's reading when it came. Workers report while the window thread reads,
// so the lines are added and read under a lock: a line added meanwhile may move the others.
// PumpUntil is the tests' one message loop on the window thread.
#pragma once

#include <StandinBase.h>

#include <windows.h>

#include <string>
#include <vector>

class TraceLog
{
public:
    struct Line
    {
        std::string text;
        DWORD nThread;
        LONGLONG llTime;
    };

    TraceLog()
    {
        ::InitializeCriticalSection(&m_lock);
        StandinSetTraceSink(&TraceLog::Collect, this);
    }
    ~TraceLog()
    {
        StandinSetTraceSink(NULL, NULL);
        ::DeleteCriticalSection(&m_lock);
    }
    // The lines so far.
    std::vector<Line> Lines()
    {
        ::EnterCriticalSection(&m_lock);
        std::vector<Line> lines = m_lines;
        ::LeaveCriticalSection(&m_lock);
        return lines;
    }
    // The lines so far, which the log then forgets.
    std::vector<Line> Take()
    {
        std::vector<Line> lines;
        ::EnterCriticalSection(&m_lock);
        lines.swap(m_lines);
        ::LeaveCriticalSection(&m_lock);
        return lines;
    }

private:
    TraceLog(const TraceLog&) = delete;
    void operator=(const TraceLog&) = delete;

    static void CALLBACK Collect(const char* pszJson, void* pContext)
    {
        TraceLog* pThis = static_cast<TraceLog*>(pContext);
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        ::EnterCriticalSection(&pThis->m_lock);
        pThis->m_lines.push_back({pszJson, ::GetCurrentThreadId(), now.QuadPart});
        ::LeaveCriticalSection(&pThis->m_lock);
    }

    CRITICAL_SECTION m_lock;
    std::vector<Line> m_lines;
};

// Serves the window thread's messages until done() holds; false when it did not within dwLimit
// milliseconds.
template <typename Done> bool PumpUntil(Done done, DWORD dwLimit = 20000)
{
    ULONGLONG ullEnd = ::GetTickCount64() + dwLimit;
    while (!done())
    {
        if (::GetTickCount64() > ullEnd)
            return false;
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}
