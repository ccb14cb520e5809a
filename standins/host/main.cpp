// kestrum-host: the stand-in host. It loads Kestrum.dll as the real host does, embeds its page
// in a window of its own and drives it, in front of a set of simulated transmitters or the devices
// on a real link.
//   kestrum-host                 a window with the page, a device selector, progress and status
//   kestrum-host --link LINK     the same with the devices found on a link: serial COMn [rts],
//                                hart-ip ADDRESS:PORT (either with scan for polling addresses 0-15)
//   kestrum-host --script FILE   runs a script (- for standard input), one JSON event per line
#include "HostApp.h"
#include "Script.h"

#include <StandinDevice.h>
#include <StandinHart.h>

#include <fstream>
#include <iostream>
#include <stdio.h>

namespace
{
CHostApp theApp;

const int kIdDeviceList = 100;

struct Gui
{
    HWND hFrame = NULL;
    HWND hDevices = NULL;
    HWND hProgress = NULL;
    HWND hStatus = NULL;
    PageHost host;
} g_gui;

void CALLBACK PrintEvent(const char* pszJson, void*)
{
    fputs(pszJson, stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

void CALLBACK ShowProgress(int nPercent, void*)
{
    ::PostMessageW(g_gui.hProgress, PBM_SETPOS, nPercent, 0);
}

void CALLBACK ShowStatus(LPCWSTR pszStatus, void*)
{
    ::SetWindowTextW(g_gui.hStatus, pszStatus);
}

LRESULT CALLBACK FrameProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_COMMAND && LOWORD(wParam) == kIdDeviceList && HIWORD(wParam) == CBN_SELCHANGE)
    {
        StandinSetCurrentDevice(
            static_cast<int>(::SendMessageW(g_gui.hDevices, CB_GETCURSEL, 0, 0)));
        if (g_gui.host.Page() != NULL)
            g_gui.host.Page()->OnDeviceChanged();
        return 0;
    }
    if (nMsg == WM_CLOSE)
    {
        g_gui.host.Unload();
        ::DestroyWindow(hWnd);
        return 0;
    }
    if (nMsg == WM_DESTROY)
    {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

HWND CreateFrame(bool bVisible)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &FrameProc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.hCursor = ::LoadCursorW(NULL, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"KestrumHostFrame";
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, L"Kestrum host",
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (bVisible ? WS_VISIBLE : 0),
                             CW_USEDEFAULT, CW_USEDEFAULT, 960, 640, NULL, NULL, wc.hInstance,
                             NULL);
}

// Places the page under the device selector and sizes the frame so that the page and the status
// line below it are seen whole, whatever size the page's dialog font gives it.
void FitFrameToPage()
{
    const int kTop = 36, kStatusHeight = 24;
    RECT rcPage;
    ::GetWindowRect(g_gui.host.PageWindow(), &rcPage);
    int cxPage = rcPage.right - rcPage.left, cyPage = rcPage.bottom - rcPage.top;
    ::SetWindowPos(g_gui.host.PageWindow(), NULL, 0, kTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetWindowPos(g_gui.hStatus, NULL, 8, kTop + cyPage + 4, cxPage - 16, kStatusHeight - 4,
                   SWP_NOZORDER);
    RECT rcFrame = {0, 0, cxPage, kTop + cyPage + kStatusHeight};
    ::AdjustWindowRect(&rcFrame, WS_OVERLAPPEDWINDOW, FALSE);
    ::SetWindowPos(g_gui.hFrame, NULL, 0, 0, rcFrame.right - rcFrame.left,
                   rcFrame.bottom - rcFrame.top, SWP_NOMOVE | SWP_NOZORDER);
}

// The device selector lists what the service has, from index 0 up to the first gap.
void ListDevices()
{
    for (int i = 0; i < STANDIN_MAX_DEVICES; i++)
    {
        std::string description = StandinDescribeDevice(static_cast<BYTE>(i));
        if (description.empty())
            break;
        std::wstring text(description.begin(), description.end());
        ::SendMessageW(g_gui.hDevices, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageW(g_gui.hDevices, CB_SETCURSEL, 0, 0);
}

int RunGui(const std::string& linkSetting)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    g_gui.hFrame = CreateFrame(true);
    HINSTANCE hInst = ::GetModuleHandleW(NULL);
    g_gui.hDevices =
        ::CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 8, 8, 200,
                          200, g_gui.hFrame, reinterpret_cast<HMENU>(kIdDeviceList), hInst, NULL);
    g_gui.hProgress = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 220, 10,
                                        300, 18, g_gui.hFrame, NULL, hInst, NULL);
    g_gui.hStatus = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 8, 580, 900, 20,
                                      g_gui.hFrame, NULL, hInst, NULL);
    StandinSetProgressSink(&ShowProgress, NULL);
    StandinSetStatusSink(&ShowStatus, NULL);
    StandinSetRealWire(TRUE);
    std::string linkError;
    if (!linkSetting.empty() && !StandinOpenLink(linkSetting, &linkError))
        ::SetWindowTextW(g_gui.hStatus, std::wstring(linkError.begin(), linkError.end()).c_str());
    ListDevices();
    std::string error;
    if (!g_gui.host.Load(g_gui.hFrame, &error))
    {
        ::MessageBoxW(NULL, L"The page could not be loaded.", L"Kestrum host", MB_ICONERROR);
        return 1;
    }
    FitFrameToPage();
    ::ShowWindow(g_gui.host.PageWindow(), SW_SHOW);
    g_gui.host.Page()->OnDeviceChanged();
    MSG msg;
    while (::GetMessageW(&msg, NULL, 0, 0) > 0)
    {
        if (!::IsDialogMessageW(g_gui.host.PageWindow(), &msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
}

int RunScripted(const char* pszFile)
{
    theApp.SetScripted(true);
    StandinSetTraceSink(&PrintEvent, NULL);
    HWND hFrame = CreateFrame(false);
    std::string error;
    if (!g_gui.host.Load(hFrame, &error))
    {
        fprintf(stderr, "kestrum-host: %s\n", error.c_str());
        return 1;
    }
    ::ShowWindow(g_gui.host.PageWindow(), SW_SHOW);
    int nResult;
    if (strcmp(pszFile, "-") == 0)
        nResult = RunScript(theApp, g_gui.host, std::cin);
    else
    {
        std::ifstream file(pszFile);
        if (!file)
        {
            fprintf(stderr, "kestrum-host: cannot read %s\n", pszFile);
            return 1;
        }
        nResult = RunScript(theApp, g_gui.host, file);
    }
    // Let the page go as the host does: released (and so stopped), then destroyed.
    g_gui.host.Unload();
    StandinSetTraceSink(NULL, NULL);
    ::DestroyWindow(hFrame);
    return nResult;
}

int Run(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "--script") == 0)
        return RunScripted(argv[2]);
    if (argc == 1)
        return RunGui("");
    if (argc >= 3 && strcmp(argv[1], "--link") == 0)
    {
        std::string setting = argv[2];
        for (int i = 3; i < argc; i++)
            setting += std::string(" ") + argv[i];
        return RunGui(setting);
    }
    fprintf(stderr, "usage: kestrum-host [--script FILE|-] [--link LINK]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    for (int i = 0; i < STANDIN_SIM_DEVICES; i++)
        StandinAttachTransmitter(static_cast<BYTE>(i));
    const int nResult = Run(argc, argv);
    // A real link's session is closed here, while the process still runs normally, not when the
    // service's DLL is unloaded at its end.
    StandinResetService();
    return nResult;
}
