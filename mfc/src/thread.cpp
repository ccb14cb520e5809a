// Worker threads.
#include <afxwin.h>
#include <process.h>

namespace
{
thread_local CWinThread* t_pCurrentThread = NULL;

unsigned __stdcall ThreadEntry(void* pParam)
{
    CWinThread* pThread = static_cast<CWinThread*>(pParam);
    t_pCurrentThread = pThread;
    // A thread without a main window of its own has the application's (AfxGetMainWnd), as in MFC.
    CWinApp* pApp = AfxGetApp();
    if (pThread->m_pMainWnd == NULL && pApp != NULL)
        pThread->m_pMainWnd = pApp->m_pMainWnd;
    UINT nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    AfxEndThread(nResult);
    return nResult;
}
} // namespace

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread()
    : m_hThread(NULL), m_nThreadID(0), m_bAutoDelete(TRUE), m_pMainWnd(NULL), m_pThreadParams(NULL),
      m_pfnThreadProc(NULL)
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : CWinThread()
{
    m_pfnThreadProc = pfnThreadProc;
    m_pThreadParams = pParam;
}

CWinThread::~CWinThread()
{
    if (m_hThread != NULL)
        ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize,
                              LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    unsigned nThreadID = 0;
    m_hThread =
        reinterpret_cast<HANDLE>(_beginthreadex(lpSecurityAttrs, nStackSize, &ThreadEntry, this,
                                                dwCreateFlags | CREATE_SUSPENDED, &nThreadID));
    if (m_hThread == NULL)
        return FALSE;
    m_nThreadID = nThreadID;
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0)
        ::ResumeThread(m_hThread);
    return TRUE;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                                  UINT nStackSize, DWORD dwCreateFlags,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs))
    {
        pThread->Delete();
        return NULL;
    }
    pThread->SetThreadPriority(nPriority);
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0)
        pThread->ResumeThread();
    return pThread;
}

// Ends a worker. Its thread object, when it deletes itself, goes under CRIT_THREADOBJECT, so a
// party that holds that lock and still finds the object through a pointer may use it.
void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    CWinThread* pThread = t_pCurrentThread;
    t_pCurrentThread = NULL;
    if (pThread != NULL && bDelete)
    {
        AfxLockGlobals(CRIT_THREADOBJECT);
        pThread->Delete();
        AfxUnlockGlobals(CRIT_THREADOBJECT);
    }
    _endthreadex(nExitCode);
}

CWinThread* AFXAPI AfxGetThread()
{
    if (t_pCurrentThread != NULL)
        return t_pCurrentThread;
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL && pApp->m_nThreadID == ::GetCurrentThreadId() ? pApp : NULL;
}
