// The page shell through the host's eyes: GetDlgArray, the built dialog template, the device
// record's starting state, CleanThread with workers in every state, and what each operation's
// worker does to the rest of the page.
#include <gtest/gtest.h>

#include <HostApp.h>
#include <StandinBase.h>
#include <StandinDevice.h>
#include <StandinHart.h>

#include "../page/DeviceRecord.h"
#include "../page/DlgKestrum.h"
#include "../res/resource.h"
#include "TraceLog.h"

#include <string.h>
#include <string>
#include <vector>

namespace
{
CHostApp theApp;

typedef CArray<CDialog*, CDialog*>* (*GETDLGARRAY)(CWnd*);

// The host events of one test, from the window thread and from workers.
class EventLog
{
public:
    std::vector<std::string> Lines()
    {
        std::vector<std::string> lines;
        for (const TraceLog::Line& line : m_log.Lines())
            lines.push_back(line.text);
        return lines;
    }
    int Count(const std::string& fragment) { return static_cast<int>(Only({fragment}).size()); }
    // The events that contain one of the fragments, in order, each named by its fragment.
    std::vector<std::string> Only(const std::vector<std::string>& fragments)
    {
        std::vector<std::string> picked;
        for (const std::string& line : Lines())
        {
            for (const std::string& fragment : fragments)
            {
                if (line.find(fragment) != std::string::npos)
                    picked.push_back(fragment);
            }
        }
        return picked;
    }
    // Milliseconds from the first event with the fragment (its last one with bLast) to the next
    // event, or to the next one with the fragment after; -1 when either is missing.
    double MillisecondsFrom(const std::string& fragment, bool bLast, const std::string& after = "")
    {
        std::vector<TraceLog::Line> lines = m_log.Lines();
        size_t nFrom = lines.size();
        for (size_t i = 0; i < lines.size(); i++)
        {
            if (lines[i].text.find(fragment) != std::string::npos &&
                (bLast || nFrom == lines.size()))
                nFrom = i;
        }
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        for (size_t j = nFrom + 1; j < lines.size(); j++)
        {
            if (lines[j].text.find(after) != std::string::npos)
                return 1000.0 * static_cast<double>(lines[j].llTime - lines[nFrom].llTime) /
                       static_cast<double>(frequency.QuadPart);
        }
        return -1;
    }

private:
    TraceLog m_log;
};

// Scripted boxes, one transmitter, and a window for each test to put the page in.
class ParentWindowTest : public ::testing::Test
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
    }
    void TearDown() override { ::DestroyWindow(m_hParent); }

    HWND m_hParent = NULL;
};

// The four Verify references that the operations' clicks need, given.
void GiveVerifyReferences(HWND hPage)
{
    for (UINT nId : {IDC_EDT_VERIFY_RANGE_HIGH, IDC_EDT_VERIFY_RANGE_LOW, IDC_EDT_VERIFY_PRESS,
                     IDC_EDT_VERIFY_TEMP})
        ::SetDlgItemTextW(hPage, nId, L"1");
}

class PageTest : public ParentWindowTest
{
protected:
    static void SetUpTestSuite()
    {
        ParentWindowTest::SetUpTestSuite();
        s_hModule = ::LoadLibraryW(L"Kestrum.dll");
        s_pfnGetDlgArray = reinterpret_cast<GETDLGARRAY>(
            reinterpret_cast<void*>(::GetProcAddress(s_hModule, "GetDlgArray")));
    }
    void SetUp() override
    {
        ASSERT_NE(s_pfnGetDlgArray, nullptr);
        ParentWindowTest::SetUp();
        m_parent.Attach(m_hParent);
    }
    void TearDown() override
    {
        m_parent.Detach();
        ParentWindowTest::TearDown();
    }

    CTablePage* NewPage()
    {
        CArray<CDialog*, CDialog*>* pArray = s_pfnGetDlgArray(&m_parent);
        CTablePage* pPage = static_cast<CTablePage*>(pArray->GetAt(0));
        delete pArray;
        return pPage;
    }

