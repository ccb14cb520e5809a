// kestrum-stress: stops each of the page's operations at random moments on the realistic wire and
// feeds the page random input, checking after each stop point and each step that nothing crashed
// or hung, that no lock is held and no worker is left, that only the page's commands with sound
// requests reach the device, and that confirmed writes were confirmed.
//   kestrum-stress STOPS STEPS [SEED]
// The same seed draws the same campaign; the moments of the stops depend on thread timing too.
#include "EventChecks.h"

#include <HostApp.h>
#include <StandinBase.h>
#include <StandinDevice.h>
#include <StandinHart.h>

#include "../../res/resource.h"

#include <atomic>
#include <random>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace
{
// A stopped or fed page must be idle again within this time.
const DWORD kBoundedWait = 20000;
// How long the page must stay quiet with no worker before it counts as idle.
const DWORD kQuiet = 60;
// The longest operation on the realistic wire (refresh, verify) takes about two seconds.
const int kLongestOperationMs = 2200;
// A box that a worker shows stays open this long at a stop point, unless the page stops it.
const DWORD kBoxOpenMs = 400;

enum Operation
{
    OpRefresh,
    OpSet,
    OpZero,
    OpRangeGet,
    OpRangeDownload,
    OpVerify,
    OpCount
};
const char* const kOperationNames[] = {"refresh",        "Set",   "PV zero", "range Get",
                                       "range Download", "Verify"};
const int kOperationButtons[] = {IDC_BTN_REFRESH,        IDC_BTN_SET,
                                 IDC_BTN_PV_ZERO,        IDC_BTN_RANGE_GET,
                                 IDC_BTN_RANGE_DOWNLOAD, IDC_BTN_VERIFY};

enum StopAction
{
    StopPage,
    DeviceChangedCall,
    ReleasePage,
    DestroyPage,
    HostDeviceChange,
    StopActionCount
};
const char* const kStopNames[] = {"StopPage", "OnDeviceChanged", "ReleasePage",
                                  "destroying the page", "a device change in the host"};

struct Counts
{
    int nCrashes = 0, nHangs = 0, nHeldLocks = 0;
};

// Everything the checks see: the host events in order, read by the window thread.
class Events
{
public:
    Events()
    {
        ::InitializeCriticalSection(&m_lock);
        StandinSetTraceSink(&Events::Collect, this);
    }
    ~Events()
    {
        StandinSetTraceSink(NULL, NULL);
        ::DeleteCriticalSection(&m_lock);
    }
    std::vector<std::string> Take()
    {
        ::EnterCriticalSection(&m_lock);
        std::vector<std::string> lines;
        lines.swap(m_lines);
        ::LeaveCriticalSection(&m_lock);
        return lines;
    }

private:
    static void CALLBACK Collect(const char* pszJson, void* pContext)
    {
        Events* pThis = static_cast<Events*>(pContext);
        ::EnterCriticalSection(&pThis->m_lock);
        pThis->m_lines.push_back(pszJson);
        ::LeaveCriticalSection(&pThis->m_lock);
    }
    CRITICAL_SECTION m_lock;
    std::vector<std::string> m_lines;
};

// Answers the page's boxes. A question gets the drawn answer; at a stop point a box can be the
// moment of the stop: a question is answered after the stop action ran inside it, as a host
// message arriving while the box is open would; a worker's box stays open until the window
// thread has stopped the page, which ends the box as No.
class CStressApp : public CHostApp
{
public:
    std::atomic<int> m_nNextAnswer{IDYES};
    std::atomic<bool> m_bHoldWorkerBoxes{false};
    std::atomic<bool> m_bWorkerBoxOpen{false};
    void (*m_pfnInQuestion)() = NULL;
    DWORD m_nWindowThread = ::GetCurrentThreadId();

    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)
    {
        int nAnswer = (nType & MB_TYPEMASK) == MB_YESNO ? m_nNextAnswer.load() : IDOK;
        if (::GetCurrentThreadId() == m_nWindowThread)
        {
            if (m_pfnInQuestion != NULL)
            {
                void (*pfnAction)() = m_pfnInQuestion;
                m_pfnInQuestion = NULL;
                pfnAction();
            }
        }
        else if (m_bHoldWorkerBoxes)
        {
            m_bWorkerBoxOpen = true;
            if (StandinWaitCancelled(kBoxOpenMs))
                nAnswer = (nType & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
            m_bWorkerBoxOpen = false;
        }
        QueueAnswer(nAnswer);
        return CHostApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
    }
} theApp;

struct Campaign
{
    unsigned nSeed = 1;
    int nPlannedStops = 0, nPlannedSteps = 0;
    int nStops = 0, nSteps = 0;
    // What has been done so far in the current stop point or since the last idle fuzz step.
    std::vector<std::string> steps;
    Counts counts;
    EventChecks checks;
    Events* pEvents = NULL;
    HWND hFrame = NULL;
    PageHost host;
    std::mt19937 rng;
    StopAction pendingStop = StopPage;
} g;

void PrintSummary()
{
    printf("stress: %d stop points, %d fuzz steps: %d crashes, %d hangs, %d held locks, "
           "%d unconfirmed writes, %d bad sends\n",
           g.nStops, g.nSteps, g.counts.nCrashes, g.counts.nHangs, g.counts.nHeldLocks,
           g.checks.UnconfirmedWrites(), g.checks.BadSends());
    fflush(stdout);
}

void Report(const std::string& what)
{
    printf("FAIL (seed %u): %s\n  reproduce: scripts/stress.sh %d %d %u\n  steps:\n", g.nSeed,
           what.c_str(), g.nPlannedStops, g.nPlannedSteps, g.nSeed);
    // The seed reproduces the whole campaign; the last steps show what led to the finding.
    const size_t nShown = 40;
    size_t nFirst = g.steps.size() > nShown ? g.steps.size() - nShown : 0;
    if (nFirst > 0)
        printf("    (%zu earlier steps)\n", nFirst);
    for (size_t i = nFirst; i < g.steps.size(); i++)
        printf("    %s\n", g.steps[i].c_str());
    fflush(stdout);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* pInfo)
{
    char szWhat[96];
    sprintf(szWhat, "crash, exception 0x%08lx",
            static_cast<unsigned long>(pInfo->ExceptionRecord->ExceptionCode));
    g.counts.nCrashes++;
    Report(szWhat);
    PrintSummary();
    ::ExitProcess(3);
    return EXCEPTION_EXECUTE_HANDLER;
}

int Draw(int nBelow)
{
    return static_cast<int>(g.rng() % static_cast<unsigned>(nBelow));
}

void Step(const std::string& text)
{
    g.steps.push_back(text);
}

std::wstring Wide(const std::string& text)
{
    int nChars = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, NULL, 0);
    std::wstring wide(nChars > 0 ? nChars - 1 : 0, L'\0');
    if (nChars > 1)
        ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], nChars);
    return wide;
}

