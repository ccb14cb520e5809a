// Verify: write the page's base data as Set does, read it back as the refresh does, and compare
// the device's values with the four reference values that the user typed.
#include "DlgKestrum.h"

#include <Device.h>
#include <hartSeComm.h>
#include <CodeTables.h>

#include <math.h>
#include <stdlib.h>

#include "../res/resource.h"

BOOL TakeHartLock();

namespace
{
// Pressure may differ by 0.0749 % of the span, temperature by just under 5 degrees.
const double kPressureTolerance = 0.000749;
const double kTemperatureTolerance = 4.999999;

CString FormatRangeValue(float fValue)
{
    CString strText;
    strText.Format(L"%.3f", static_cast<double>(fValue));
    return strText;
}

// The runtime's conversion: leading blanks skipped, stops at the first character that does not
// fit, 0 when nothing converts.
float ReferenceNumber(const CString& strText)
{
    return static_cast<float>(_wtof(strText));
}
} // namespace

void CDlgKestrum::OnVerify()
{
    UpdateData(TRUE);
    if (m_strVerifyRangeHigh.IsEmpty() || m_strVerifyRangeLow.IsEmpty() ||
        m_strVerifyPress.IsEmpty() || m_strVerifyTemp.IsEmpty())
    {
        Tell(ModuleKeyOwn, IDS_VERIFY_PARAMS_EMPTY, MB_YESNO);
        return;
    }
    if (FetchDeviceIndex() == 0)
    {
        Tell(ModuleKeyOwn, IDS_GET_BASE_DATA_FAILED, MB_ICONERROR);
        return;
    }
    if (IsSharedRequestInUse())
        return;
    FillBaseDataRequest();
    m_strRefRangeHigh = m_strVerifyRangeHigh;
    m_strRefRangeLow = m_strVerifyRangeLow;
    m_strRefPress = m_strVerifyPress;
    m_strRefTemp = m_strVerifyTemp;
    StartWorker(m_pVerifyThread, &CDlgKestrum::VerifyThread);
}

UINT CDlgKestrum::VerifyThread(LPVOID pParam)
{
    CDlgKestrum* pPage = static_cast<CDlgKestrum*>(pParam);
    if (pPage == NULL)
        return 1;
    pPage->EnableControls(FALSE);
    if (!TakeHartLock())
        return pPage->GiveUpOnBusyLock(pPage->m_pVerifyThread);
    pPage->PageLock();
    XTimer timer;
    timer.Begin();
    BYTE byResult =
        pPage->SendCommand(pPage->m_cmd, pPage->m_cmdData, static_cast<BYTE>(pPage->m_cmdLen),
                           timer, 3, &CDlgKestrum::ShowWriteProgress);
    if (!pPage->IsAcceptedWrite(byResult))
        pPage->Tell(ModuleKeyOwn, pPage->m_nFailMsgId, MB_ICONERROR);
    else if (pPage->ReadBaseData())
    {
        UINT nVerdict = pPage->MatchesReferences() ? IDS_VERIFY_SUCCESS : IDS_VERIFY_FAIL;
        pPage->Tell(ModuleKeyOwn, nVerdict, MB_OK);
    }
    pPage->EndAndEnable(pPage->m_pVerifyThread, pPage->m_bPostDone);
    return 0;
}

// Range high and low must read exactly as typed ("%.3f"); pressure and temperature must lie
// within their tolerances. Differences are taken in single precision. A value that is not a
// number or is infinite, on the device's side or as a typed reference, never verifies: the page
// shows such a value by name ("NaN", "+Inf", "-Inf"), and a comparison with it proves nothing
// (an infinite span would pass any pressure).
BOOL CDlgKestrum::MatchesReferences()
{
    DeviceRecord record;
    TakeRecord(record);
    float fRefPressure = ReferenceNumber(m_strRefPress);
    float fRefTemperature = ReferenceNumber(m_strRefTemp);
    if (!isfinite(record.fRangeHigh) || !isfinite(record.fRangeLow) ||
        !isfinite(record.fPressure) || !isfinite(record.fTemperature) || !isfinite(fRefPressure) ||
        !isfinite(fRefTemperature))
        return FALSE;
    if (FormatRangeValue(record.fRangeHigh) != m_strRefRangeHigh ||
        FormatRangeValue(record.fRangeLow) != m_strRefRangeLow)
        return FALSE;
    float fPressureDifference = record.fPressure - fRefPressure;
    float fSpanDifference = record.fRangeHigh - record.fRangeLow;
    double dPressureDeviation = fabs(static_cast<double>(fPressureDifference));
    if (dPressureDeviation != 0 &&
        !(dPressureDeviation / fabs(static_cast<double>(fSpanDifference)) <= kPressureTolerance))
        return FALSE;
    float fTemperatureDifference = record.fTemperature - fRefTemperature;
    return fabs(static_cast<double>(fTemperatureDifference)) <= kTemperatureTolerance;
}
