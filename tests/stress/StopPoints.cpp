// Stop points: each of the six operations started on the realistic wire and ended at a random
// moment, also inside the page's question or while its worker's box is open; then the page must
// be idle, hold no lock, have no worker and complete the next refresh.
#include "StressHost.h"

#include <StandinBase.h>
#include <StandinDevice.h>
#include <StandinHart.h>

#include "../../res/resource.h"

#include <stdio.h>

namespace stress
{
namespace
{
// The longest operation on the realistic wire (refresh, verify) takes about two seconds.
const int kLongestOperationMs = 2200;

// The ways a stop point ends the operation; DestroyPage lets the page go as the host does.
const struct StopAction
{
    const char* pszName;
    void (*pfnRun)();
} kStopActions[] = {
    {"StopPage", [] { g.host.Page()->StopPage(); }},
    {"OnDeviceChanged", [] { g.host.Page()->OnDeviceChanged(); }},
    {"ReleasePage", [] { g.host.Page()->ReleasePage(); }},
    {"letting the page go (ReleasePage, then delete)",
     [] {
         g.host.Unload();
         LoadPage();
     }},
    {"a device change in the host",
     [] {
         StandinSetCurrentDevice(1);
         g.host.Page()->OnDeviceChanged();
     }},
};
const int kStopActionCount = sizeof kStopActions / sizeof kStopActions[0];
const StopAction& DestroyPage = kStopActions[3];

const StopAction* g_pPendingStop = &kStopActions[0];

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

// Gives the operation what it needs to reach the device; with bToBox, what makes it show a box
// from its worker: a write refused as write-protected, or the verify result.
void Prepare(int nOp, bool bToBox)
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
    if (bToBox && IsOperation(nOp, "set"))
        StandinQueueFaults(222, "writeprotect", 1, &error);
    if (bToBox && IsOperation(nOp, "zero"))
        StandinQueueFaults(43, "writeprotect", 1, &error);
    if (bToBox && IsOperation(nOp, "range_download"))
        StandinQueueFaults(182, "writeprotect", 1, &error);
}
} // namespace

void RunStopPoint(int nPoint)
{
    g.steps.clear();
    int nOp = Draw(kPageOperationCount);
    const StopAction& action = kStopActions[Draw(kStopActionCount)];
    int nMode = Draw(4);
    bool bHasQuestion = IsOperation(nOp, "zero") || IsOperation(nOp, "range_download");
    bool bHasWorkerBox = !IsOperation(nOp, "refresh") && !IsOperation(nOp, "range_get");
    bool bInQuestion = nMode == 0 && bHasQuestion && &action != &DestroyPage;
    bool bInWorkerBox = nMode == 1 && bHasWorkerBox;
    int nDelay = Draw(kLongestOperationMs);
    char szStep[200];
    sprintf(szStep, "stop point %d: %s on the real wire, %s %s", nPoint,
            PageOperationAt(nOp).pszName, action.pszName,
            bInQuestion    ? "inside its question"
            : bInWorkerBox ? "while its worker's box is open"
                           : "");
    g.steps.push_back(szStep);
    if (!bInQuestion && !bInWorkerBox)
        g.steps.push_back("  after " + std::to_string(nDelay) + " ms");

    Prepare(nOp, bInWorkerBox);
    if (!bInWorkerBox && Draw(3) == 0)
    {
        WORD wCmd = kCommands[Draw(6)];
        const char* pszFault = kFaults[Draw(10)];
        std::string error;
        StandinQueueFaults(wCmd, pszFault, 1, &error);
        g.steps.push_back(std::string("  with the line fault ") + pszFault + " on command " +
                          std::to_string(wCmd));
    }
    StandinSetRealWire(TRUE);
    theApp.m_nNextAnswer = IDYES;
    theApp.m_bHoldWorkerBoxes = bInWorkerBox;
    g_pPendingStop = &action;
    theApp.m_pfnInQuestion = bInQuestion ? +[] { g_pPendingStop->pfnRun(); } : NULL;
    Click(PageOperationAt(nOp).nButton);
    if (!bInQuestion)
    {
        if (bInWorkerBox)
            PumpUntil([] { return theApp.m_bWorkerBoxOpen.load(); }, kBoundedWait);
        else
            PumpUntil([] { return false; }, nDelay);
        action.pfnRun();
    }
    theApp.m_pfnInQuestion = NULL;
    bool bIdle = WaitIdle();
    theApp.m_bHoldWorkerBoxes = false;
    if (!bIdle)
        return ReportHang("no end within the bounded wait");
    g.checks.Idle();
    CheckLocksFree(action.pszName);
    ResetStandins();
    if (!RefreshCompletes())
        ReportHang("the next refresh did not complete");
    g.checks.Idle();
}
} // namespace stress
