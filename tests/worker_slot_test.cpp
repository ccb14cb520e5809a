// WorkerSlot: the thread object outlives its thread until the window thread reaps it, whatever
// the host's CleanThread does with it, and reaping serves what the worker sends meanwhile.
#include "WorkerSlot.h"

#include <gtest/gtest.h>

namespace
{
struct Worker
{
    WorkerSlot slot;
    HANDLE hStarted = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    HANDLE hGo = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    HWND hWindow = NULL;
    ~Worker()
    {
        ::CloseHandle(hGo);
        ::CloseHandle(hStarted);
    }
};

// Says it has started, waits for the go, clears its slot as a page's worker does at its end, and,
// when there is a window, sends it a message afterwards as a worker's last host calls may.
UINT ClearAndEnd(LPVOID pParam)
{
    Worker* pWorker = static_cast<Worker*>(pParam);
    ::SetEvent(pWorker->hStarted);
    ::WaitForSingleObject(pWorker->hGo, INFINITE);
    pWorker->slot.Clear();
    if (pWorker->hWindow != NULL)
        ::SendMessageW(pWorker->hWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sent"));
    return 0;
}

TEST(WorkerSlot, AThreadObjectReadJustBeforeTheWorkerClearsItsSlotStaysUsable)
{
    Worker worker;
    ASSERT_TRUE(worker.slot.Start(&ClearAndEnd, &worker));
    EXPECT_TRUE(worker.slot.IsSet());
    // The host's CleanThread reads the pointer; the worker then ends before the host uses it.
    CWinThread* pThread = *worker.slot.Address();
    // Real MFC deletes an auto-deleting object at thread exit, without any lock.
    EXPECT_FALSE(pThread->m_bAutoDelete);
    ::SetEvent(worker.hGo);
    EXPECT_EQ(::WaitForSingleObject(pThread->m_hThread, 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(worker.slot.IsSet());
    DWORD dwExit = 1;
    EXPECT_TRUE(::GetExitCodeThread(pThread->m_hThread, &dwExit));
    EXPECT_EQ(dwExit, 0u);
    worker.slot.Reap();
}

TEST(WorkerSlot, AHostThatTerminatesTheWorkerAndClearsTheSlotLeavesItReapable)
{
    Worker worker;
    ASSERT_TRUE(worker.slot.Start(&ClearAndEnd, &worker));
    CWinThread* pThread = *worker.slot.Address();
    // The host terminates only a worker that has been running for seconds, never one that is
    // still starting (a thread cut off inside its start-up may leave the loader's locks held).
    ASSERT_EQ(::WaitForSingleObject(worker.hStarted, 10000), WAIT_OBJECT_0);
    ::TerminateThread(pThread->m_hThread, 1);
    ::WaitForSingleObject(pThread->m_hThread, INFINITE);
    ::InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(worker.slot.Address()), NULL);
    EXPECT_FALSE(worker.slot.IsSet());
    worker.slot.Reap();
}

TEST(WorkerSlot, ReapingServesWhatTheEndingWorkerSendsToTheWindowThread)
{
    Worker worker;
    worker.hWindow =
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    ASSERT_NE(worker.hWindow, nullptr);
    ASSERT_TRUE(worker.slot.Start(&ClearAndEnd, &worker));
    ::SetEvent(worker.hGo);
    worker.slot.Reap();
    WCHAR szText[8] = {0};
    ::GetWindowTextW(worker.hWindow, szText, 8);
    EXPECT_STREQ(szText, L"sent");
    ::DestroyWindow(worker.hWindow);
}

TEST(WorkerSlot, StartingAgainReapsThePreviousThread)
{
    Worker worker;
    ::SetEvent(worker.hGo);
    for (int i = 0; i < 20; i++)
    {
        ASSERT_TRUE(worker.slot.Start(&ClearAndEnd, &worker));
        while (worker.slot.IsSet())
            ::Sleep(1);
    }
    worker.slot.Reap();
}
} // namespace
