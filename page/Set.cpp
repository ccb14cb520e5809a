// Set: write press type, serial number and manufacturer with command 222.
#include "DlgKestrum.h"

#include <Device.h>
#include <CodeTables.h>

#include "../res/resource.h"

BOOL TakeHartLock();

namespace
{
const BYTE kWriteBaseDataCmd = 222;
const int kBaseDataRequestLength = 11;
const int kSerialNoBytes = 9;
} // namespace

void CDlgKestrum::OnSet()
{
    m_nDevIndex = FdDevice::GetCurrentDeviceIndex();
    if (m_nDevIndex < 0)
    {
        Tell(ModuleKeyOwn, IDS_GET_BASE_DATA_FAILED, MB_ICONERROR);
        return;
    }
    if (IsSharedRequestInUse())
        return;
    UpdateData(TRUE);
    FillBaseDataRequest();
    StartWorker(m_pSetThread, &CDlgKestrum::SetThread);
}

// The base data request: press type (the list position), the trimmed serial number in the
// thread's ANSI code page, zero padded, and the manufacturer. A list without a selection gives
// 255. A serial text longer than nine characters (it can be set around the edit's limit) is cut
// to nine, so it never runs past its bytes.
void CDlgKestrum::FillBaseDataRequest()
{
    memset(m_cmdData, 0, sizeof(m_cmdData));
    m_cmdData[0] = static_cast<BYTE>(m_cmbPressType.GetCurSel());
    m_strSerialNo.Trim();
    int nChars =
        m_strSerialNo.GetLength() < kSerialNoBytes ? m_strSerialNo.GetLength() : kSerialNoBytes;
    if (nChars > 0)
    {
        char szAnsi[2 * (kSerialNoBytes + 1)] = {0};
        int nBytes = ::WideCharToMultiByte(CP_THREAD_ACP, 0, m_strSerialNo, nChars, szAnsi,
                                           sizeof(szAnsi), NULL, NULL);
        if (nBytes > 0)
            memcpy(m_cmdData + 1, szAnsi, nBytes < nChars ? nBytes : nChars);
    }
    m_cmdData[10] = static_cast<BYTE>(m_cmbManufacturer.GetCurSel());
    m_cmdLen = kBaseDataRequestLength;
    m_nFailMsgId = IDS_SET_FAILED;
    m_bPostDone = TRUE;
    m_cmd = kWriteBaseDataCmd;
}

UINT CDlgKestrum::SetThread(LPVOID pParam)
{
    CDlgKestrum* pPage = static_cast<CDlgKestrum*>(pParam);
    if (pPage == NULL)
        return 1;
    pPage->EnableControls(FALSE);
    if (!TakeHartLock())
        return pPage->GiveUpOnBusyLock(pPage->m_pSetThread);
    pPage->PageLock();
    XTimer timer;
    timer.Begin();
    BYTE byResult =
        pPage->SendCommand(pPage->m_cmd, pPage->m_cmdData, static_cast<BYTE>(pPage->m_cmdLen),
                           timer, 3, &CDlgKestrum::ShowWriteProgress);
    if (!pPage->IsAcceptedWrite(byResult))
        pPage->Tell(ModuleKeyOwn, pPage->m_nFailMsgId, MB_ICONERROR);
    pPage->EndAndEnable(pPage->m_pSetThread, pPage->m_bPostDone);
    return 0;
}
