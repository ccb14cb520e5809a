// Range calibration: Get reads the present value (command 183) into the Value field; Download
// checks it against the device's range and writes it as the lower or upper limit (commands 15 and
// 182).
#include "DlgKestrum.h"

#include <Device.h>
#include <hartSeComm.h>
#include <CodeTables.h>

#include <math.h>

#include "../res/resource.h"
#include "ScanFloat.h"

BOOL TakeHartLock();

namespace
{
const BYTE kReadDeviceInfoCmd = 15;
const BYTE kWriteRangePointCmd = 182;
const BYTE kReadValueCmd = 183;
const BYTE kPointLow = 1;
const BYTE kPointUp = 2;
// Transmitters of this type are calibrated at any value: no bias check.
const WORD kUncheckedDeviceType = 58064;
const double kMaxBias = 0.01;

// Whether v lies too far from the range limit, relative to the span: |v - limit| / span > 1 %,
// with the differences in single precision. A value equal to the limit always passes (also
// over a span of 0); a bias that cannot be computed (a range that is not a number) fails.
bool IsBiasTooBig(float fValue, float fLimit, float fSpan)
{
    float fDifference = fValue - fLimit;
    double dDifference = fabs(static_cast<double>(fDifference));
    if (dDifference == 0)
        return false;
    double dBias = dDifference / static_cast<double>(fSpan);
    return !(dBias <= kMaxBias);
}

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
    EnableControls(FALSE);
    StartWorker(m_pRangeGetThread, &CDlgKestrum::RangeGetThread);
}

// Only the timer bounds the send loop; Get never shows a message box.
UINT CDlgKestrum::RangeGetThread(LPVOID pParam)
{
    CDlgKestrum* pPage = static_cast<CDlgKestrum*>(pParam);
    if (pPage == NULL)
        return 1;
    if (!TakeHartLock())
        return pPage->GiveUpOnBusyLock(pPage->m_pRangeGetThread);
    pPage->PageLock();
    pPage->SetProgress(30);
    ::Sleep(200);
    pPage->SetProgress(50);
    BYTE response[HART_MAX_RSP_DATA] = {0};
    XTimer timer;
    timer.Begin();
    BYTE byResult = pPage->SendCommand(kReadValueCmd, NULL, 0, timer, 0, NULL);
    if (byResult == HART_RESULT_DONE)
    {
        if (FdInfo::ProcessRspCode(pPage->m_nDevIndex, HART_RESULT_DONE, NULL) ==
                HART_RESULT_DONE &&
            HartGetRspData(response) == 4)
        {
            UINT32 nBits;
            memcpy(&nBits, response, sizeof(nBits));
            swap32(&nBits);
            float fValue;
            memcpy(&fValue, &nBits, sizeof(fValue));
            // A reading that is not finite empties the field: no earlier value may stay there to
            // be downloaded as if the device had just reported it.
            CString strValue;
            if (isfinite(fValue))
                strValue.Format(L"%.6f", static_cast<double>(fValue));
            pPage->SetDlgItemText(IDC_EDT_RANGE_VALUE, strValue);
        }
    }
    else
        FdInfo::ProcessRspCode(pPage->m_nDevIndex, byResult, NULL);
    pPage->EndForRedraw(pPage->m_pRangeGetThread);
    return 0;
}

void CDlgKestrum::OnRangeDownload()
{
    if (Ask(IDS_ASK_RANGE_CORRECT) != IDYES || m_nDevIndex < 0 || m_pRangeDownloadThread.IsSet())
        return;
    EnableControls(FALSE);
    StartWorker(m_pRangeDownloadThread, &CDlgKestrum::RangeDownloadThread);
}

// The record is copied before the HART lock is taken and before command 15, so the range that
// the value is checked against is the one the service held when the user confirmed.
UINT CDlgKestrum::RangeDownloadThread(LPVOID pParam)
{
    CDlgKestrum* pPage = static_cast<CDlgKestrum*>(pParam);
    if (pPage == NULL)
        return 1;
    DeviceRecord record;
    pPage->TakeRecord(record);
    if (!TakeHartLock())
        return pPage->GiveUpOnBusyLock(pPage->m_pRangeDownloadThread);
    pPage->PageLock();
    XTimer timer;
    timer.Begin();
    BYTE byResult = pPage->SendCommand(kReadDeviceInfoCmd, NULL, 0, timer, 0, NULL);
    FdInfo::ProcessRspCode(pPage->m_nDevIndex, byResult, NULL);
    if (byResult == HART_RESULT_DONE)
        pPage->DownloadRangePoint(record);
    pPage->EndForRedraw(pPage->m_pRangeDownloadThread);
    return 0;
}

// Checks the point and the value and sends command 182. Only a chosen point (low or up limit)
// and a Value text that parses to a finite number reach the device.
void CDlgKestrum::DownloadRangePoint(const DeviceRecord& record)
{
    SetProgress(30);
    ::Sleep(200);
    SetProgress(50);
    int nSelected = m_cmbPoint.GetCurSel();
    BYTE byPoint = static_cast<BYTE>(m_cmbPoint.GetItemData(static_cast<BYTE>(nSelected)));
    if (byPoint != kPointLow && byPoint != kPointUp)
    {
        Tell(ModuleKeySibling, IDS_CHOOSE_POINT, MB_OK);
        return;
    }
    CString strValue;
    GetDlgItemText(IDC_EDT_RANGE_VALUE, strValue);
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
        float fSpan = static_cast<float>(fabs(static_cast<double>(fUp - fLow)));
        if (byPoint == kPointLow && IsBiasTooBig(fValue, fLow, fSpan))
        {
            Tell(ModuleKeySibling, IDS_LOW_BIAS_TOO_BIG, MB_OK);
            return;
        }
        if (byPoint == kPointUp && IsBiasTooBig(fValue, fUp, fSpan))
        {
            Tell(ModuleKeySibling, IDS_UP_BIAS_TOO_BIG, MB_OK);
            return;
        }
    }
    BYTE request[5];
    request[0] = static_cast<BYTE>(byPoint - 1);
    UINT32 nBits = FloatBits(fValue);
    swap32(&nBits);
    memcpy(request + 1, &nBits, sizeof(nBits));
    XTimer timer;
    timer.Begin();
    BYTE byResult = SendCommand(kWriteRangePointCmd, request, sizeof(request), timer, 3, NULL);
    if (!IsAcceptedWrite(byResult))
        Tell(ModuleKeySibling, IDS_RANGE_FAILED, MB_ICONERROR);
}
