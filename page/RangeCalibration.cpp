// Range calibration: Get reads the present value (command 183) into the Value field; Download
// checks it against the device's range and writes it as the lower or upper limit (commands 15 and
// 182).
#include "HartTransaction.h"

#include <Device.h>
#include <hartSeComm.h>
#include <CodeTables.h>

#include <math.h>

#include "../res/resource.h"
#include "ScanFloat.h"

namespace
{
// The point codes of the Point list's item data (0: no point chosen). Command 182 carries the code
// less one: its point byte is 0 for the low limit and 1 for the up limit.
const BYTE kPointLow = 1;
const BYTE kPointUp = 2;
// Transmitters of this type are calibrated at any value: no bias check.
const WORD kUncheckedDeviceType = 58064;

UINT32 FloatBits(float fValue)
{
    UINT32 nBits;
    memcpy(&nBits, &fValue, sizeof(nBits));
    return nBits;
}
} // namespace

void CDlgKestrum::OnRangeGet()
{
    if (m_nDevIndex < 0 || m_pRangeGetThread.IsSet())
        return;
    StartWorker(kOpRangeGet, &CDlgKestrum::RangeGetThread);
}

// Only the timer bounds the send loop; Get never shows a message box.
UINT CDlgKestrum::RangeGetThread(LPVOID pParam)
{
    return RunTransaction(pParam, kOpRangeGet, [](CDlgKestrum& page) { page.ReadPresentValue(); });
}

// Command 183; only a completed read that the host accepts with 240 and that carries exactly four
// data bytes writes the Value field.
void CDlgKestrum::ReadPresentValue()
{
    SetProgress(30);
    ::Sleep(200);
    SetProgress(50);
    BYTE response[HART_MAX_RSP_DATA] = {0};
    BYTE byResult = SendCommand(PageRules::kReadValue.number, NULL, 0, 0, NULL);
    if (byResult != HART_RESULT_DONE)
    {
        FdInfo::ProcessRspCode(m_nDevIndex, byResult, NULL);
        return;
    }
    if (FdInfo::ProcessRspCode(m_nDevIndex, HART_RESULT_DONE, NULL) != HART_RESULT_DONE ||
        HartGetRspData(response) != 4)
        return;
    UINT32 nBits;
    memcpy(&nBits, response, sizeof(nBits));
    swap32(&nBits);
    float fValue;
    memcpy(&fValue, &nBits, sizeof(fValue));
    // A reading that is not finite empties the field: no earlier value may stay there to be
    // downloaded as if the device had just reported it. The window thread writes the field.
    BOOL bFinite = isfinite(fValue) ? TRUE : FALSE;
    PostMessage(WM_SHOW_VALUE, bFinite, static_cast<LPARAM>(bFinite ? nBits : 0));
}

LRESULT CDlgKestrum::OnShowValue(WPARAM wParam, LPARAM lParam)
{
    CString strValue;
    if (wParam)
    {
        UINT32 nBits = static_cast<UINT32>(lParam);
        float fValue;
        memcpy(&fValue, &nBits, sizeof(fValue));
        strValue.Format(L"%.6f", static_cast<double>(fValue));
    }
    SetDlgItemText(IDC_EDT_RANGE_VALUE, strValue);
    return 0;
}

// The point and the Value text are read here, on the window thread, which then disables the
// controls: nothing changes them before the worker checks them, and the worker sends no message to
// read them.
void CDlgKestrum::OnRangeDownload()
{
    if (Ask(IDS_ASK_RANGE_CORRECT) != IDYES || m_nDevIndex < 0 || m_pRangeDownloadThread.IsSet())
        return;
    int nSelected = m_cmbPoint.GetCurSel();
    m_byRangePoint = static_cast<BYTE>(m_cmbPoint.GetItemData(static_cast<BYTE>(nSelected)));
    GetDlgItemText(IDC_EDT_RANGE_VALUE, m_strRangeValue);
    StartWorker(kOpRangeDownload, &CDlgKestrum::RangeDownloadThread);
}

// The record is copied before the HART lock is taken and before command 15, so the range that
// the value is checked against is the one the service held when the user confirmed.
UINT CDlgKestrum::RangeDownloadThread(LPVOID pParam)
{
    DeviceRecord record;
    return RunTransaction(
        pParam, kOpRangeDownload, [&record](CDlgKestrum& page) { page.TakeRecord(record); },
        [&record](CDlgKestrum& page) {
            BYTE byResult = page.SendCommand(PageRules::kReadDeviceInfo.number, NULL, 0, 0, NULL);
            FdInfo::ProcessRspCode(page.m_nDevIndex, byResult, NULL);
            if (byResult == HART_RESULT_DONE)
                page.DownloadRangePoint(record);
        });
}

// Checks the point and the value and sends command 182. Only a chosen point (low or up limit)
// and a Value text that parses to a finite number reach the device.
void CDlgKestrum::DownloadRangePoint(const DeviceRecord& record)
{
    SetProgress(30);
    ::Sleep(200);
    SetProgress(50);
    BYTE byPoint = m_byRangePoint;
    if (byPoint != kPointLow && byPoint != kPointUp)
    {
        Tell(ModuleKeySibling, IDS_CHOOSE_POINT, MB_OK);
        return;
    }
    const CString& strValue = m_strRangeValue;
    float fValue = 0;
    if (strValue.IsEmpty() || !ScanFloat(strValue, fValue) || !isfinite(fValue))
    {
        Tell(ModuleKeySibling, IDS_GET_VALUE_FIRST, MB_OK);
        return;
    }
    if (m_wDevType != kUncheckedDeviceType)
    {
        float fLow = record.fLowerRangeValue;
        float fUp = record.fUpperRangeValue;
        float fSpan = PageRules::RangeSpan(fLow, fUp);
        if (byPoint == kPointLow && PageRules::IsBiasTooBig(fValue, fLow, fSpan))
        {
            Tell(ModuleKeySibling, IDS_LOW_BIAS_TOO_BIG, MB_OK);
            return;
        }
        if (byPoint == kPointUp && PageRules::IsBiasTooBig(fValue, fUp, fSpan))
        {
            Tell(ModuleKeySibling, IDS_UP_BIAS_TOO_BIG, MB_OK);
            return;
        }
    }
    BYTE request[PageRules::kWriteRangePoint.requestBytes];
    request[0] = static_cast<BYTE>(byPoint - kPointLow);
    UINT32 nBits = FloatBits(fValue);
    swap32(&nBits);
    memcpy(request + 1, &nBits, sizeof(nBits));
    BYTE byResult =
        SendCommand(PageRules::kWriteRangePoint.number, request, sizeof(request), 3, NULL);
    if (!IsAcceptedWrite(byResult))
        Tell(ModuleKeySibling, IDS_RANGE_FAILED, MB_ICONERROR);
}
