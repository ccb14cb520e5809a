// The host stand-ins as the page meets them through their DLLs: the communication service's
// results, response data and device records; the response-code evaluation; the HART lock, the
// worker timer and the string lookup; the device table's layout as the module reads it.
#include <gtest/gtest.h>

#include <Device.h>

#include <HostApp.h>
#include <StandinBase.h>
#include <StandinDevice.h>
#include <StandinHart.h>
#include <hartSeComm.h>

#include "silent_listener.h"

#include <string.h>
#include <type_traits>
#include <vector>

namespace
{
static_assert(sizeof(FdDeviceMgr().m_dwDevices[0]) == 4, "32-bit words");
static_assert(std::is_same<decltype(FdDeviceMgr().m_nCount), int>::value, "an int first");
static_assert(std::is_same<decltype(FdDeviceMgr().m_nCurrent), int>::value, "an int third");

CHostApp theApp;

const int kRecordSize = 2508;

class ServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StandinResetService();
        StandinResetDevice();
        StandinSetRealWire(FALSE);
        StandinAttachTransmitter(0);
    }
    void TearDown() override { StandinDetachAll(); }

    static float RecordFloat(BYTE byDevice, int nOffset)
    {
        std::vector<BYTE> record(kRecordSize);
        EXPECT_EQ(HartGetDevTable(byDevice, record.data(), kRecordSize), 1);
        float fValue;
        memcpy(&fValue, record.data() + nOffset, 4);
        return fValue;
    }
};

TEST_F(ServiceTest, AnIndexWithoutTransmitterHasNoRecordAndGetsNoAnswer)
{
    std::vector<BYTE> record(kRecordSize, 0xAB);
    EXPECT_EQ(HartGetDevTable(1, record.data(), kRecordSize), 0);
    EXPECT_EQ(HartGetDevTable(64, record.data(), kRecordSize), 0) << "64 devices at most";
    EXPECT_EQ(record[0], 0xAB) << "the buffer is left as it was";
    BYTE byResult = HartSendCmd(0, 1, NULL, 0);
    EXPECT_EQ(byResult & HART_RESULT_RETRY_MASK, HART_RESULT_RETRY_MASK)
        << "silence on the wire reads as 'send again'";
}

TEST_F(ServiceTest, ResultsAndResponseDataOfCompletedAndRefusedCommands)
{
    EXPECT_EQ(HartSendCmd(183, 0, NULL, 0), HART_RESULT_DONE);
    BYTE data[HART_MAX_RSP_DATA];
    ASSERT_EQ(HartGetRspData(data), 4) << "command 183 answers one float";

    BYTE byShort = 1;
    EXPECT_EQ(HartSendCmd(182, 0, &byShort, 1), 5) << "too few data bytes";
    EXPECT_EQ(HartSendCmd(99, 0, NULL, 0), 64) << "not implemented";
    ASSERT_TRUE(StandinSetTransmitterVariable(0, "busy", "2", NULL));
    EXPECT_EQ(HartSendCmd(183, 0, NULL, 0), HART_RESULT_BUSY);
    EXPECT_EQ(HartSendCmd(183, 0, NULL, 0), HART_RESULT_BUSY);
    EXPECT_EQ(HartSendCmd(183, 0, NULL, 0), HART_RESULT_DONE);
}

TEST_F(ServiceTest, CommandFifteenFilesTheRangeValuesAndScriptedResultsFileNothing)
{
    ASSERT_TRUE(StandinSetTransmitterVariable(0, "lrv", "-12.5", NULL));
    ASSERT_TRUE(StandinSetTransmitterVariable(0, "urv", "150", NULL));
    const BYTE kScripted[] = {5};
    StandinQueueResults(15, kScripted, 1);
    EXPECT_EQ(HartSendCmd(15, 0, NULL, 0), 5);
    EXPECT_EQ(RecordFloat(0, 176), 0.0f) << "a scripted result never reaches the transmitter";
    EXPECT_EQ(HartSendCmd(15, 0, NULL, 0), HART_RESULT_DONE);
    EXPECT_EQ(RecordFloat(0, 176), -12.5f);
    EXPECT_EQ(RecordFloat(0, 180), 150.0f);
}

