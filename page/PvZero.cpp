// PV zero: after the user confirms, command 43 makes the present pressure the zero point.
#include "HartTransaction.h"

#include <Device.h>
#include <CodeTables.h>

#include "../res/resource.h"

void CDlgKestrum::OnPvZero()
{
    if (Ask(IDS_ASK_PV_ZERO) != IDYES || m_nDevIndex < 0 || m_pZeroThread.IsSet())
        return;
    StartWorker(kOpZero, &CDlgKestrum::ZeroThread);
}

// The progress runs 0 before the HART lock, 50 once the page is locked. The outcome rests on the
// host's reading of the result alone, whatever the result is.
UINT CDlgKestrum::ZeroThread(LPVOID pParam)
{
    return RunTransaction(
        pParam, kOpZero, [](CDlgKestrum& page) { page.SetProgress(0); },
        [](CDlgKestrum& page) {
            page.SetProgress(50);
            BYTE byResult = page.SendCommand(PageRules::kSetPvZero.number, NULL, 0, 3, NULL);
            if (FdInfo::ProcessRspCode(page.m_nDevIndex, byResult, NULL) ==
                PageRules::kRejectedResult)
                page.Tell(ModuleKeySibling, IDS_PV_ZERO_FAILED, MB_ICONERROR);
        });
}
