// The device search on a new link, run on a thread of its own and stoppable (LinkSearch.h).
#include <StandinBase.h>
#include <JsonLine.h>

#include "IdentityFiling.h"
#include "LinkSearch.h"
#include "LinkWait.h"

#include <atomic>

namespace hartsecomm
{
namespace
{
std::atomic<bool> g_stop{false};

struct Search
{
    std::shared_ptr<Link> link;
    uint8_t lastPollingAddress = 0;
    std::vector<SearchedDevice> devices;
};

bool BeforeEachPoll(uint8_t pollingAddress)
{
    if (g_stop)
        return false;
    StandinTrace(JsonLine("scan").Add("poll", pollingAddress).Str().c_str());
    return true;
}

// The search itself, under the stop flag: a stop ends the exchange in progress, and no read
// follows it.
void Run(Search& search)
{
    const StopScope underStop(g_stop);
    for (FoundDevice& found : FindDevices(*search.link, search.lastPollingAddress, &BeforeEachPoll))
    {
        SearchedDevice device{std::move(found), StandinIdentity()};
        IdentityFromAnswer(device.found.identity, device.found.pollingAddress, &device.identity);
        if (!g_stop)
            ReadWhenFound(*search.link, device.found.address, &device.identity);
        search.devices.push_back(std::move(device));
    }
}

DWORD WINAPI SearchThread(void* pSearch)
{
    Run(*static_cast<Search*>(pSearch));
    return 0;
}
} // namespace

std::vector<SearchedDevice> SearchServingWindow(const std::shared_ptr<Link>& link,
                                                uint8_t lastPollingAddress)
{
    g_stop = false;
    Search search{link, lastPollingAddress, {}};
    HANDLE hThread = ::CreateThread(NULL, 0, &SearchThread, &search, 0, NULL);
    if (hThread == NULL)
    {
        Run(search);
        return search.devices;
    }
    // A quit request that arrives meanwhile is handed back to the thread's own loop afterwards.
    bool bQuit = false;
    WPARAM wQuitCode = 0;
    while (::MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
    {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                bQuit = true;
                wQuitCode = msg.wParam;
                g_stop = true;
                continue;
            }
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
                g_stop = true;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    ::CloseHandle(hThread);
    if (bQuit)
        ::PostQuitMessage(static_cast<int>(wQuitCode));
    return search.devices;
}

void StopSearch()
{
    g_stop = true;
}

} // namespace hartsecomm
