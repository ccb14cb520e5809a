// Measures a refresh on the realistic wire against what it should cost: three command-223
// exchanges at 1200 bit/s (request, turnaround, answer) and the page's pause at the end of its
// worker. Prints the figures; it asserts nothing.
#include <HostApp.h>
#include <StandinHart.h>

#include <HartFrame.h>
#include <Transmitter.h>
#include <WireModel.h>

#include <algorithm>
#include <chrono>
#include <stdio.h>
#include <vector>

namespace
{
CHostApp theApp;

const int kRuns = 5;
const WORD kRefreshButton = 1016;
// The refresh worker's tail holds the page for this long between progress 100 and 0.
const std::chrono::milliseconds kTailPause{200};

// The wire time of the three base-data reads, from the frames a default transmitter exchanges.
std::chrono::microseconds WireTimeOfRefresh()
{
    hartsim::Transmitter transmitter;
    hartsim::WireModel wire = hartsim::WireModel::Timed();
    std::chrono::microseconds total{0};
    for (uint8_t block = 0; block < 3; block++)
    {
        std::vector<uint8_t> request =
            hartsim::EncodeRequest({transmitter.Address(), 223, {block}});
        std::vector<uint8_t> answer = transmitter.Exchange(request);
        total += wire.Exchange(request.size(), answer.size());
    }
    return total;
}

// Clicks Refresh and pumps messages until the worker is gone and its completion was handled.
double TimeOneRefresh(PageHost& host)
{
    auto start = std::chrono::steady_clock::now();
    host.Page()->SendMessage(WM_COMMAND, MAKEWPARAM(kRefreshButton, BN_CLICKED), 0);
    MSG msg;
    for (;;)
    {
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        if (!host.AnyWorker())
            break;
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
    }
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}
} // namespace

int main()
{
    theApp.SetScripted(true);
    StandinAttachTransmitter(0);
    StandinSetRealWire(TRUE);
    HWND hParent =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 900, 600, NULL, NULL, NULL, NULL);
    PageHost host;
    std::string error;
    if (!host.Load(hParent, &error))
    {
        fprintf(stderr, "refresh_bench: %s\n", error.c_str());
        return 1;
    }
    double wireMs = std::chrono::duration<double, std::milli>(WireTimeOfRefresh()).count();
    double expectedMs = wireMs + std::chrono::duration<double, std::milli>(kTailPause).count();

    std::vector<double> runs;
    for (int i = 0; i < kRuns; i++)
        runs.push_back(TimeOneRefresh(host));
    std::sort(runs.begin(), runs.end());
    printf("refresh on the realistic wire, %d runs\n", kRuns);
    printf("  expected: %.1f ms (three exchanges %.1f ms + pause %.0f ms)\n", expectedMs, wireMs,
           std::chrono::duration<double, std::milli>(kTailPause).count());
    printf("  measured: min %.1f ms, median %.1f ms, max %.1f ms\n", runs.front(), runs[kRuns / 2],
           runs.back());
    printf("  overhead: %.1f ms at the median (%.1f%%)\n", runs[kRuns / 2] - expectedMs,
           100.0 * (runs[kRuns / 2] - expectedMs) / expectedMs);

    host.Page()->ReleasePage();
    delete host.Page();
    ::DestroyWindow(hParent);
    return 0;
}
