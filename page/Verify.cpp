// Verify: write the page's base data as Set does, read it back as the refresh does, and compare
// the device's values with the four reference values that the user typed.
#include "HartTransaction.h"

#include <Device.h>
#include <hartSeComm.h>
#include <CodeTables.h>

#include <math.h>
#include <stdlib.h>

#include "../res/resource.h"

namespace
{
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
    StartWorker(kOpVerify, &CDlgKestrum::VerifyThread);
}

// Writes the shared request as Set does, reads the base data back and gives the verdict; a failed
// write or read ends the body without one.
UINT CDlgKestrum::VerifyThread(LPVOID pParam)
{
    return RunTransaction(pParam, kOpVerify, [](CDlgKestrum& page) {
        if (page.WriteSharedRequest() && page.ReadBaseData())
        {
            UINT nVerdict = page.MatchesReferences() ? IDS_VERIFY_SUCCESS : IDS_VERIFY_FAIL;
            page.Tell(ModuleKeyOwn, nVerdict, MB_OK);
        }
    });
}

// Range high and low must read exactly as typed ("%.3f"); pressure and temperature must lie
// within their tolerances. A value that is not a number or is infinite, on the device's side or as
// a typed reference, never verifies: the page shows such a value by name ("NaN", "+Inf", "-Inf").
BOOL CDlgKestrum::MatchesReferences()
{
    DeviceRecord record;
    TakeRecord(record);
    if (FormatRangeValue(record.fRangeHigh) != m_strRefRangeHigh ||
        FormatRangeValue(record.fRangeLow) != m_strRefRangeLow)
        return FALSE;
    return PageRules::IsPressureWithinTolerance(record.fPressure, ReferenceNumber(m_strRefPress),
                                                record.fRangeHigh, record.fRangeLow) &&
           PageRules::IsTemperatureWithinTolerance(record.fTemperature,
                                                   ReferenceNumber(m_strRefTemp));
}
