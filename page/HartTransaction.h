// The frame of the HART transaction that every worker of the page runs: a null argument ends the
// worker; the controls are disabled first where the worker does that itself; the host's HART lock
// is taken, or the worker gives up at once with the controls enabled; the page lock; the
// operation's body; the operation's tail. Included by the operation files, which hand in their
// bodies.
#pragma once

#include "DlgKestrum.h"

template <typename BeforeLock, typename Body>
UINT CDlgKestrum::RunTransaction(LPVOID pParam, WorkerSlot CDlgKestrum::*pSlot, WorkerTail tail,
                                 BeforeLock beforeLock, Body body)
{
    CDlgKestrum* pPage = static_cast<CDlgKestrum*>(pParam);
    if (pPage == NULL)
        return 1;
    WorkerSlot& slot = pPage->*pSlot;
    if (tail != kTailPostForRedraw)
        pPage->EnableControls(FALSE);
    beforeLock(*pPage);
    if (!TakeHartLock())
    {
        slot.Clear();
        pPage->EnableControls(TRUE);
        return 0;
    }
    pPage->PageLock();
    body(*pPage);
    if (tail == kTailPostForRedraw)
        pPage->EndForRedraw(slot);
    else
        pPage->EndAndEnable(slot, tail == kTailEnableAndPost || pPage->m_bPostDone);
    return 0;
}

template <typename Body>
UINT CDlgKestrum::RunTransaction(LPVOID pParam, WorkerSlot CDlgKestrum::*pSlot, WorkerTail tail,
                                 Body body)
{
    return RunTransaction(
        pParam, pSlot, tail, [](CDlgKestrum&) {}, body);
}