    static HMODULE s_hModule;
    static GETDLGARRAY s_pfnGetDlgArray;
    CWnd m_parent;
};

HMODULE PageTest::s_hModule = NULL;
GETDLGARRAY PageTest::s_pfnGetDlgArray = NULL;

TEST_F(PageTest, GetDlgArrayHandsOverOneNewPageWithItsOwnChildWindowPerCall)
{
    CArray<CDialog*, CDialog*>* pFirst = s_pfnGetDlgArray(&m_parent);
    CArray<CDialog*, CDialog*>* pSecond = s_pfnGetDlgArray(&m_parent);
    ASSERT_NE(pFirst, pSecond);
    ASSERT_EQ(pFirst->GetSize(), 1);
    ASSERT_EQ(pSecond->GetSize(), 1);
    CDialog* pPage = pFirst->GetAt(0);
    EXPECT_NE(pPage, pSecond->GetAt(0));
    EXPECT_NE(pPage->GetSafeHwnd(), pSecond->GetAt(0)->GetSafeHwnd());
    EXPECT_EQ(::GetParent(pPage->GetSafeHwnd()), m_hParent);
    EXPECT_TRUE(pPage->IsKindOf(RUNTIME_CLASS(CTablePage)));
    EXPECT_STREQ(pPage->GetRuntimeClass()->m_lpszClassName, "CDlgKestrum");

    // Deleting an array frees its buffer only; the page and its window live on.
    CDialog* pOther = pSecond->GetAt(0);
    delete pFirst;
    delete pSecond;
    EXPECT_TRUE(::IsWindow(pPage->GetSafeHwnd()));
    delete pPage;
    delete pOther;
}

TEST_F(PageTest, APageWhoseWindowCouldNotBeMadeIsStillReturned)
{
    HWND hGone = ::CreateWindowExW(0, L"Static", L"", 0, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    ::DestroyWindow(hGone);
    CWnd gone;
    gone.Attach(hGone);
    CArray<CDialog*, CDialog*>* pArray = s_pfnGetDlgArray(&gone);
    gone.Detach();
    ASSERT_EQ(pArray->GetSize(), 1);
    EXPECT_NE(pArray->GetAt(0), nullptr);
    EXPECT_EQ(pArray->GetAt(0)->GetSafeHwnd(), nullptr);
    delete pArray->GetAt(0);
    delete pArray;
}

// Reads the extended dialog template 44443 (language 2052) back from the built module.
struct TemplateItem
{
    int nId;
    DWORD dwStyle;
    WORD wClass; // the predefined class's atom; 0 for a class given by name
    std::wstring text;
};

const WORD* SkipSzOrOrd(const WORD* p, std::wstring* pText = NULL)
{
    if (*p == 0xFFFF)
        return p + 2;
    const WORD* pStart = p;
    while (*p != 0)
        ++p;
    if (pText != NULL)
        pText->assign(reinterpret_cast<const wchar_t*>(pStart), p - pStart);
    return p + 1;
}

const WORD* AlignDword(const WORD* p)
{
    return reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR(3));
}

