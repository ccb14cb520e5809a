// The stress campaign's host: loads the page, answers its boxes, drives its controls, serves its
// messages until it is idle, checks that no lock is left held and reports what the campaign found.
#include "StressHost.h"

#include <StandinBase.h>
#include <StandinDevice.h>
#include <StandinHart.h>

#include <Script.h>

#include "../../res/resource.h"

#include <stdio.h>

namespace stress
{
namespace
{
// How long the page must stay quiet with no worker before it counts as idle.
const DWORD kQuiet = 60;
// A box that a worker shows stays open this long at a stop point, unless the page stops it.
const DWORD kBoxOpenMs = 400;
} // namespace

const WORD kCommands[6] = {15, 43, 182, 183, 222, 223};
const char* const kFaults[10] = {"noanswer", "garbled", "parity", "short", "otheraddr",
                                 "busy",     "dr33",    "dr34",   "dr35",  "writeprotect"};

bool IsOperation(int nOperation, const char* pszName)
{
    return strcmp(PageOperationAt(nOperation).pszName, pszName) == 0;
}

CStressApp theApp;
Campaign g;

int CStressApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)
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

void PrintSummary()
{
    printf("stress: %d stop points, %d fuzz steps: %d crashes, %d hangs, %d held locks, "
           "%d unconfirmed writes, %d bad sends\n",
           g.nStops, g.nSteps, g.counts.nCrashes, g.counts.nHangs, g.counts.nHeldLocks,
           g.checks.UnconfirmedWrites(), g.checks.BadSends());
    fflush(stdout);
}

// Prints a finding with the seed and the last steps that led to it.
static void Report(const std::string& what)
{
    // The x86_64 build is run with --x64.
    printf("FAIL (seed %u): %s\n  reproduce: scripts/stress.sh %s%d %d %u%s\n  steps:\n", g.nSeed,
           what.c_str(), sizeof(void*) == 8 ? "--x64 " : "", g.nPlannedStops, g.nPlannedSteps,
           g.nSeed, g.bPlainHost ? " plain" : "");
    // The seed reproduces the whole campaign; the last steps show what led to the finding.
    const size_t nShown = 40;
    size_t nFirst = g.steps.size() > nShown ? g.steps.size() - nShown : 0;
    if (nFirst > 0)
        printf("    (%zu earlier steps)\n", nFirst);
    for (size_t i = nFirst; i < g.steps.size(); i++)
        printf("    %s\n", g.steps[i].c_str());
    fflush(stdout);
}

// The finding with its steps and the counts, once; Wine's debugger then prints the registers and
// the backtrace on standard error (scripts/wine-run.sh), whose frames scripts/stress.sh names.
LONG WINAPI OnCrash(EXCEPTION_POINTERS* pInfo)
{
    if (g.counts.nCrashes++ > 0)
        return EXCEPTION_CONTINUE_SEARCH;
    char szWhat[100];
    sprintf(szWhat, "crash, exception 0x%08lx on the %s thread",
            static_cast<unsigned long>(pInfo->ExceptionRecord->ExceptionCode),
            ::GetCurrentThreadId() == theApp.m_nWindowThread ? "window" : "worker");
    Report(szWhat);
    PrintSummary();
    return EXCEPTION_CONTINUE_SEARCH;
}

void ReportHang(const std::string& what)
{
    g.counts.nHangs++;
    Report(what);
}

int Draw(int nBelow)
{
    return static_cast<int>(g.rng() % static_cast<unsigned>(nBelow));
}

// Runs the checks over the events so far.
void CheckEvents(std::vector<std::string>* pSeen)
{
    for (const TraceLog::Line& event : g.pEvents->Take())
    {
        const std::string& line = event.text;
        // A worker that the host had to terminate did not end when told to stop: a hang, and a
        // thread cut off wherever it was, which may break the process later.
        if (EventField(line, "ev") == "terminated")
            ReportHang("the host terminated a worker that did not stop: " + line);
        std::string reason = g.checks.Feed(line);
        if (!reason.empty())
            Report(reason + ": " + line);
        if (pSeen != NULL)
            pSeen->push_back(line);
    }
}

// Serves messages until no worker is left and nothing arrives for a while; false on a hang.
bool WaitIdle(std::vector<std::string>* pSeen)
{
    ULONGLONG ullQuietSince = ::GetTickCount64();
    return PumpUntil(
        [&] {
            CheckEvents(pSeen);
            ULONGLONG ullNow = ::GetTickCount64();
            if (g.host.AnyWorker())
                ullQuietSince = ullNow;
            return ullNow - ullQuietSince >= kQuiet;
        },
        kBoundedWait);
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
    if (g.host.Page()->IsLock() != 0)
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
} // namespace stress
