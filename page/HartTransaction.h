// The frame of the HART transaction that every worker of the page runs: a null argument ends the
// worker; the controls are disabled first where the operation's row says the worker does that; the
// host's HART lock is taken, or the worker gives up at once with the controls enabled; the page
// lock; the operation's body; the operation's tail. Included by the operation files, which hand in
// their bodies.
#pragma once

#include "PageOperations.h"

template <typename BeforeLock, typename Body>
UINT CDlgKestrum::RunTransaction(LPVOID pParam, OperationId op, BeforeLock beforeLock, Body body)
{
    CDlgKestrum* pPage = static_cast<CDlgKestrum*>(pParam);
    if (pPage == NULL)
        return 1;
    const Operation& operation = kOperations[op];
    WorkerSlot& slot = pPage->*operation.pSlot;
    if (operation.controlsOff != kStarterDisables)
        pPage->EnableControlsFromWorker(FALSE);
    beforeLock(*pPage);
    if (!TakeHartLock())
    {
        slot.Clear();
        pPage->EnableControlsFromWorker(TRUE);
        return 0;
    }
    pPage->PageLock();
    body(*pPage);
    if (operation.tail == kTailPostForRedraw)
        pPage->EndForRedraw(slot);
    else
        pPage->EndAndEnable(slot);
    return 0;
}

template <typename Body> UINT CDlgKestrum::RunTransaction(LPVOID pParam, OperationId op, Body body)
{
    return RunTransaction(
        pParam, op, [](CDlgKestrum&) {}, body);
}
