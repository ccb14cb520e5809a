// The stress campaign's host: the page in a window of its own, the events it causes, the answers to
// its boxes, and the campaign's record of what it did and found.
#pragma once

#include "../TraceLog.h"
#include "EventChecks.h"

#include <HostApp.h>

#include <atomic>
#include <random>
#include <string>
#include <vector>

namespace stress
{
// A stopped or fed page must be idle again within this time.
const DWORD kBoundedWait = 20000;

// The operations are the rows of the page's table (PageOperationAt); this names one of them.
bool IsOperation(int nOperation, const char* pszName);

// The commands the page may send, and the faults of the line (script names).
extern const WORD kCommands[6];
extern const char* const kFaults[10];

struct Counts
{
    int nCrashes = 0, nHangs = 0, nHeldLocks = 0;
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

    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
};

extern CStressApp theApp;

struct Campaign
{
    unsigned nSeed = 1;
    // The host's CleanThread only waits and terminates (StandinSetPlainHost).
    bool bPlainHost = false;
    int nPlannedStops = 0, nPlannedSteps = 0;
    int nStops = 0, nSteps = 0;
    // What has been done so far in the current stop point or since the last idle fuzz step.
    std::vector<std::string> steps;
    Counts counts;
    EventChecks checks;
    TraceLog* pEvents = NULL; // everything the checks see, read by the window thread
    HWND hFrame = NULL;
    PageHost host;
    std::mt19937 rng;
};
extern Campaign g;

void PrintSummary();
// Counts a hang and reports it.
void ReportHang(const std::string& what);
// Reports a crash with the steps that led to it; Wine's debugger then says where it happened.
LONG WINAPI OnCrash(EXCEPTION_POINTERS* pInfo);
int Draw(int nBelow);
// Runs the checks over the events so far; the events go to *pSeen as well when it is given.
void CheckEvents(std::vector<std::string>* pSeen = NULL);
// Serves messages until no worker is left and nothing arrives for a while; false on a hang.
bool WaitIdle(std::vector<std::string>* pSeen = NULL);
void Click(int nID);
void SetText(int nID, const std::string& text);
void Select(int nID, int nIndex);
bool LoadPage();
// A page that stopped, lost a device or was remade holds no lock and has no worker; counts a
// finding otherwise.
bool CheckLocksFree(const char* pszWhen);
void ResetStandins();

// One operation on the realistic wire, ended at a random moment, and the checks after it.
void RunStopPoint(int nPoint);
// One random input and the checks after it.
void FuzzStep(int nStep);
} // namespace stress