// Runs the checks over the events so far.
void CheckEvents(std::vector<std::string>* pSeen = NULL)
{
    for (const std::string& line : g.pEvents->Take())
    {
        std::string reason = g.checks.Feed(line);
        if (!reason.empty())
            Report(reason + ": " + line);
        if (pSeen != NULL)
            pSeen->push_back(line);
    }
}

void Serve()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Serves messages for dwMilliseconds, or until pfnUntil holds.
void Pump(DWORD dwMilliseconds, bool (*pfnUntil)() = NULL)
{
    ULONGLONG ullEnd = ::GetTickCount64() + dwMilliseconds;
    while (::GetTickCount64() < ullEnd && (pfnUntil == NULL || !pfnUntil()))
    {
        Serve();
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
    }
}

// Serves messages until no worker is left and nothing arrives for a while; false on a hang.
bool WaitIdle(std::vector<std::string>* pSeen = NULL)
{
    ULONGLONG ullEnd = ::GetTickCount64() + kBoundedWait;
    ULONGLONG ullQuietSince = ::GetTickCount64();
    for (;;)
    {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
            ullQuietSince = ::GetTickCount64();
        }
        CheckEvents(pSeen);
        ULONGLONG ullNow = ::GetTickCount64();
        if (g.host.AnyWorker())
            ullQuietSince = ullNow;
        else if (ullNow - ullQuietSince >= kQuiet)
            return true;
        if (ullNow > ullEnd)
            return false;
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

CTablePage* Page()
{
    return g.host.Page();
}

void Click(int nID)
{
    ::SendMessageW(g.host.PageWindow(), WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(g.host.PageWindow(), nID)));
}

