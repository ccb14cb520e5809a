// kestrum-host: the stand-in host. It loads Kestrum.dll as the real host does, embeds its page
// in a window of its own and drives it, in front of a set of simulated transmitters or the devices
// on a real link.
//   kestrum-host                 a window with the page, a device selector, progress and status
//   kestrum-host --link LINK     the same with the devices found on a link: serial COMn [rts],
//                                hart-ip ADDRESS:PORT (either with scan for polling addresses 0-15)
//   kestrum-host --script FILE   runs a script (- for standard input), one JSON event per line;
//                                exits with 1 after an error, a hang or a terminated worker
//   --plain-host before any of these: CleanThread only waits on a worker and terminates it after
//   its limit, as a plain host would (StandinSetPlainHost)
//   kestrum-host --help          this usage and the script commands
// A script's last event is {"ev":"exit","code":N}, once the page is gone and the links are closed:
// what follows is the process's own end.
// Either keeps the calibration record, JSON lines for each write, in the file given with
// --audit FILE before the other options (after --plain-host), by default audit.jsonl in the folder
// Kestrum of the user's application data; --audit off keeps none. Without that folder and without
// --audit the host does not start.
#include "HostApp.h"
#include "Script.h"

#include <JsonLine.h>
#include <StandinDevice.h>
#include <StandinHart.h>

#include <shlobj.h>

#include <atomic>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdio.h>
#include <string>

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

// Set once a script's run reports an error, a hang or a terminated worker: the script host then
// exits with 1, so a caller sees the failure without reading the events.
std::atomic<bool> g_bScriptFailed(false);

bool IsFailureEvent(const char* pszJson)
{
    static const char* const kFailures[] = {"{\"ev\":\"error\"", "{\"ev\":\"hang\"",
                                            "{\"ev\":\"terminated\""};
    for (const char* pszFailure : kFailures)
        if (strncmp(pszJson, pszFailure, strlen(pszFailure)) == 0)
            return true;
    return false;
}

// Each event names the thread it came from, "ui" for the window thread and the thread's id for a
// worker: a script checks each thread's events in their order, and the threads' interleaving is
// free.
DWORD g_dwWindowThread = 0;

