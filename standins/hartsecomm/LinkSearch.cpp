// The device search on a new link, run on a thread of its own and stoppable (LinkSearch.h).
#include <StandinBase.h>
#include <JsonLine.h>

#include "LinkSearch.h"

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
    std::vector<FoundDevice> found;
};

bool BeforeEachPoll(uint8_t pollingAddress)
{
    if (g_stop)
        return false;
    StandinTrace(JsonLine("scan").Add("poll", pollingAddress).Str().c_str());
    return true;
}

DWORD WINAPI SearchThread(void* pSearch)
{
    Search& search = *static_cast<Search*>(pSearch);
    search.found = FindDevices(*search.link, search.lastPollingAddress, &BeforeEachPoll);
    return 0;
}
} // namespace

std::vector<FoundDevice> SearchServingWindow(const std::shared_ptr<Link>& link,
                                             uint8_t lastPollingAddress)
{
    g_stop = false;
    Search search{link, lastPollingAddress, {}};
    HANDLE hThread = ::CreateThread(NULL, 0, &SearchThread, &search, 0, NULL);
    if (hThread == NULL)
        return FindDevices(*link, lastPollingAddress, &BeforeEachPoll);
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
    return search.found;
}

void StopSearch()
{
    g_stop = true;
}

} // namespace hartsecomm