void SetText(int nID, const std::string& text)
{
    ::SetWindowTextW(::GetDlgItem(g.host.PageWindow(), nID), Wide(text).c_str());
}

void Select(int nID, int nIndex)
{
    ::SendMessageW(::GetDlgItem(g.host.PageWindow(), nID), CB_SETCURSEL, nIndex, 0);
}

bool LoadPage()
{
    std::string error;
    if (!g.host.Load(g.hFrame, &error))
    {
        printf("kestrum-stress: %s\n", error.c_str());
        return false;
    }
    return true;
}

// A page that stopped, lost a device or was remade holds no lock and has no worker. Counted once
// per finding.
bool CheckLocksFree(const char* pszWhen)
{
    std::string held;
    if (StandinIsHartLockHeld())
        held += " HART lock";
    if (Page()->IsLock() != 0)
        held += " page lock";
    if (g.host.AnyWorker())
        held += " worker";
    if (held.empty())
        return true;
    g.counts.nHeldLocks++;
    Report(std::string("held after ") + pszWhen + ":" + held);
    return false;
}

void ResetStandins()
{
    StandinResetService();
    StandinResetDevice();
    StandinSetLockBusy(FALSE);
    StandinSetTimerPeriod(1000);
    for (int i = 0; i < 3; i++)
        StandinAttachTransmitter(static_cast<BYTE>(i));
}

// After a stop point the page must complete a refresh again.
bool RefreshCompletes()
{
    std::vector<std::string> seen;
    Click(IDC_BTN_REFRESH);
    if (!WaitIdle(&seen))
        return false;
    int nDone = 0;
    bool bPosted = false;
    for (const std::string& line : seen)
    {
        if (EventField(line, "ev") == "send" && EventField(line, "cmd") == "223" &&
            EventField(line, "rc") == "240")
            nDone++;
        if (EventField(line, "ev") == "post" && nDone == 3)
            bPosted = true;
    }
    return nDone == 3 && bPosted;
}

void RunStopAction(StopAction action)
{
    switch (action)
    {
    case StopPage:
        Page()->StopPage();
        break;
    case DeviceChangedCall:
        Page()->OnDeviceChanged();
        break;
    case ReleasePage:
        Page()->ReleasePage();
        break;
    case DestroyPage:
        delete Page();
        LoadPage();
        break;
    case HostDeviceChange:
        StandinSetCurrentDevice(1);
        Page()->OnDeviceChanged();
        break;
    case StopActionCount:
        break;
    }
}

void StopInQuestion()
{
    RunStopAction(g.pendingStop);
}

bool WorkerBoxOpen()
{
    return theApp.m_bWorkerBoxOpen;
}

// Gives the operation what it needs to reach the device; with bToBox, what makes it show a box
// from its worker: a write refused as write-protected, or the verify result.
void Prepare(Operation op, bool bToBox)
{
    StandinSetDeviceType(58064);
    Select(IDC_CMB_PRESS_TYPE, 1);
    Select(IDC_CMB_MANUFACTURER, 0);
    Select(IDC_CMB_POINT, 2);
    SetText(IDC_EDT_RANGE_VALUE, "250.000000");
    SetText(IDC_EDT_VERIFY_RANGE_HIGH, "250");
    SetText(IDC_EDT_VERIFY_RANGE_LOW, "0");
    SetText(IDC_EDT_VERIFY_PRESS, "1.25");
    SetText(IDC_EDT_VERIFY_TEMP, "23.5");
    std::string error;
    if (bToBox && op == OpSet)
        StandinQueueFaults(222, "writeprotect", 1, &error);
    if (bToBox && op == OpZero)
        StandinQueueFaults(43, "writeprotect", 1, &error);
    if (bToBox && op == OpRangeDownload)
        StandinQueueFaults(182, "writeprotect", 1, &error);
}

