// Set: write press type, serial number and manufacturer with command 222.
#include "HartTransaction.h"

#include <Device.h>
#include <CodeTables.h>

#include "../res/resource.h"

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
    StartWorker(kOpSet, &CDlgKestrum::SetThread);
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
    const int kSerialChars = PageRules::kSerialNoBytes;
    int nChars =
        m_strSerialNo.GetLength() < kSerialChars ? m_strSerialNo.GetLength() : kSerialChars;
    if (nChars > 0)
    {
        char szAnsi[2 * (kSerialChars + 1)] = {0};
        int nBytes = ::WideCharToMultiByte(CP_THREAD_ACP, 0, m_strSerialNo, nChars, szAnsi,
                                           sizeof(szAnsi), NULL, NULL);
        if (nBytes > 0)
            PageRules::PutSerialNumber(szAnsi, nBytes, nChars, m_cmdData + 1);
    }
    m_cmdData[10] = static_cast<BYTE>(m_cmbManufacturer.GetCurSel());
    m_cmdLen = PageRules::kWriteBaseData.requestBytes;
    m_nFailMsgId = IDS_SET_FAILED;
    m_bPostDone = TRUE;
    m_cmd = PageRules::kWriteBaseData.number;
}

UINT CDlgKestrum::SetThread(LPVOID pParam)
{
    return RunTransaction(pParam, kOpSet, [](CDlgKestrum& page) { page.WriteSharedRequest(); });
}

// Sends the shared request, at most three times, and reports a failed write.
BOOL CDlgKestrum::WriteSharedRequest()
{
    BYTE byResult = SendCommand(m_cmd, m_cmdData, static_cast<BYTE>(m_cmdLen), 3,
                                &CDlgKestrum::ShowWriteProgress);
    if (IsAcceptedWrite(byResult))
        return TRUE;
    Tell(ModuleKeyOwn, m_nFailMsgId, MB_ICONERROR);
    return FALSE;
}