TEST_F(PageTest, TheBuiltTemplateHoldsTheFiftyControlsAsDesigned)
{
    HRSRC hRes = ::FindResourceExW(s_hModule, RT_DIALOG, MAKEINTRESOURCEW(IDD_KESTRUM),
                                   MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    ASSERT_NE(hRes, nullptr);
    const BYTE* pBase = static_cast<const BYTE*>(::LockResource(::LoadResource(s_hModule, hRes)));
    const WORD* p = reinterpret_cast<const WORD*>(pBase);
    ASSERT_EQ(p[0], 1);      // dlgVer
    ASSERT_EQ(p[1], 0xFFFF); // extended template
    DWORD dwStyle;
    memcpy(&dwStyle, pBase + 12, 4);
    EXPECT_EQ(dwStyle, DWORD(DS_SETFONT | DS_FIXEDSYS | WS_CHILD | WS_SYSMENU));
    WORD nItems = p[8];
    ASSERT_EQ(nItems, 50);
    p = SkipSzOrOrd(p + 13); // menu
    p = SkipSzOrOrd(p);      // class
    p = SkipSzOrOrd(p);      // title
    EXPECT_EQ(p[0], 8);      // point size
    EXPECT_EQ(p[1], 400);    // weight
    std::wstring font;
    p = SkipSzOrOrd(p + 3, &font);
    EXPECT_EQ(font, L"MS Shell Dlg");

    std::vector<TemplateItem> items;
    for (int i = 0; i < nItems; i++)
    {
        p = AlignDword(p);
        TemplateItem item;
        memcpy(&item.dwStyle, p + 4, 4);
        int nId;
        memcpy(&nId, p + 10, 4);
        item.nId = nId;
        item.wClass = p[12] == 0xFFFF ? p[13] : 0;
        p = SkipSzOrOrd(p + 12);
        p = SkipSzOrOrd(p, &item.text);
        p += 1 + *p / 2; // creation data
        items.push_back(item);
    }
    const int kIds[] = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009,
                        1010, 1011, 1012, -1,   1013, 1014, 1015, 2039, 4009, 4010,
                        4011, 2040, 4012, 2041, 1016, 1017, 1018, 1019, 1020, 1021,
                        1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031,
                        2008, 1039, 1040, 1041, 1042, -1,   1043, 1044, 1045, 1046};
    for (int i = 0; i < 50; i++)
        EXPECT_EQ(items[i].nId, kIds[i]) << "control " << i;

    const DWORD kBase = WS_CHILD | WS_VISIBLE;
    EXPECT_EQ(items[0].dwStyle, kBase | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP);
    EXPECT_EQ(items[2].dwStyle, kBase | SS_LEFT | WS_GROUP);
    EXPECT_EQ(items[4].dwStyle, kBase | BS_PUSHBUTTON | WS_TABSTOP);
    EXPECT_EQ(items[9].dwStyle,
              kBase | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP);
    EXPECT_EQ(items[13].dwStyle, kBase | SS_LEFT | SS_CENTERIMAGE | WS_GROUP);
    EXPECT_EQ(items[17].dwStyle, DWORD(WS_CHILD | BS_GROUPBOX));
    EXPECT_EQ(items[25].dwStyle, kBase | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP);
    for (int i = 17; i <= 23; i++)
        EXPECT_EQ(items[i].dwStyle & WS_VISIBLE, 0u)
            << "range-calibration control " << items[i].nId;
    // Every label is a static text with the group style, the hidden ones of the range-calibration
    // group included (a resource compiler drops LTEXT's default group style once a style is
    // written).
    const WORD kStaticClass = 0x0082;
    int nLabels = 0;
    for (const TemplateItem& item : items)
    {
        if (item.wClass == kStaticClass)
        {
            nLabels++;
            EXPECT_NE(item.dwStyle & WS_GROUP, 0u) << "label " << item.nId;
        }
    }
    EXPECT_EQ(nLabels, 25);
    EXPECT_EQ(items[13].text, L"\u2103");
    EXPECT_EQ(items[45].text, L"\u2103");
}

TEST(DeviceRecordTest, StartsAllZeroButTheServiceDefaults)
{
    DeviceRecord record;
    const BYTE* pBytes = reinterpret_cast<const BYTE*>(&record);
    const float kCoefficients[] = {3.9083e-3f, -5.775e-7f, -4.183e-12f};
    for (int nBlock : {280, 396})
        EXPECT_EQ(memcmp(pBytes + nBlock, kCoefficients, 12), 0) << "block " << nBlock;
    EXPECT_EQ(pBytes[2429], 0xFF);
    int nNonZero = 0;
    for (int i = 0; i < DeviceRecord::Size; i++)
        nNonZero += pBytes[i] != 0;
    EXPECT_EQ(nNonZero, 6 * 4 + 1) << "only the six coefficients and byte 2429";
    const BYTE kHundred[] = {0x00, 0x00, 0xC8, 0x42};
    memcpy(reinterpret_cast<BYTE*>(&record) + 2320, kHundred, 4);
    EXPECT_EQ(record.fRangeHigh, 100.0f);
}