const WORD kCommands[] = {15, 43, 182, 183, 222, 223};
const char* const kFaults[] = {"noanswer", "garbled", "parity", "short", "otheraddr",
                               "busy",     "dr33",    "dr34",   "dr35",  "writeprotect"};

void RunStopPoint(int nPoint)
{
    g.steps.clear();
    Operation op = static_cast<Operation>(Draw(OpCount));
    StopAction action = static_cast<StopAction>(Draw(StopActionCount));
    int nMode = Draw(4);
    bool bHasQuestion = op == OpZero || op == OpRangeDownload;
    bool bHasWorkerBox = op == OpSet || op == OpZero || op == OpRangeDownload || op == OpVerify;
    bool bInQuestion = nMode == 0 && bHasQuestion && action != DestroyPage;
    bool bInWorkerBox = nMode == 1 && bHasWorkerBox;
    int nDelay = Draw(kLongestOperationMs);
    char szStep[200];
    sprintf(szStep, "stop point %d: %s on the real wire, %s %s", nPoint, kOperationNames[op],
            kStopNames[action],
            bInQuestion    ? "inside its question"
            : bInWorkerBox ? "while its worker's box is open"
                           : "");
    Step(szStep);
    if (!bInQuestion && !bInWorkerBox)
        Step("  after " + std::to_string(nDelay) + " ms");

    Prepare(op, bInWorkerBox);
    if (!bInWorkerBox && Draw(3) == 0)
    {
        WORD wCmd = kCommands[Draw(6)];
        const char* pszFault = kFaults[Draw(10)];
        std::string error;
        StandinQueueFaults(wCmd, pszFault, 1, &error);
        Step(std::string("  with the line fault ") + pszFault + " on command " +
             std::to_string(wCmd));
    }
    StandinSetRealWire(TRUE);
    theApp.m_nNextAnswer = IDYES;
    theApp.m_bHoldWorkerBoxes = bInWorkerBox;
    g.pendingStop = action;
    theApp.m_pfnInQuestion = bInQuestion ? &StopInQuestion : NULL;
    Click(kOperationButtons[op]);
    if (!bInQuestion)
    {
        if (bInWorkerBox)
            Pump(kBoundedWait, &WorkerBoxOpen);
        else
            Pump(nDelay);
        RunStopAction(action);
    }
    theApp.m_pfnInQuestion = NULL;
    bool bIdle = WaitIdle();
    theApp.m_bHoldWorkerBoxes = false;
    if (!bIdle)
    {
        g.counts.nHangs++;
        Report("no end within the bounded wait");
        return;
    }
    g.checks.Idle();
    CheckLocksFree(kStopNames[action]);
    ResetStandins();
    if (!RefreshCompletes())
    {
        g.counts.nHangs++;
        Report("the next refresh did not complete");
    }
    g.checks.Idle();
}

// Texts for the page's edits: numbers that do not fit, non-finite ones, blanks, text outside
// ASCII and double-byte text, over-long text, and sound values.
std::string DrawText()
{
    static const char* const kTexts[] = {"",
                                         " ",
                                         "   ",
                                         "nan",
                                         "NaN",
                                         "-nan",
                                         "inf",
                                         "-inf",
                                         "INF",
                                         "1e39",
                                         "-1e39",
                                         "1e308",
                                         "1e-320",
                                         "3.4028236e38",
                                         "0x1p128",
                                         "1.000000",
                                         "0",
                                         "-0",
                                         "100",
                                         "250.000",
                                         "1.5",
                                         "12345678901",
                                         "AB12 3456",
                                         "\t1\t",
                                         "1,5",
                                         "ÄÖÜ℃",
                                         "日本語テキスト",
                                         "１２３",
                                         "ＫＳ０００１",
                                         "𝟙𝟚𝟛",
                                         "-",
                                         ".",
                                         "e",
                                         "1e",
                                         "0.01"};
    const int nFixed = sizeof kTexts / sizeof kTexts[0];
    int nPick = Draw(nFixed + 3);
    if (nPick < nFixed)
        return kTexts[nPick];
    if (nPick == nFixed)
        return std::string(100 + Draw(400), static_cast<char>('0' + Draw(10)));
    if (nPick == nFixed + 1)
    {
        std::string text;
        for (int n = Draw(30); n > 0; n--)
            text += static_cast<char>(32 + Draw(95));
        return text;
    }
    char szNumber[64];
    sprintf(szNumber, "%.*g", 1 + Draw(12),
            (Draw(2) ? -1 : 1) * std::ldexp(1.0 + Draw(1000) / 1000.0, Draw(260) - 130));
    return szNumber;
}

