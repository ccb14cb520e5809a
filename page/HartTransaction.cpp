// The HART transaction that every worker of the page runs: starting a worker, the busy HART lock,
// the send loop with its retry rule, the base-data reads, and the two tails.
#include "DlgKestrum.h"

#include <Device.h>
#include <hartSeComm.h>

namespace
{
const int kTryLockAttempts = 5;

// 254, or a result with all bits of 0x0D set, means the exchange did not complete: send again.
bool IsRetryResult(BYTE byResult)
{
    return byResult == HART_RESULT_BUSY ||
           (byResult & HART_RESULT_RETRY_MASK) == HART_RESULT_RETRY_MASK;
}

const BYTE kReadBaseDataCmd = 223;
const int kReadBaseDataProgress[] = {33, 66, 100};
} // namespace

// The worker starts suspended and runs only once the slot holds it, so a worker that ends at once
// (a busy HART lock) clears a slot that is really set. A worker that could not be started leaves
// the controls enabled.
BOOL CDlgKestrum::StartWorker(WorkerSlot& slot, AFX_THREADPROC pfnWorker)
{
    CWinThread* pThread =
        AfxBeginThread(pfnWorker, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, NULL);
    if (pThread == NULL)
    {
        EnableControls(TRUE);
        return FALSE;
    }
    slot.Set(pThread);
    pThread->ResumeThread();
    return TRUE;
}

// Takes the HART lock; 0 when another page's transaction holds it.
BOOL TakeHartLock()
{
    return FdLock::TryLock(kTryLockAttempts) != 0;
}

UINT CDlgKestrum::GiveUpOnBusyLock(WorkerSlot& slot)
{
    slot.Clear();
    EnableControls(TRUE);
    return 0;
}

// Sends until the result is final, the timer runs out, or nMaxSends sends were made (0: only the
// timer bounds the loop). The last result is the command's result.
BYTE CDlgKestrum::SendCommand(WORD wCmd, BYTE* pData, BYTE byLength, XTimer& timer, int nMaxSends,
                              void (CDlgKestrum::*pfnBeforeSend)())
{
    for (int nSends = 1;; nSends++)
    {
        if (pfnBeforeSend != NULL)
            (this->*pfnBeforeSend)();
        BYTE byResult = HartSendCmd(wCmd, DeviceByte(), pData, byLength);
        if (!IsRetryResult(byResult) || timer.IsOverTime() || nSends == nMaxSends)
            return byResult;
    }
}

// A write succeeded when it completed and the host does not reject its response code.
BOOL CDlgKestrum::IsAcceptedWrite(BYTE byResult)
{
    return byResult == HART_RESULT_DONE &&
           FdInfo::ProcessRspCode(m_nDevIndex, HART_RESULT_DONE, NULL) != 0xFF;
}

// The three reads of command 223 (data byte 0, 1, 2); the service files their answers in the
// device record. Stops at the first read that does not complete.
BOOL CDlgKestrum::ReadBaseData()
{
    for (BYTE byBlock = 0; byBlock < 3; byBlock++)
    {
        SetProgress(kReadBaseDataProgress[byBlock]);
        XTimer timer;
        timer.Begin();
        BYTE byData = byBlock;
        BYTE byResult =
            SendCommand(kReadBaseDataCmd, &byData, 1, timer, 3, &CDlgKestrum::ClearSharedRequest);
        FdInfo::ProcessRspCode(m_nDevIndex, byResult, NULL);
        if (byResult != HART_RESULT_DONE)
            return FALSE;
    }
    return TRUE;
}

void CDlgKestrum::ClearSharedRequest()
{
    memset(m_cmdData, 0, sizeof(m_cmdData));
    m_cmdLen = 0;
}

void CDlgKestrum::ShowWriteProgress()
{
    SetProgress(30);
}

// The end of the refresh, Set and Verify workers: they enable the controls themselves.
void CDlgKestrum::EndAndEnable(WorkerSlot& slot, BOOL bPost)
{
    SetProgress(100);
    ::Sleep(200);
    SetProgress(0);
    EnableControls(TRUE);
    if (bPost)
        PostMessage(WM_OPERATION_DONE, 0, 0);
    FdLock::UnLock();
    PageUnLock();
    slot.Clear();
}

// The end of the PV zero and range workers: the completion handler enables the controls.
void CDlgKestrum::EndForRedraw(WorkerSlot& slot)
{
    SetProgress(100);
    ::Sleep(100);
    PostMessage(WM_OPERATION_DONE, 0, 0);
    slot.Clear();
    FdLock::UnLock();
    PageUnLock();
    SetProgress(0);
}

// Set, Verify and the refresh share m_cmdData and m_cmdLen: none of them starts while another
// one's worker exists, so the request a worker sends is the one its starter prepared.
BOOL CDlgKestrum::IsSharedRequestInUse() const
{
    return m_pSetThread.IsSet() || m_pRefreshThread.IsSet() || m_pVerifyThread.IsSet();
}
