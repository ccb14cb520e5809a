// The page base class.
#include "Internal.h"

#include <JsonLine.h>

void ReportProgress(int nPercent);

namespace
{
// How long CleanThread lets a stopped worker run to its end before it terminates it.
const DWORD kStopTimeout = 10000;

volatile LONG g_bPlainHost = FALSE;

// Answers the message boxes that a stopped worker has open, so that the worker can go on to its
// end. No is the safe answer to every question the page asks.
BOOL CALLBACK CloseBox(HWND hWnd, LPARAM)
{
    WCHAR szClass[16] = {0};
    ::GetClassNameW(hWnd, szClass, 16);
    if (lstrcmpW(szClass, L"#32770") == 0)
        ::PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    return TRUE;
}

// Waits for the thread to end. Messages that the worker sends to the window thread (its calls on
// the page's controls) are served meanwhile; posted messages stay queued, so no completion handler
// runs inside a stop.
bool WaitServingSentMessages(HANDLE hThread, DWORD nThreadID, DWORD dwTimeout)
{
    ULONGLONG ullEnd = ::GetTickCount64() + dwTimeout;
    for (;;)
    {
        ::EnumThreadWindows(nThreadID, &CloseBox, 0);
        ULONGLONG ullNow = ::GetTickCount64();
        if (ullNow >= ullEnd)
            return false;
        DWORD dwSlice = static_cast<DWORD>(ullEnd - ullNow < 50 ? ullEnd - ullNow : 50);
        DWORD dwWait = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, dwSlice, QS_SENDMESSAGE);
        if (dwWait == WAIT_OBJECT_0)
            return true;
        MSG msg;
        ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
} // namespace

IMPLEMENT_DYNAMIC(CTablePage, CDialog)

BEGIN_MESSAGE_MAP(CTablePage, CDialog)
END_MESSAGE_MAP()

CTablePage::CTablePage(UINT nIDTemplate, CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_bRouteCommand(false), m_bRouteCmdMsg(false),
      m_bRouteNotify(false), m_nLock(0)
{
}

CTablePage::~CTablePage() = default;

int CTablePage::ReloadPage()
{
    return 0;
}

void CTablePage::StopPage() {}

int CTablePage::OnDeviceChanged()
{
    return 0;
}

void CTablePage::OnPageSelected() {}

void CTablePage::ReleasePage() {}

void CTablePage::RefreshLayout() {}

void CTablePage::OnPageOpenFile(LPCTSTR) {}

BOOL CTablePage::IsPageBusy()
{
    return FALSE;
}

void CTablePage::LoadCaptions() {}

void CTablePage::DoActive() {}

void CTablePage::BeginActive() {}

void CTablePage::EndActive() {}

void CTablePage::PreActive() {}

void CTablePage::DoSetData() {}

void CTablePage::BeginSetData() {}

void CTablePage::EndSetData() {}

void CTablePage::PreSetData() {}

void CTablePage::PageLock()
{
    StandinTrace(JsonLine("lock").Add("op", "PageLock").Str().c_str());
    ::InterlockedExchange(&m_nLock, 1);
}

void CTablePage::PageUnLock()
{
    StandinTrace(JsonLine("lock").Add("op", "PageUnLock").Str().c_str());
    ::InterlockedExchange(&m_nLock, 0);
}

int CTablePage::IsLock()
{
    return ::InterlockedCompareExchange(&m_nLock, 0, 0);
}

void CTablePage::SetProgress(int nPercent)
{
    StandinTrace(JsonLine("progress").Add("value", nPercent).Str().c_str());
    ReportProgress(nPercent);
}

void CTablePage::EnableButton(int nID, int bEnable)
{
    StandinTrace(JsonLine("button").Add("id", nID).AddBool("enable", bEnable != 0).Str().c_str());
    SwitchButton(::GetDlgItem(m_hWnd, nID), bEnable);
}

void StandinSetPlainHost(BOOL bPlain)
{
    ::InterlockedExchange(&g_bPlainHost, bPlain);
}

// Stops the worker behind *ppThread. The thread object is read under CRIT_THREADOBJECT, so a
// worker that ends at this moment cannot delete it between our read and our use. The worker is
// told to stop (its waits, sends and message boxes end at once) and runs its own end, releasing
// its locks; one that does not end in time is terminated and its HART lock released for it. A
// plain host only waits and terminates (StandinSetPlainHost). Each call is reported with whether
// the slot held a thread object, so the calls a page makes and their order can be checked.
void CTablePage::CleanThread(CWinThread** ppThread)
{
    ReportCleanUp(ppThread);
    if (ppThread == NULL)
    {
        StandinTrace(JsonLine("clean").AddBool("thread", false).Str().c_str());
        return;
    }
    HANDLE hThread = NULL;
    DWORD nThreadID = 0;
    AfxLockGlobals(CRIT_THREADOBJECT);
    CWinThread* pThread = static_cast<CWinThread*>(
        ::InterlockedCompareExchangePointer(reinterpret_cast<PVOID*>(ppThread), NULL, NULL));
    if (pThread != NULL)
    {
        nThreadID = pThread->m_nThreadID;
        ::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(),
                          &hThread, 0, FALSE, DUPLICATE_SAME_ACCESS);
    }
    AfxUnlockGlobals(CRIT_THREADOBJECT);
    StandinTrace(JsonLine("clean").AddBool("thread", pThread != NULL).Str().c_str());
    if (hThread != NULL)
    {
        if (nThreadID != ::GetCurrentThreadId())
        {
            bool bPlain = ::InterlockedCompareExchange(&g_bPlainHost, 0, 0) != FALSE;
            if (!bPlain)
                CancelThread(nThreadID);
            bool bEnded = bPlain ? ::WaitForSingleObject(hThread, kStopTimeout) == WAIT_OBJECT_0
                                 : WaitServingSentMessages(hThread, nThreadID, kStopTimeout);
            if (!bEnded)
            {
                ::TerminateThread(hThread, 1);
                ::WaitForSingleObject(hThread, INFINITE);
                bool bPageLocked = IsLock() != 0;
                bool bHartLocked = ReleaseHartLockOf(nThreadID) != FALSE;
                StandinTrace(JsonLine("terminated")
                                 .Add("thread", static_cast<long long>(nThreadID))
                                 .AddBool("plain", bPlain)
                                 .AddBool("hart_lock", bHartLocked)
                                 .AddBool("page_lock", bPageLocked)
                                 .Str()
                                 .c_str());
                PageUnLock();
            }
            UncancelThread(nThreadID);
        }
        ::CloseHandle(hThread);
    }
    ::InterlockedExchangePointer(reinterpret_cast<PVOID*>(ppThread), NULL);
}

BOOL CTablePage::OnInitDialog()
{
    CreateButtonSwitcher();
    return CDialog::OnInitDialog();
}

// Commands, command messages and notifications that the page does not handle go on to the
// parent when the host asks for that.
BOOL CTablePage::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CDialog::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    return m_bRouteCmdMsg && pParent != NULL && pParent->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CTablePage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CDialog::OnCommand(wParam, lParam))
        return TRUE;
    HWND hParent = ::GetParent(m_hWnd);
    if (!m_bRouteCommand || hParent == NULL)
        return FALSE;
    ::SendMessageW(hParent, WM_COMMAND, wParam, lParam);
    return TRUE;
}

BOOL CTablePage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CDialog::OnNotify(wParam, lParam, pResult))
        return TRUE;
    HWND hParent = ::GetParent(m_hWnd);
    if (!m_bRouteNotify || hParent == NULL)
        return FALSE;
    *pResult = ::SendMessageW(hParent, WM_NOTIFY, wParam, lParam);
    return TRUE;
}

// An embedded page is never closed by Enter or Escape.
void CTablePage::OnOK() {}

void CTablePage::OnCancel() {}
