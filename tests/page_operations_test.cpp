// The page's table of operations against what each operation does: for every row, who disables the
// controls and who enables them again, whether the page counts as busy while it runs, whether it
// keeps the other users of the shared request from starting, and where its slot comes in the
// page's calls of the host's CleanThread.
#include <gtest/gtest.h>

#include <HostApp.h>
#include <StandinBase.h>
#include <StandinDevice.h>
#include <StandinHart.h>

#include "../res/resource.h"
#include "TraceLog.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{
CHostApp theApp;

const DWORD kBoundedWait = 20000;

// The host events of one test, from the window thread and from workers.
class Events
{
public:
    std::string Text()
    {
        std::string text;
        for (const TraceLog::Line& line : m_log.Lines())
            text += line.text + "\n";
        return text;
    }
    // The place of the first event at or after nFrom that contains the fragment; -1 if none.
    int Find(const std::string& fragment, int nFrom = 0)
    {
        std::vector<TraceLog::Line> lines = m_log.Lines();
        for (size_t i = nFrom; i < lines.size(); i++)
        {
            if (lines[i].text.find(fragment) != std::string::npos)
                return static_cast<int>(i);
        }
        return -1;
    }
    // The events that contain the fragment and came from the window thread (bWindowThread) or
    // from another thread.
    int Count(const std::string& fragment, bool bWindowThread)
    {
        int nCount = 0;
        for (const TraceLog::Line& line : m_log.Lines())
            nCount += line.text.find(fragment) != std::string::npos &&
                      (line.nThread == m_nWindowThread) == bWindowThread;
        return nCount;
    }

private:
    TraceLog m_log;
    const DWORD m_nWindowThread = ::GetCurrentThreadId();
};

const std::string kPageLock = "\"PageLock\"";
const std::string kTryLock = "\"TryLock\"";
const std::string kPost = "\"ev\":\"post\",\"msg\":2024";
const std::string kSetDisabled = "\"id\":1004,\"enable\":false";
const std::string kSetEnabled = "\"id\":1004,\"enable\":true";
const std::string kProgressZero = "\"progress\",\"value\":0";

class PageOperationsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        theApp.SetScripted(true);
        StandinAttachTransmitter(0);
    }

    void SetUp() override
    {
        m_hParent = ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 900, 600, NULL, NULL,
                                      NULL, NULL);
        std::string error;
        ASSERT_TRUE(m_host.Load(m_hParent, &error)) << error;
        StandinSetCurrentDevice(0);
    }

    void TearDown() override
    {
        StandinSetPlainHost(FALSE);
        StandinSetRealWire(FALSE);
        m_host.Unload();
        ::DestroyWindow(m_hParent);
    }

    // Clicks the operation's button with the four Verify references given; its question, if it
    // asks one, is answered Yes.
    void Start(int nOperation)
    {
        static const int kVerifyInputs[] = {IDC_EDT_VERIFY_RANGE_HIGH, IDC_EDT_VERIFY_RANGE_LOW,
                                            IDC_EDT_VERIFY_PRESS, IDC_EDT_VERIFY_TEMP};
        for (int nID : kVerifyInputs)
            ::SetDlgItemTextW(m_host.PageWindow(), nID, L"1");
        theApp.QueueAnswer(IDYES);
        int nButton = PageOperationAt(nOperation).nButton;
        ::SendMessageW(m_host.PageWindow(), WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_host.PageWindow(), nButton)));
    }

    // Serves messages until pfnDone holds; false when it did not within the bounded wait.
    template <typename Done> static bool ServeUntil(Done done)
    {
        DWORD dwStart = ::GetTickCount();
        while (!done())
        {
            if (::GetTickCount() - dwStart > kBoundedWait)
                return false;
            MSG msg;
            while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            ::MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        }
        return true;
    }

    // No worker is left and the completion message has been handled.
    bool WaitIdle()
    {
        if (!ServeUntil([this] { return !m_host.AnyWorker(); }))
            return false;
        DWORD dwStart = ::GetTickCount();
        return ServeUntil([&] { return ::GetTickCount() - dwStart > 150; });
    }

    static void CALLBACK RecordCleanUp(CWinThread** ppThread, void* pContext)
    {
        static_cast<std::vector<CWinThread**>*>(pContext)->push_back(ppThread);
    }

    HWND m_hParent = NULL;
    PageHost m_host;
};

