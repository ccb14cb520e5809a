// The life of a worker's thread object.
#include "WorkerSlot.h"

WorkerSlot::~WorkerSlot()
{
    Reap();
}

BOOL WorkerSlot::Start(AFX_THREADPROC pfnWorker, LPVOID pParam)
{
    Reap();
    CWinThread* pThread =
        AfxBeginThread(pfnWorker, pParam, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, NULL);
    if (pThread == NULL)
        return FALSE;
    pThread->m_bAutoDelete = FALSE;
    m_pOwned = pThread;
    ::InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&m_pThread), pThread);
    pThread->ResumeThread();
    return TRUE;
}

// A worker whose slot is clear is at most a few host calls from its end; one whose slot the host
// cleaned has ended already. Either may still be in a call that sends to this thread (a message box
// owned by the host's main window, or a host call of its own), so the wait serves sent messages
// instead of blocking them.
void WorkerSlot::Reap()
{
    if (m_pOwned == NULL)
        return;
    HANDLE hThread = m_pOwned->m_hThread;
    while (::MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_SENDMESSAGE) !=
           WAIT_OBJECT_0)
    {
        MSG msg;
        ::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    delete m_pOwned;
    m_pOwned = NULL;
}