const int kEdits[] = {IDC_EDT_RANGE_HIGH,       IDC_EDT_PRESS_VAL,         IDC_EDT_RANGE_LOW,
                      IDC_EDT_TEMP_VAL,         IDC_EDT_SERIAL_NO,         IDC_EDT_ZERO,
                      IDC_EDT_FACTOR_K,         IDC_EDT_FACTOR_B,          IDC_EDT_CAL_UP,
                      IDC_EDT_CAL_DOWN,         IDC_EDT_VERIFY_RANGE_HIGH, IDC_EDT_VERIFY_PRESS,
                      IDC_EDT_VERIFY_RANGE_LOW, IDC_EDT_VERIFY_TEMP,       IDC_EDT_RANGE_VALUE};
const int kLists[] = {IDC_CMB_PRESS_TYPE, IDC_CMB_MANUFACTURER, IDC_CMB_POINT};

BYTE DrawResult()
{
    static const BYTE kLikely[] = {240, 254, 255, 13, 29, 253, 7, 32, 0};
    return Draw(3) == 0 ? static_cast<BYTE>(Draw(256)) : kLikely[Draw(sizeof kLikely)];
}

// One random input. Sets what it does into the steps, so that a failure shows them.
void FuzzStep(int nStep)
{
    char szStep[300];
    std::string error;
    switch (Draw(16))
    {
    case 0: {
        int nOffset = Draw(5) == 0 ? Draw(STANDIN_RECORD_SIZE - 8) : 2300 + Draw(56);
        BYTE bytes[8];
        int nCount = 1 + Draw(8);
        for (int i = 0; i < nCount; i++)
            bytes[i] = static_cast<BYTE>(Draw(256));
        StandinPokeRecord(static_cast<BYTE>(Draw(3)), nOffset, bytes, nCount);
        sprintf(szStep, "poke %d bytes at %d", nCount, nOffset);
        break;
    }
    case 1: {
        WORD wCmd = kCommands[Draw(6)];
        BYTE results[3];
        int nCount = 1 + Draw(3);
        for (int i = 0; i < nCount; i++)
            results[i] = DrawResult();
        StandinQueueResults(wCmd, results, nCount);
        sprintf(szStep, "results %u: %d of them, first %u", wCmd, nCount, results[0]);
        break;
    }
    case 2: {
        WORD wCmd = kCommands[Draw(6)];
        BYTE answers[2] = {static_cast<BYTE>(Draw(2) ? 255 : Draw(256)), 240};
        StandinQueueRspCodes(wCmd, answers, 1 + Draw(2));
        sprintf(szStep, "rspcodes %u %u", wCmd, answers[0]);
        break;
    }
    case 3: {
        WORD wCmd = kCommands[Draw(6)];
        const char* pszFault = kFaults[Draw(10)];
        int nCount = 1 + Draw(3);
        StandinQueueFaults(wCmd, pszFault, nCount, &error);
        sprintf(szStep, "fault %u %s %d", wCmd, pszFault, nCount);
        break;
    }
    case 4: {
        static const DWORD kPeriods[] = {0, 1, 30, 300, 1000};
        DWORD dwPeriod = kPeriods[Draw(5)];
        StandinSetTimerPeriod(dwPeriod);
        sprintf(szStep, "timer %lu", static_cast<unsigned long>(dwPeriod));
        break;
    }
    case 5:
    case 6: {
        int nID = kEdits[Draw(sizeof kEdits / sizeof kEdits[0])];
        std::string text = DrawText();
        SetText(nID, text);
        sprintf(szStep, "settext %d (%zu bytes) %.60s", nID, text.size(), text.c_str());
        break;
    }
    case 7: {
        int nID = kLists[Draw(3)], nIndex = Draw(10) - 1;
        Select(nID, nIndex);
        sprintf(szStep, "select %d %d", nID, nIndex);
        break;
    }
    case 8:
    case 9: {
        int nOp = Draw(OpCount);
        theApp.m_nNextAnswer = Draw(3) ? IDYES : IDNO;
        Click(kOperationButtons[nOp]);
        sprintf(szStep, "click %d (%s), answer %s", kOperationButtons[nOp], kOperationNames[nOp],
                theApp.m_nNextAnswer == IDYES ? "yes" : "no");
        break;
    }
    case 10: {
        static const char* const kCalls[] = {"ReloadPage",  "StopPage",      "OnDeviceChanged",
                                             "ReleasePage", "RefreshLayout", "LoadCaptions",
                                             "IsPageBusy"};
        int nCall = Draw(7);
        CTablePage* pPage = Page();
        switch (nCall)
        {
        case 0:
            pPage->ReloadPage();
            break;
        case 1:
            pPage->StopPage();
            break;
        case 2:
            pPage->OnDeviceChanged();
            break;
        case 3:
            pPage->ReleasePage();
            break;
        case 4:
            pPage->RefreshLayout();
            break;
        case 5:
            pPage->LoadCaptions();
            break;
        default:
            pPage->IsPageBusy();
            break;
        }
        sprintf(szStep, "call %s", kCalls[nCall]);
        break;
    }
    case 11: {
        static const WORD kTypes[] = {0, 58064, 1, 65535};
        int nDevice = Draw(6) - 1;
        WORD wType = kTypes[Draw(4)];
        StandinSetCurrentDevice(nDevice);
        StandinSetDeviceType(wType);
        sprintf(szStep, "device %d devtype %u", nDevice, wType);
        break;
    }
    default: {
        static const char* const kKeys[] = {"pressure", "range_high", "range_low", "write_protect",
                                            "busy",     "unit",       "press_type"};
        static const char* const kValues[] = {"0", "1", "3", "-1", "1e30", "250", "0.5"};
        const char* pszKey = kKeys[Draw(7)];
        const char* pszValue = kValues[Draw(7)];
        StandinSetTransmitterVariable(0, pszKey, pszValue, &error);
        sprintf(szStep, "xmtr %s %s", pszKey, pszValue);
        break;
    }
    }
    Step("step " + std::to_string(nStep) + ": " + szStep);
    if (!WaitIdle())
    {
        g.counts.nHangs++;
        Report("no end within the bounded wait");
        return;
    }
    g.checks.Idle();
    CheckLocksFree("a fuzz step");
    if (g.steps.size() > 200)
        g.steps.erase(g.steps.begin(), g.steps.begin() + 100);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        fprintf(stderr, "usage: kestrum-stress STOPS STEPS [SEED]\n");
        return 2;
    }
    int nStops = atoi(argv[1]), nSteps = atoi(argv[2]);
    g.nPlannedStops = nStops;
    g.nPlannedSteps = nSteps;
    g.nSeed = argc > 3 ? static_cast<unsigned>(strtoul(argv[3], NULL, 10)) : 1;
    g.rng.seed(g.nSeed);
    ::SetUnhandledExceptionFilter(&OnCrash);
    theApp.SetScripted(true);
    Events events;
    g.pEvents = &events;
    ResetStandins();
    g.hFrame =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 960, 640, NULL, NULL, NULL, NULL);
    if (!LoadPage())
        return 1;
    for (int i = 0; i < nStops; i++)
    {
        RunStopPoint(i);
        g.nStops++;
    }
    ResetStandins();
    g.steps.clear();
    for (int i = 0; i < nSteps; i++)
    {
        FuzzStep(i);
        g.nSteps++;
    }
    Page()->ReleasePage();
    delete Page();
    CheckEvents();
    PrintSummary();
    const Counts& c = g.counts;
    return c.nCrashes + c.nHangs + c.nHeldLocks + g.checks.UnconfirmedWrites() +
                       g.checks.BadSends() ==
                   0
               ? 0
               : 1;
}