// Fast wire: the whole run of each operation, from the click to the completion.
TEST_F(PageOperationsTest, TheControlsAreSwitchedByWhomTheTableNames)
{
    for (int nOp = 0; nOp < kPageOperationCount; nOp++)
    {
        const PageOperation& operation = PageOperationAt(nOp);
        SCOPED_TRACE(operation.pszName);
        Events events;
        Start(nOp);
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(events.Count(kSetDisabled, true), operation.bStarterDisables ? 1 : 0);
        EXPECT_EQ(events.Count(kSetDisabled, false), operation.bWorkerDisables ? 1 : 0);
        EXPECT_EQ(events.Count(kSetEnabled, false), operation.bWorkerEnables ? 1 : 0);
        int nLocked = events.Find(kPageLock);
        int nPost = events.Find(kPost, nLocked);
        int nEnabled = events.Find(kSetEnabled, nLocked);
        int nProgressZero = events.Find(kProgressZero, nLocked);
        ASSERT_GE(nLocked, 0) << events.Text();
        ASSERT_GE(nPost, 0);
        ASSERT_GE(nEnabled, 0);
        ASSERT_GE(nProgressZero, 0);
        EXPECT_EQ(nEnabled < nPost, operation.bWorkerEnables) << "the worker's tail enables";
        EXPECT_EQ(nProgressZero < nPost, operation.bWorkerEnables) << "the tail's order";
    }
}

// A plain host: the window thread stops the page as soon as the operation started and waits on
// each worker's handle without serving any message. Every worker still runs to its tail and
// releases its locks: none of them waits for the window thread.
TEST_F(PageOperationsTest, EveryWorkerReachesItsTailWhileTheWindowThreadWaitsOnIt)
{
    StandinSetPlainHost(TRUE);
    for (int nOp = 0; nOp < kPageOperationCount; nOp++)
    {
        SCOPED_TRACE(PageOperationAt(nOp).pszName);
        Events events;
        Start(nOp);
        m_host.Page()->StopPage();
        EXPECT_EQ(events.Count("\"ev\":\"terminated\"", true), 0) << events.Text();
        EXPECT_EQ(events.Count(kPost, false), 1) << "the worker's tail";
        EXPECT_FALSE(StandinIsHartLockHeld());
        ASSERT_TRUE(WaitIdle());
    }
}

// Realistic wire: each operation is caught while its worker holds the page lock.
TEST_F(PageOperationsTest, BusyAndTheCleanUpOrderFollowTheTable)
{
    StandinSetRealWire(TRUE);
    for (int nOp = 0; nOp < kPageOperationCount; nOp++)
    {
        const PageOperation& operation = PageOperationAt(nOp);
        SCOPED_TRACE(operation.pszName);
        Events events;
        Start(nOp);
        ASSERT_TRUE(ServeUntil([&] { return events.Find(kPageLock) >= 0; }));
        EXPECT_EQ(m_host.Page()->IsPageBusy() != FALSE, operation.bCountsAsBusy);

        std::vector<CWinThread**> cleaned;
        StandinSetCleanUpSink(&RecordCleanUp, &cleaned);
        m_host.Page()->StopPage();
        StandinSetCleanUpSink(NULL, NULL);
        std::vector<CWinThread**> expected(kPageOperationCount, NULL);
        for (int nOther = 0; nOther < kPageOperationCount; nOther++)
        {
            const PageOperation& other = PageOperationAt(nOther);
            if (!other.bCleanedOnlyWhenSet || nOther == nOp)
                expected[other.nCleanUpPlace] = m_host.SlotAddress(nOther);
        }
        expected.erase(std::remove(expected.begin(), expected.end(), nullptr), expected.end());
        EXPECT_EQ(cleaned, expected);
        ASSERT_TRUE(WaitIdle());
    }
}

// Realistic wire: while each operation runs, a user of the shared request is clicked (Set while
// the refresh runs, the refresh otherwise); it starts, and tries the HART lock, only when the
// running operation leaves the shared request free.
TEST_F(PageOperationsTest, TheSharedRequestKeepsItsOtherUsersFromStarting)
{
    StandinSetRealWire(TRUE);
    int nRefresh = -1, nSet = -1;
    for (int nOp = 0; nOp < kPageOperationCount; nOp++)
    {
        std::string name = PageOperationAt(nOp).pszName;
        nRefresh = name == "refresh" ? nOp : nRefresh;
        nSet = name == "set" ? nOp : nSet;
    }
    ASSERT_GE(nRefresh, 0);
    ASSERT_GE(nSet, 0);
    for (int nOp = 0; nOp < kPageOperationCount; nOp++)
    {
        const PageOperation& operation = PageOperationAt(nOp);
        SCOPED_TRACE(operation.pszName);
        Events events;
        Start(nOp);
        ASSERT_TRUE(ServeUntil([&] { return events.Find(kPageLock) >= 0; }));
        Start(nOp == nRefresh ? nSet : nRefresh);
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(events.Count(kTryLock, false), operation.bUsesSharedRequest ? 1 : 2);
    }
}
} // namespace
