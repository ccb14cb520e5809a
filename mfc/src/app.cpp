// The application object, the framework's state and locks, message boxes and resource lookup.
#include "state.h"

namespace
{
AFX_MODULE_STATE g_moduleState;

struct GlobalLocks
{
    CRITICAL_SECTION sections[CRIT_MAX];
    GlobalLocks()
    {
        for (CRITICAL_SECTION& section : sections)
            ::InitializeCriticalSection(&section);
    }
    ~GlobalLocks()
    {
        for (CRITICAL_SECTION& section : sections)
            ::DeleteCriticalSection(&section);
    }
} g_locks;

BOOL HasResource(HINSTANCE hInst, LPCTSTR lpszName, LPCTSTR lpszType)
{
    return hInst != NULL && ::FindResourceW(hInst, lpszName, lpszType) != NULL;
}

// Sent to the application's main window when the application's modeless state changes: wParam
// is TRUE when modeless windows may take input again. It lies in the range MFC keeps for its own
// messages.
const UINT WM_AFX_ENABLEMODELESS = 0x037F;

// The owner for a box of the calling thread, as CWnd::GetSafeOwner finds it without a parent: the
// thread's main window, or its first parent that is not a child, and of that the last active popup,
// so the box comes above an open popup of that window. The top-level window above it is disabled
// (*phWndTop, NULL when it was disabled already, for the caller to enable again).
HWND SafeOwner(HWND* phWndTop)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hWnd = pMainWnd != NULL ? pMainWnd->GetSafeHwnd() : NULL;
    while (hWnd != NULL && (::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) != 0)
        hWnd = ::GetParent(hWnd);
    HWND hWndTop = hWnd;
    for (HWND hWndUp = hWnd; hWndUp != NULL; hWndUp = ::GetParent(hWndUp))
        hWndTop = hWndUp;
    *phWndTop = NULL;
    if (hWndTop != NULL && ::IsWindowEnabled(hWndTop))
    {
        ::EnableWindow(hWndTop, FALSE);
        *phWndTop = hWndTop;
    }
    return hWnd != NULL ? ::GetLastActivePopup(hWnd) : NULL;
}
} // namespace

AFX_MODULE_STATE* AfxGetModuleState()
{
    return &g_moduleState;
}

void AFXAPI AfxLockGlobals(int nLockType)
{
    ::EnterCriticalSection(&g_locks.sections[nLockType]);
}

void AFXAPI AfxUnlockGlobals(int nLockType)
{
    ::LeaveCriticalSection(&g_locks.sections[nLockType]);
}

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(lpszAppName), m_hInstance(::GetModuleHandleW(NULL))
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    pState->m_pCurrentWinApp = this;
    pState->m_hCurrentInstanceHandle = m_hInstance;
    pState->m_hCurrentResourceHandle = m_hInstance;
    m_hThread = ::GetCurrentThread();
    m_nThreadID = ::GetCurrentThreadId();
    m_bAutoDelete = FALSE;
}

CWinApp::~CWinApp()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    if (pState->m_pCurrentWinApp == this)
        pState->m_pCurrentWinApp = NULL;
    m_hThread = NULL;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

// As MFC's: the box is owned by the safe owner of the calling thread's main window (a worker
// started by AfxBeginThread has the application's), and while it is up the top-level window
// above that owner and the application's modeless state are disabled; both are enabled again
// after. On a worker thread each of these steps is a message sent to the window thread, so the
// box waits until that thread serves sent messages.
int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    HWND hWndTop;
    HWND hWndOwner = SafeOwner(&hWndTop);
    EnableModeless(FALSE);
    int nResult =
        ::MessageBoxW(hWndOwner, lpszPrompt, m_pszAppName != NULL ? m_pszAppName : L"", nType);
    EnableModeless(TRUE);
    if (hWndTop != NULL)
        ::EnableWindow(hWndTop, TRUE);
    return nResult;
}

// The application's modeless windows belong to its main window's thread, so the change is sent to
// the main window and takes effect on that thread.
void CWinApp::EnableModeless(BOOL bEnable)
{
    HWND hWndMain = m_pMainWnd != NULL ? m_pMainWnd->GetSafeHwnd() : NULL;
    if (hWndMain != NULL)
        ::SendMessageW(hWndMain, WM_AFX_ENABLEMODELESS, bEnable, 0);
}

CWinApp* AFXAPI AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

CWnd* AFXAPI AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    return pThread != NULL ? pThread->GetMainWnd() : NULL;
}

HINSTANCE AFXAPI AfxGetInstanceHandle()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    return pState->m_hCurrentInstanceHandle != NULL ? pState->m_hCurrentInstanceHandle
                                                    : ::GetModuleHandleW(NULL);
}

HINSTANCE AFXAPI AfxGetResourceHandle()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    return pState->m_hCurrentResourceHandle != NULL ? pState->m_hCurrentResourceHandle
                                                    : ::GetModuleHandleW(NULL);
}

void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource)
{
    AfxGetModuleState()->m_hCurrentResourceHandle = hInstResource;
}

// Searches the application's resources first, then every extension module in the chain; when
// none has the resource the application's handle is returned, as MFC does.
HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    if (HasResource(hInst, lpszName, lpszType))
        return hInst;
    HINSTANCE hFound = NULL;
    AfxLockGlobals(CRIT_DYNLINKLIST);
    for (CDynLinkLibrary* pDLL = AfxGetModuleState()->m_pFirstDLL; pDLL != NULL;
         pDLL = pDLL->m_pNextDLL)
    {
        if (HasResource(pDLL->m_hResource, lpszName, lpszType))
        {
            hFound = pDLL->m_hResource;
            break;
        }
    }
    AfxUnlockGlobals(CRIT_DYNLINKLIST);
    return hFound != NULL ? hFound : hInst;
}

// Strings live in blocks of 16; the block of nID is resource (nID / 16) + 1 of type RT_STRING.
HINSTANCE AFXAPI AfxFindStringResourceHandle(UINT nID)
{
    LPCTSTR lpszBlock = MAKEINTRESOURCEW((nID >> 4) + 1);
    HINSTANCE hInst = AfxFindResourceHandle(lpszBlock, RT_STRING);
    return HasResource(hInst, lpszBlock, RT_STRING) ? hInst : NULL;
}

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL)
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxW(NULL, lpszText, L"", nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString string;
    string.LoadString(nIDPrompt);
    return AfxMessageBox(string, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}
