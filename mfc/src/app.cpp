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

// The default shows a real message box owned by the application's main window, if it has one.
int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    HWND hWndOwner = m_pMainWnd != NULL ? m_pMainWnd->GetSafeHwnd() : NULL;
    return ::MessageBoxW(hWndOwner, lpszPrompt, m_pszAppName != NULL ? m_pszAppName : L"", nType);
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
