// The HART transaction's shared pieces: starting a worker, the HART lock, the send loop with its
// retry rule, the base-data reads and the two tails. The frame itself is in HartTransaction.h.
#include "HartTransaction.h"

#include <Device.h>
#include <hartSeComm.h>

static_assert(PageRules::kResultDone == HART_RESULT_DONE, "the completion result");
static_assert(PageRules::kResultBusy == HART_RESULT_BUSY, "the busy result");
static_assert(PageRules::kResultRetryMask == HART_RESULT_RETRY_MASK, "the retry bits");

namespace
{
const int kTryLockAttempts = 5;

const int kReadBaseDataProgress[] = {33, 66, 100};
} // namespace

// Disables the controls where the operation's starter does that. A worker that could not be
// started leaves the controls enabled.
BOOL CDlgKestrum::StartWorker(OperationId op, AFX_THREADPROC pfnWorker)
{
    const Operation& operation = kOperations[op];
    if (operation.controlsOff != kWorkerDisables)
        EnableControls(FALSE);
    if ((this->*operation.pSlot).Start(pfnWorker, this))
        return TRUE;
    EnableControls(TRUE);
    return FALSE;
}

// Takes the HART lock; FALSE when another page's transaction holds it.
BOOL CDlgKestrum::TakeHartLock()
{
    return FdLock::TryLock(kTryLockAttempts) != 0;
}

// Starts the command's timer and sends until the result is final, the timer runs out, or
// nMaxSends sends were made (0: only the timer bounds the loop). The last result is the command's
// result.
BYTE CDlgKestrum::SendCommand(WORD wCmd, BYTE* pData, BYTE byLength, int nMaxSends,
                              void (CDlgKestrum::*pfnBeforeSend)())
{
    XTimer timer;
    timer.Begin();
    for (int nSends = 1;; nSends++)
    {
        if (pfnBeforeSend != NULL)
            (this->*pfnBeforeSend)();
        BYTE byResult = HartSendCmd(wCmd, DeviceByte(), pData, byLength);
        if (!PageRules::IsRetryResult(byResult) || timer.IsOverTime() || nSends == nMaxSends)
            return byResult;
    }
}

// A write succeeded when it completed and the host does not reject the exchange. The host is
// asked only after a completed send, and is handed the completion code 240 itself: it evaluates
// the answer it holds for that exchange, and a send that did not complete is a failure already.
BOOL CDlgKestrum::IsAcceptedWrite(BYTE byResult)
{
    return byResult == HART_RESULT_DONE &&
           FdInfo::ProcessRspCode(m_nDevIndex, HART_RESULT_DONE, NULL) !=
               PageRules::kRejectedResult;
}

// The three reads of command 223 (data byte 0, 1, 2); the service files their answers in the
// device record. Stops at the first read that does not complete.
BOOL CDlgKestrum::ReadBaseData()
{
    for (BYTE byBlock = 0; byBlock < 3; byBlock++)
    {
        SetProgress(kReadBaseDataProgress[byBlock]);
        BYTE byData = byBlock;
        BYTE byResult =
            SendCommand(PageRules::kReadBaseData.number, &byData,
                        PageRules::kReadBaseData.requestBytes, 3, &CDlgKestrum::ClearSharedRequest);
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

// The two tails keep the orders of host calls the host has always seen; they differ because
// different threads enable the controls.
//
// This worker enables them itself. It ends the progress first, so the bar is at 0 when the
// controls come back, and clears its slot last: until then the slot keeps a click on the enabled
// Set, Verify or Refresh from starting a worker while this one still holds the locks.
void CDlgKestrum::EndAndEnable(WorkerSlot& slot)
{
    SetProgress(100);
    ::Sleep(200);
    SetProgress(0);
    EnableControlsFromWorker(TRUE);
    PostMessage(WM_OPERATION_DONE, 0, 0);
    FdLock::UnLock();
    PageUnLock();
    slot.Clear();
}

// This worker leaves the controls to the completion handler, which runs on the window thread after
// the post; until then nothing on the page can be clicked, so the slot may be cleared before the
// locks are released, and the progress ends last.
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
    for (const Operation& operation : kOperations)
    {
        if (operation.request == kUsesSharedRequest && (this->*operation.pSlot).IsSet())
            return TRUE;
    }
    return FALSE;
}
