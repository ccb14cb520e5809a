// How the stand-in host switches a page's buttons for EnableButton. On the page's window thread the
// button is switched at once. A worker's call does not wait for the window thread: it is posted to
// a message-only window of that thread, which switches the button in the order of the calls, before
// anything the worker posts after it. A switch the window thread made itself after the worker's
// call wins, as it would had the worker's call been served at once. The window thread must pump its
// posted messages for a worker's switches to show; a host whose EnableButton sends to the window
// thread is not modelled.
#include "Internal.h"

namespace
{
const UINT kSwitchButton = WM_APP + 1;

HWND g_hSwitcher = NULL;
DWORD g_nSwitcherThread = 0;
// The window thread's own switches, counted.
volatile LONG g_nSwitches = 0;

LRESULT CALLBACK SwitcherProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg != kSwitchButton)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    LONG nSwitches = static_cast<LONG>(wParam >> 1);
    if (nSwitches == ::InterlockedCompareExchange(&g_nSwitches, 0, 0))
        ::EnableWindow(reinterpret_cast<HWND>(lParam), static_cast<BOOL>(wParam & 1));
    return 0;
}
} // namespace

void CreateButtonSwitcher()
{
    if (g_hSwitcher != NULL)
        return;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &SwitcherProc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.lpszClassName = L"KestrumStandinButtons";
    ::RegisterClassW(&wc);
    g_nSwitcherThread = ::GetCurrentThreadId();
    g_hSwitcher = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                    wc.hInstance, NULL);
}

void SwitchButton(HWND hButton, BOOL bEnable)
{
    bEnable = bEnable ? TRUE : FALSE;
    if (g_hSwitcher == NULL || ::GetCurrentThreadId() == g_nSwitcherThread)
    {
        ::InterlockedIncrement(&g_nSwitches);
        ::EnableWindow(hButton, bEnable);
        return;
    }
    WPARAM wParam = (static_cast<WPARAM>(::InterlockedCompareExchange(&g_nSwitches, 0, 0)) << 1) |
                    static_cast<WPARAM>(bEnable);
    ::PostMessageW(g_hSwitcher, kSwitchButton, wParam, reinterpret_cast<LPARAM>(hButton));
}