// A worker that holds the HART lock and waits until it is told to stop, touching the window
// thread's window on its way out, as page workers do.
struct BlockedWorker
{
    HWND hWnd;
    volatile LONG bStarted;
};

UINT BlockUntilStopped(LPVOID pParam)
{
    BlockedWorker* pWorker = static_cast<BlockedWorker*>(pParam);
    FdLock::TryLock(5);
    ::InterlockedExchange(&pWorker->bStarted, TRUE);
    StandinWaitCancelled(60000);
    ::SetWindowTextW(pWorker->hWnd, L"stopped");
    FdLock::UnLock();
    return 0;
}

UINT EndAtOnce(LPVOID)
{
    return 0;
}

TEST_F(PageTest, CleanThreadStopsAWaitingWorkerAndLeavesNoLockAndANullPointer)
{
    CTablePage* pPage = NewPage();
    CWinThread* pNone = NULL;
    pPage->CleanThread(&pNone);
    EXPECT_EQ(pNone, nullptr);

    BlockedWorker worker = {m_hParent, FALSE};
    CWinThread* pThread = AfxBeginThread(&BlockUntilStopped, &worker);
    while (!::InterlockedCompareExchange(&worker.bStarted, 0, 0))
        ::Sleep(5);
    EXPECT_TRUE(StandinIsHartLockHeld());
    pPage->CleanThread(&pThread);
    EXPECT_EQ(pThread, nullptr);
    EXPECT_FALSE(StandinIsHartLockHeld());
    wchar_t szText[16] = {0};
    ::GetWindowTextW(m_hParent, szText, 16);
    EXPECT_STREQ(szText, L"stopped") << "the worker's cross-thread call was served during the wait";

    // A worker that is ending, or has ended, by the time it is cleaned.
    for (int i = 0; i < 20; i++)
    {
        CWinThread* pShort = AfxBeginThread(&EndAtOnce, NULL);
        ::Sleep(i % 3);
        pPage->CleanThread(&pShort);
        EXPECT_EQ(pShort, nullptr);
    }
    delete pPage;
}

// StopPage hands the workers to the host's CleanThread in a fixed order: Set and the refresh only
// when theirs exists, then range Download, range Get, PV zero and Verify always. Each case starts
// one worker on the realistic wire and stops it at once; the flags say which call found a thread.
// (StopPage with no worker is in stop.ksc.)
TEST_F(PageTest, StopPageHandsTheWorkersToCleanThreadInOrder)
{
    CTablePage* pPage = NewPage();
    const struct
    {
        UINT nButton;
        std::vector<bool> found;
    } kCases[] = {
        {IDC_BTN_SET, {true, false, false, false, false}},
        {IDC_BTN_REFRESH, {true, false, false, false, false}},
        {IDC_BTN_RANGE_DOWNLOAD, {true, false, false, false}},
        {IDC_BTN_RANGE_GET, {false, true, false, false}},
        {IDC_BTN_PV_ZERO, {false, false, true, false}},
        {IDC_BTN_VERIFY, {false, false, false, true}},
    };
    GiveVerifyReferences(pPage->GetSafeHwnd());
    StandinSetRealWire(TRUE);
    for (const auto& c : kCases)
    {
        theApp.QueueAnswer(IDYES);
        pPage->SendMessage(WM_COMMAND, MAKEWPARAM(c.nButton, BN_CLICKED), 0);
        EventLog log;
        pPage->StopPage();
        std::vector<bool> found;
        for (const std::string& line : log.Lines())
        {
            if (line.find("\"clean\"") != std::string::npos)
                found.push_back(line.find("\"thread\":true") != std::string::npos);
        }
        EXPECT_EQ(found, c.found) << "button " << c.nButton;
        EXPECT_FALSE(StandinIsHartLockHeld());
    }
    StandinSetRealWire(FALSE);
    delete pPage;
}

