// PV zero: after the user confirms, command 43 makes the present pressure the zero point.
#include "DlgKestrum.h"

#include <Device.h>
#include <CodeTables.h>

#include "../res/resource.h"

BOOL TakeHartLock();

namespace
{
const BYTE kSetPvZeroCmd = 43;
} // namespace

void CDlgKestrum::OnPvZero()
{
    if (Ask(IDS_ASK_PV_ZERO) != IDYES || m_nDevIndex < 0 || m_pZeroThread.IsSet())
        return;
    EnableControls(FALSE);
    StartWorker(m_pZeroThread, &CDlgKestrum::ZeroThread);
}

// The outcome rests on the host's reading of the result alone, whatever the result is.
UINT CDlgKestrum::ZeroThread(LPVOID pParam)
{
    CDlgKestrum* pPage = static_cast<CDlgKestrum*>(pParam);
    if (pPage == NULL)
        return 1;
    pPage->SetProgress(0);
    if (!TakeHartLock())
        return pPage->GiveUpOnBusyLock(pPage->m_pZeroThread);
    pPage->PageLock();
    pPage->SetProgress(50);
    XTimer timer;
    timer.Begin();
    BYTE byResult = pPage->SendCommand(kSetPvZeroCmd, NULL, 0, timer, 3, NULL);
    if (FdInfo::ProcessRspCode(pPage->m_nDevIndex, byResult, NULL) == 0xFF)
        pPage->Tell(ModuleKeySibling, IDS_PV_ZERO_FAILED, MB_ICONERROR);
    pPage->EndForRedraw(pPage->m_pZeroThread);
    return 0;
}
