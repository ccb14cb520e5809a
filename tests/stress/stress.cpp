// kestrum-stress: stops each of the page's operations at random moments on the realistic wire and
// feeds the page random input, checking after each stop point and each step that nothing crashed
// or hung, that no lock is held and no worker is left, that only the page's commands with sound
// requests reach the device, and that confirmed writes were confirmed.
//   kestrum-stress STOPS STEPS [SEED [plain]]
// With "plain", the host's CleanThread only waits on a worker and terminates it after its limit
// (StandinSetPlainHost); every termination is reported with the step and the locks it left.
// The same seed draws the same campaign; the moments of the stops depend on thread timing too.
#include "StressHost.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

using namespace stress;

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        fprintf(stderr, "usage: kestrum-stress STOPS STEPS [SEED [plain]]\n");
        return 2;
    }
    g.nPlannedStops = atoi(argv[1]);
    g.nPlannedSteps = atoi(argv[2]);
    g.nSeed = argc > 3 ? static_cast<unsigned>(strtoul(argv[3], NULL, 10)) : 1;
    g.rng.seed(g.nSeed);
    g.bPlainHost = argc > 4 && strcmp(argv[4], "plain") == 0;
    StandinSetPlainHost(g.bPlainHost);
    ::SetUnhandledExceptionFilter(&OnCrash);
    theApp.SetScripted(true);
    TraceLog events;
    g.pEvents = &events;
    ResetStandins();
    g.hFrame =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 960, 640, NULL, NULL, NULL, NULL);
    if (!LoadPage())
        return 1;
    for (int i = 0; i < g.nPlannedStops; i++)
    {
        RunStopPoint(i);
        g.nStops++;
    }
    ResetStandins();
    g.steps.clear();
    for (int i = 0; i < g.nPlannedSteps; i++)
    {
        FuzzStep(i);
        g.nSteps++;
    }
    g.host.Unload();
    CheckEvents();
    PrintSummary();
    const Counts& c = g.counts;
    int nFindings = c.nCrashes + c.nHangs + c.nHeldLocks + g.checks.UnconfirmedWrites();
    return nFindings + g.checks.BadSends() == 0 ? 0 : 1;
}