// A worker keeps the link it began on: once another thread has changed the link, its sends get no
// answer (and file nothing) instead of reaching whatever device is found at its index now.
TEST_F(ServiceTest, AWorkerWhoseLinkAnotherThreadChangedGetsNoAnswer)
{
    struct Worker
    {
        HANDLE hSent = ::CreateEventW(NULL, FALSE, FALSE, NULL);
        HANDLE hChanged = ::CreateEventW(NULL, FALSE, FALSE, NULL);
        BYTE byBefore = 0;
        BYTE byAfter = 0;
        static DWORD WINAPI Run(void* pWorker)
        {
            Worker& worker = *static_cast<Worker*>(pWorker);
            worker.byBefore = HartSendCmd(183, 0, NULL, 0);
            ::SetEvent(worker.hSent);
            ::WaitForSingleObject(worker.hChanged, INFINITE);
            worker.byAfter = HartSendCmd(183, 0, NULL, 0);
            return 0;
        }
    } worker;
    HANDLE hThread = ::CreateThread(NULL, 0, &Worker::Run, &worker, 0, NULL);
    ASSERT_EQ(::WaitForSingleObject(worker.hSent, 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(StandinOpenLink("sim", NULL));
    ::SetEvent(worker.hChanged);
    ::WaitForSingleObject(hThread, 10000);
    EXPECT_EQ(worker.byBefore, HART_RESULT_DONE);
    EXPECT_EQ(worker.byAfter, 255) << "the worker's device is gone with its link";
    EXPECT_EQ(HartSendCmd(183, 0, NULL, 0), HART_RESULT_DONE)
        << "the thread that changed it goes on";
    ::CloseHandle(hThread);
    ::CloseHandle(worker.hSent);
    ::CloseHandle(worker.hChanged);
}

// A scan behind a HART-IP server that never answers would wait out each exchange; stopped, it
// ends at once, inside the exchange, with no device.
TEST_F(ServiceTest, AStoppedDeviceSearchEndsInsideTheExchange)
{
    const unsigned short nPort = OpenSilentListener();
    ASSERT_NE(nPort, 0);
    struct Search
    {
        std::string setting;
        bool bOpened = false;
        static DWORD WINAPI Run(void* pSearch)
        {
            Search& search = *static_cast<Search*>(pSearch);
            search.bOpened = StandinOpenLink(search.setting, NULL);
            return 0;
        }
    } search;
    search.setting = "hart-ip 127.0.0.1:" + std::to_string(nPort) + " scan";
    HANDLE hThread = ::CreateThread(NULL, 0, &Search::Run, &search, 0, NULL);
    ::Sleep(500);
    StandinStopLinkSearch();
    const ULONGLONG ullStopped = ::GetTickCount64();
    EXPECT_EQ(::WaitForSingleObject(hThread, 20000), WAIT_OBJECT_0);
    // The search ends within 100 ms; the Session Close the link owes the server is awaited on a
    // thread of its own.
    EXPECT_LT(::GetTickCount64() - ullStopped, 100u);
    EXPECT_TRUE(search.bOpened);
    std::vector<BYTE> record(kRecordSize);
    EXPECT_EQ(HartGetDevTable(0, record.data(), kRecordSize), 0) << "no device answered";
    ::CloseHandle(hThread);
    StandinOpenLink("sim", NULL);
}

// The host scripts pin the plain evaluation (done stays done, any other result gives 0xFF) and one
// scripted answer; here a queue of them is used in order and then runs out.
TEST_F(ServiceTest, ProcessRspCodeUsesTheScriptedAnswersInOrderThenEvaluatesAgain)
{
    HartSendCmd(43, 0, NULL, 0);
    const BYTE kCodes[] = {0xFF, 7};
    StandinQueueRspCodes(43, kCodes, 2);
    EXPECT_EQ(FdInfo::ProcessRspCode(0, HART_RESULT_DONE, NULL), 0xFF);
    EXPECT_EQ(FdInfo::ProcessRspCode(0, HART_RESULT_DONE, NULL), 7);
    EXPECT_EQ(FdInfo::ProcessRspCode(0, HART_RESULT_DONE, NULL), HART_RESULT_DONE)
        << "the scripted answers are used up";
}

void RunToEnd(AFX_THREADPROC pfnProc, LPVOID pParam = NULL)
{
    CWinThread* pThread =
        AfxBeginThread(pfnProc, pParam, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, NULL);
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    ::WaitForSingleObject(pThread->m_hThread, INFINITE);
    delete pThread;
}

int TryTheLockFromAnotherThread()
{
    int nResult = -1;
    RunToEnd(
        [](LPVOID pResult) -> UINT {
            if ((*static_cast<int*>(pResult) = FdLock::TryLock(1)) != 0)
                FdLock::UnLock();
            return 0;
        },
        &nResult);
    return nResult;
}

TEST(HartLockTest, OneHolderAtATimeAndOnlyTheHolderReleasesIt)
{
    ASSERT_EQ(FdLock::TryLock(1), 1);
    EXPECT_TRUE(StandinIsHartLockHeld());
    EXPECT_EQ(FdLock::TryLock(1), 0) << "the lock is not recursive";
    EXPECT_EQ(TryTheLockFromAnotherThread(), 0);
    RunToEnd([](LPVOID) -> UINT {
        FdLock::UnLock();
        return 0;
    });
    EXPECT_TRUE(StandinIsHartLockHeld()) << "an unlock by a thread that does not hold it is void";
    FdLock::UnLock();
    EXPECT_FALSE(StandinIsHartLockHeld());
    EXPECT_EQ(TryTheLockFromAnotherThread(), 1);

    StandinSetLockBusy(TRUE);
    EXPECT_EQ(FdLock::TryLock(2), 0) << "another party holds it";
    StandinSetLockBusy(FALSE);
    EXPECT_EQ(FdLock::TryLock(1), 1);
    FdLock::UnLock();
}

TEST(XTimerTest, RunsOutAfterItsPeriodAndCountsAsRunOutBeforeBegin)
{
    XTimer notStarted;
    EXPECT_TRUE(notStarted.IsOverTime());
    StandinSetTimerPeriod(60000);
    XTimer timer;
    timer.Begin();
    EXPECT_FALSE(timer.IsOverTime());
    StandinSetTimerPeriod(0);
    EXPECT_FALSE(timer.IsOverTime()) << "the period is taken at Begin";
    XTimer instant;
    instant.Begin();
    EXPECT_TRUE(instant.IsOverTime());
    StandinSetTimerPeriod(2000);
}

// A string answers only under the key of the module that owns it: the shared strings (5002-5055)
// under "Tamblin", the page's own under "Kestrum"; any other key, or an id no table holds, gives
// the fallback.
TEST(ResStringTest, AnswersOnlyUnderTheOwningModulesKeyElseTheFallback)
{
    ASSERT_NE(::LoadLibraryW(L"Kestrum.dll"), nullptr);
    const struct
    {
        const wchar_t* pszKey;
        int nID;
        const wchar_t* pszExpected;
    } kCases[] = {
        {L"Tamblin", 5002, L"Up Limit"},
        {L"Kestrum", 5002, L"fallback"},
        {L"Tamblin", 5055, L"Fail to adjust the PV Range."},
        {L"Kestrum", 44444, L"Kestrum"},
        {L"Tamblin", 44444, L"fallback"},
        {L"", 44444, L"fallback"},
        {L"Kestrum", 65000, L"fallback"},
        {L"Kestrum", -1, L"fallback"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(GetResString(c.pszKey, c.nID, L"fallback"), c.pszExpected)
            << c.pszKey << " " << c.nID;
}
} // namespace