TEST_F(PageTest, ReleasePageStopsOnceWhenIdleAndTwiceWhenAWorkerHoldsThePageLock)
{
    CTablePage* pPage = NewPage();
    {
        EventLog log;
        pPage->ReleasePage();
        EXPECT_EQ(log.Count("\"op\":\"PageUnLock\""), 2) << "the release, then one StopPage";
        EXPECT_EQ(log.Count("\"ev\":\"progress\""), 1);
    }
    {
        // A refresh on the realistic wire holds the page lock while ReleasePage looks at it.
        StandinSetRealWire(TRUE);
        pPage->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BTN_REFRESH, BN_CLICKED), 0);
        MSG msg;
        while (!pPage->IsLock())
            ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE); // serves the worker's sent messages
        EventLog log;
        pPage->ReleasePage();
        StandinSetRealWire(FALSE);
        // The worker ends inside the first StopPage (its own tail unlocks the page), then the
        // release finds the page unlocked and stops it once more.
        const std::string kUnlock = "\"PageUnLock\"", kZero = "\"progress\",\"value\":0";
        std::vector<std::string> seen = log.Only({kUnlock, kZero});
        ASSERT_GE(seen.size(), 4u);
        EXPECT_EQ(std::vector<std::string>(seen.end() - 4, seen.end()),
                  std::vector<std::string>({kUnlock, kZero, kUnlock, kZero}))
            << "StopPage ran twice";
        EXPECT_FALSE(pPage->IsPageBusy());
        EXPECT_FALSE(StandinIsHartLockHeld());
    }
    delete pPage;
}