void CALLBACK PrintEvent(const char* pszJson, void*)
{
    if (IsFailureEvent(pszJson))
        g_bScriptFailed = true;
    std::string line(pszJson);
    DWORD dwThread = ::GetCurrentThreadId();
    if (!line.empty() && line.back() == '}')
        line.insert(line.size() - 1, dwThread == g_dwWindowThread
                                         ? std::string(",\"th\":\"ui\"")
                                         : ",\"th\":" + std::to_string(dwThread));
    fputs(line.c_str(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

void CALLBACK ShowProgress(int nPercent, void*)
{
    ::PostMessageW(g_gui.hProgress, PBM_SETPOS, nPercent, 0);
}

// Workers report a status too. The text goes to the window thread by a post, which never waits:
// a plain host's window thread, waiting on a stopped worker, serves no message, and a worker that
// sent the text there would wait until it is terminated. The frame shows and frees the copy.
const UINT kShowStatus = WM_APP;

void CALLBACK ShowStatus(LPCWSTR pszStatus, void*)
{
    std::wstring* pText = new std::wstring(pszStatus);
    if (!::PostMessageW(g_gui.hFrame, kShowStatus, 0, reinterpret_cast<LPARAM>(pText)))
        delete pText;
}

// The title names the selected device by its identity (tag and write protection included) and
// gives the calibration record's state. Shown again after every status, so after every exchange
// the page evaluates.
void ShowSelectedDevice()
{
    int nSel = static_cast<int>(::SendMessageW(g_gui.hDevices, CB_GETCURSEL, 0, 0));
    std::string description = nSel >= 0 ? StandinDescribeDevice(static_cast<BYTE>(nSel)) : "";
    std::wstring title = L"Kestrum host";
    if (!description.empty())
        title += L" - " + Wide(description);
    title += L" - " + StandinRecordState();
    ::SetWindowTextW(g_gui.hFrame, title.c_str());
}

LRESULT CALLBACK FrameProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_COMMAND && LOWORD(wParam) == kIdDeviceList && HIWORD(wParam) == CBN_SELCHANGE)
    {
        StandinSetCurrentDevice(
            static_cast<int>(::SendMessageW(g_gui.hDevices, CB_GETCURSEL, 0, 0)));
        ShowSelectedDevice();
        if (g_gui.host.Page() != NULL)
            g_gui.host.Page()->OnDeviceChanged();
        return 0;
    }
    if (nMsg == kShowStatus)
    {
        std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(lParam));
        ::SetWindowTextW(g_gui.hStatus, text->c_str());
        ShowSelectedDevice();
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
        MSG msg;
        while (::PeekMessageW(&msg, hWnd, kShowStatus, kShowStatus, PM_REMOVE))
            delete reinterpret_cast<std::wstring*>(msg.lParam);
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

// Places the page under the device selector, the status line and the progress bar below it, and
// sizes the frame so that the page, the selector's line (cxDevices wide) and the status line are
// seen whole, whatever size the page's dialog font gives the page.
void FitFrameToPage(int cxDevices)
{
    const int kTop = 36, kStatusHeight = 24, kProgressWidth = 240, kMargin = 8;
    RECT rcPage;
    ::GetWindowRect(g_gui.host.PageWindow(), &rcPage);
    int cxPage = rcPage.right - rcPage.left, cyPage = rcPage.bottom - rcPage.top;
    int cxFrame = cxPage > cxDevices + 2 * kMargin ? cxPage : cxDevices + 2 * kMargin;
    ::SetWindowPos(g_gui.hDevices, NULL, kMargin, kMargin, cxFrame - 2 * kMargin, 200,
                   SWP_NOZORDER);
    ::SetWindowPos(g_gui.host.PageWindow(), NULL, 0, kTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetWindowPos(g_gui.hStatus, NULL, kMargin, kTop + cyPage + 4,
                   cxFrame - 3 * kMargin - kProgressWidth, kStatusHeight - 4, SWP_NOZORDER);
    ::SetWindowPos(g_gui.hProgress, NULL, cxFrame - kMargin - kProgressWidth, kTop + cyPage + 4,
                   kProgressWidth, kStatusHeight - 6, SWP_NOZORDER);
    RECT rcFrame = {0, 0, cxFrame, kTop + cyPage + kStatusHeight};
    ::AdjustWindowRect(&rcFrame, WS_OVERLAPPEDWINDOW, FALSE);
    ::SetWindowPos(g_gui.hFrame, NULL, 0, 0, rcFrame.right - rcFrame.left,
                   rcFrame.bottom - rcFrame.top, SWP_NOMOVE | SWP_NOZORDER);
}

// The device selector lists what the service has, from index 0 up to the first gap, each device
// by its identity; it is as wide as its longest line (and its list at least that wide).
int ListDevices()
{
    HDC hDC = ::GetDC(g_gui.hDevices);
    HGDIOBJ hOld = ::SelectObject(
        hDC, reinterpret_cast<HGDIOBJ>(::SendMessageW(g_gui.hDevices, WM_GETFONT, 0, 0)));
    int cxWidest = 0;
    for (int i = 0; i < STANDIN_MAX_DEVICES; i++)
    {
        std::string description = StandinDescribeDevice(static_cast<BYTE>(i));
        if (description.empty())
            break;
        std::wstring text = Wide(description);
        ::SendMessageW(g_gui.hDevices, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size;
        if (::GetTextExtentPoint32W(hDC, text.c_str(), static_cast<int>(text.size()), &size) &&
            size.cx > cxWidest)
            cxWidest = size.cx;
    }
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(g_gui.hDevices, hDC);
    const int kArrowAndMargins = 40;
    ::SendMessageW(g_gui.hDevices, CB_SETDROPPEDWIDTH, cxWidest + kArrowAndMargins, 0);
    ::SendMessageW(g_gui.hDevices, CB_SETCURSEL, 0, 0);
    ShowSelectedDevice();
    return cxWidest + kArrowAndMargins;
}

int RunGui(const std::string& linkSetting, const std::wstring& auditFile)
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
    StandinWatchExchanges(auditFile.c_str());
    std::string linkError;
    if (!linkSetting.empty() && !StandinOpenLink(linkSetting, &linkError))
        ::SetWindowTextW(g_gui.hStatus, std::wstring(linkError.begin(), linkError.end()).c_str());
    int cxDevices = ListDevices();
    std::string error;
    if (!g_gui.host.Load(g_gui.hFrame, &error))
    {
        ::MessageBoxW(NULL, L"The page could not be loaded.", L"Kestrum host", MB_ICONERROR);
        return 1;
    }
    FitFrameToPage(cxDevices);
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

int RunScripted(const char* pszFile, const std::wstring& auditFile)
{
    theApp.SetScripted(true);
    g_dwWindowThread = ::GetCurrentThreadId();
    StandinSetTraceSink(&PrintEvent, NULL);
    StandinWatchExchanges(auditFile.c_str());
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
        nResult = RunScript(theApp, g_gui.host, std::cin, auditFile);
    else
    {
        std::ifstream file(pszFile);
        if (!file)
        {
            fprintf(stderr, "kestrum-host: cannot read %s\n", pszFile);
            return 1;
        }
        nResult = RunScript(theApp, g_gui.host, file, auditFile);
    }
    // Let the page go as the host does: released (and so stopped), then destroyed.
    g_gui.host.Unload();
    StandinSetTraceSink(NULL, NULL);
    ::DestroyWindow(hFrame);
    return g_bScriptFailed ? 1 : nResult;
}

// audit.jsonl in the folder Kestrum of the user's application data, made when missing; empty when
// there is no such folder.
std::wstring DefaultAuditFile()
{
    WCHAR szFolder[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, szFolder)))
        return std::wstring();
    std::wstring folder = std::wstring(szFolder) + L"\\Kestrum";
    ::CreateDirectoryW(folder.c_str(), NULL);
    return folder + L"\\audit.jsonl";
}

int Run(int argc, char** argv)
{
    if (argc >= 2 && strcmp(argv[1], "--plain-host") == 0)
    {
        StandinSetPlainHost(TRUE);
        argv++;
        argc--;
    }
    int nArg = 1;
    std::wstring auditFile;
    if (argc >= 3 && strcmp(argv[1], "--audit") == 0)
    {
        if (strcmp(argv[2], "off") != 0)
            auditFile = Wide(argv[2]);
        nArg = 3;
    }
    else if ((auditFile = DefaultAuditFile()).empty())
    {
        const char* pszError = "There is no application-data folder for the calibration record: "
                               "give --audit FILE, or --audit off to work without a record.";
        fprintf(stderr, "kestrum-host: %s\n", pszError);
        if (!(argc == nArg + 2 && strcmp(argv[nArg], "--script") == 0))
            ::MessageBoxA(NULL, pszError, "Kestrum host", MB_ICONERROR);
        return 1;
    }
    if (argc == nArg + 2 && strcmp(argv[nArg], "--script") == 0)
        return RunScripted(argv[nArg + 1], auditFile);
    if (argc == nArg)
        return RunGui("", auditFile);
    if (argc >= nArg + 2 && strcmp(argv[nArg], "--link") == 0)
    {
        std::string setting = argv[nArg + 1];
        for (int i = nArg + 2; i < argc; i++)
            setting += std::string(" ") + argv[i];
        return RunGui(setting, auditFile);
    }
    const char* pszUsage =
        "usage: kestrum-host [--plain-host] [--audit FILE|off] [--script FILE|-] [--link LINK]\n";
    if (argc == nArg + 1 && strcmp(argv[nArg], "--help") == 0)
    {
        printf("%s%s", pszUsage, ScriptUsage().c_str());
        return 0;
    }
    fprintf(stderr, "%s       kestrum-host --help lists the script commands\n", pszUsage);
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
    if (theApp.IsScripted())
    {
        printf("%s\n", JsonLine("exit").Add("code", nResult).Str().c_str());
        fflush(stdout);
    }
    return nResult;
}