// The page loaded as the host loads it, to run its operations from their buttons.
class PageRunTest : public ParentWindowTest
{
protected:
    void SetUp() override
    {
        ParentWindowTest::SetUp();
        std::string error;
        ASSERT_TRUE(m_host.Load(m_hParent, &error)) << error;
        StandinSetCurrentDevice(0);
    }
    void TearDown() override
    {
        StandinSetPlainHost(FALSE);
        StandinSetRealWire(FALSE);
        m_host.Unload();
        ParentWindowTest::TearDown();
    }
    // Clicks the button with the four Verify references given; a question is answered Yes.
    void Start(UINT nButton)
    {
        GiveVerifyReferences(m_host.PageWindow());
        theApp.QueueAnswer(IDYES);
        ::SendMessageW(m_host.PageWindow(), WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
    }
    // No worker is left and the completion message has been handled.
    bool WaitIdle()
    {
        ULONGLONG ullIdleSince = 0;
        return PumpUntil([&] {
            if (m_host.AnyWorker())
                ullIdleSince = 0;
            else if (ullIdleSince == 0)
                ullIdleSince = ::GetTickCount64();
            return ullIdleSince != 0 && ::GetTickCount64() - ullIdleSince > 150;
        });
    }

    PageHost m_host;
};

// What each operation's worker does to the rest of the page: whether IsPageBusy answers TRUE
// while it runs, whether it keeps the other users of the shared request (Set, Verify, the
// refresh) from starting, how long its tail pauses after progress 100, and whether it pauses
// 200 ms between progress 30 and 50 (the range workers, before they send).
const struct
{
    UINT nButton;
    bool bBusy;
    bool bSharesRequest;
    int nTailPause;
    bool bRangePause;
} kWorkers[] = {
    {IDC_BTN_REFRESH, true, true, 200, false},         {IDC_BTN_SET, true, true, 200, false},
    {IDC_BTN_PV_ZERO, true, false, 100, false},        {IDC_BTN_RANGE_GET, false, false, 100, true},
    {IDC_BTN_RANGE_DOWNLOAD, false, false, 100, true}, {IDC_BTN_VERIFY, true, true, 200, false},
};

// Realistic wire: each worker is caught while it holds the page lock, then a user of the shared
// request is clicked (Set while the refresh runs, the refresh otherwise); it starts, and tries the
// HART lock, only when the running worker leaves the shared request free.
TEST_F(PageRunTest, BusyAndTheSharedRequestFollowTheRunningWorker)
{
    StandinSetRealWire(TRUE);
    for (const auto& worker : kWorkers)
    {
        SCOPED_TRACE(worker.nButton);
        EventLog log;
        Start(worker.nButton);
        ASSERT_TRUE(PumpUntil([&] { return log.Count("\"PageLock\"") > 0; }));
        EXPECT_EQ(m_host.Page()->IsPageBusy() != FALSE, worker.bBusy);
        Start(worker.nButton == IDC_BTN_REFRESH ? IDC_BTN_SET : IDC_BTN_REFRESH);
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(log.Count("\"TryLock\""), worker.bSharesRequest ? 1 : 2);
    }
}

// Fast wire: the pause between the tail's progress 100 and its next host call, and the range
// workers' pause before they send.
TEST_F(PageRunTest, EachWorkerPausesAsDesigned)
{
    for (const auto& worker : kWorkers)
    {
        SCOPED_TRACE(worker.nButton);
        EventLog log;
        Start(worker.nButton);
        ASSERT_TRUE(WaitIdle());
        double dPause = log.MillisecondsFrom("\"progress\",\"value\":100", true);
        EXPECT_GE(dPause, worker.nTailPause - 5.0);
        EXPECT_LT(dPause, worker.nTailPause + 90.0);
        if (worker.bRangePause)
        {
            EXPECT_GE(log.MillisecondsFrom("\"value\":30", false, "\"value\":50"), 195.0);
        }
    }
}

// A plain host: the window thread stops the page as soon as the operation started and waits on
// each worker's handle without serving any message. Every worker still runs to its tail and
// releases its locks: none of them waits for the window thread.
TEST_F(PageRunTest, EveryWorkerReachesItsTailWhileTheWindowThreadWaitsOnIt)
{
    StandinSetPlainHost(TRUE);
    for (const auto& worker : kWorkers)
    {
        SCOPED_TRACE(worker.nButton);
        EventLog log;
        Start(worker.nButton);
        m_host.Page()->StopPage();
        EXPECT_EQ(log.Count("\"ev\":\"terminated\""), 0);
        EXPECT_EQ(log.Count("\"msg\":" + std::to_string(WM_OPERATION_DONE)), 1) << "its tail";
        EXPECT_FALSE(StandinIsHartLockHeld());
        ASSERT_TRUE(WaitIdle());
    }
}

// Set's worker switches the plain controls by posts, which the window thread applies as it
// handles them: off, then on again. A switch posted before the page switched its controls itself
// is stale and dropped.
TEST_F(PageRunTest, TheWorkersPostedSwitchesApplyUnlessTheyAreStale)
{
    HWND hSerial = ::GetDlgItem(m_host.PageWindow(), IDC_EDT_SERIAL_NO);
    for (bool bStale : {false, true})
    {
        SCOPED_TRACE(bStale ? "stale" : "current");
        Start(IDC_BTN_SET);
        MSG msg;
        while (m_host.AnyWorker())
            ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE); // serves sent messages only
        if (bStale)
            m_host.Page()->StopPage();
        for (BOOL bEnabled : {FALSE, TRUE})
        {
            ASSERT_TRUE(::PeekMessageW(&msg, m_host.PageWindow(), WM_SWITCH_CONTROLS,
                                       WM_SWITCH_CONTROLS, PM_REMOVE));
            ::DispatchMessageW(&msg);
            EXPECT_EQ(::IsWindowEnabled(hSerial), bStale || bEnabled);
        }
        ASSERT_TRUE(WaitIdle());
    }
}
} // namespace
