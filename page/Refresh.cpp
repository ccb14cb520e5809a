// The refresh: read the base data with three command-223 exchanges and show the device record.
#include "DlgKestrum.h"

#include <Device.h>
#include <hartSeComm.h>
#include <CodeTables.h>

#include <math.h>

#include "../res/resource.h"

BOOL TakeHartLock();

namespace
{
// "%.3f" of a finite value; a value that is not a number or infinite is named as such instead of
// the runtime's spelling.
CString FormatValue(float fValue, LPCWSTR lpszFormat)
{
    CString strText;
    if (isnan(fValue))
        strText = L"NaN";
    else if (isinf(fValue))
        strText = fValue > 0 ? L"+Inf" : L"-Inf";
    else
        strText.Format(lpszFormat, static_cast<double>(fValue));
    return strText;
}

// The serial number ends at the first blank, else at the first zero byte, else after nine
// characters. Every other byte, a control byte included, is converted as it stands, so a Set
// that leaves the text alone writes back what the device holds.
CString SerialNumberText(const char (&szSerial)[9])
{
    char szBuffer[10] = {0};
    memcpy(szBuffer, szSerial, 9);
    char* pBlank = static_cast<char*>(memchr(szBuffer, ' ', 9));
    if (pBlank != NULL)
        *pBlank = '\0';
    int nLength = static_cast<int>(strlen(szBuffer));
    CString strSerial;
    if (nLength == 0)
        return strSerial;
    WCHAR szWide[10] = {0};
    int nChars = ::MultiByteToWideChar(CP_THREAD_ACP, 0, szBuffer, nLength, szWide, 9);
    if (nChars > 0)
        strSerial = CString(szWide, nChars);
    return strSerial;
}
// A position that the list does not have leaves it without a selection (Windows clears it for an
// index beyond the list, but not every implementation does).
void SelectPosition(CComboBox& list, BYTE byPosition)
{
    list.SetCurSel(byPosition < list.GetCount() ? byPosition : -1);
}
} // namespace

int CDlgKestrum::StartRefresh()
{
    m_nDevIndex = FdDevice::GetCurrentDeviceIndex();
    if (m_nDevIndex < 0)
        return 1;
    if (IsSharedRequestInUse())
        return 0;
    EnableControls(FALSE);
    StartWorker(m_pRefreshThread, &CDlgKestrum::RefreshThread);
    return 0;
}

void CDlgKestrum::OnRefresh()
{
    StartRefresh();
}

UINT CDlgKestrum::RefreshThread(LPVOID pParam)
{
    CDlgKestrum* pPage = static_cast<CDlgKestrum*>(pParam);
    if (pPage == NULL)
        return 1;
    pPage->EnableControls(FALSE);
    if (!TakeHartLock())
        return pPage->GiveUpOnBusyLock(pPage->m_pRefreshThread);
    pPage->PageLock();
    pPage->ReadBaseData();
    pPage->EndAndEnable(pPage->m_pRefreshThread, TRUE);
    return 0;
}

LRESULT CDlgKestrum::OnOperationDone(WPARAM, LPARAM)
{
    UpdateDisplay();
    EnableControls(TRUE);
    return 0;
}

void CDlgKestrum::UpdateDisplay()
{
    DeviceRecord record;
    TakeRecord(record);
    SelectPosition(m_cmbPressType, record.byPressType);
    SelectPosition(m_cmbManufacturer, record.byManufacturer);
    m_strSerialNo = SerialNumberText(record.szSerialNo);
    m_strRangeHigh = FormatValue(record.fRangeHigh, L"%.3f");
    m_strRangeLow = FormatValue(record.fRangeLow, L"%.3f");
    m_strPressVal = FormatValue(record.fPressure, L"%.3f");
    m_strTempVal = FormatValue(record.fTemperature, L"%.3f");
    CString strUnit = PressUnitCodes.GetStrByCode(record.byPressUnit);
    CString* const units[] = {
        &m_strVerifyPressUnit, &m_strVerifyRangeLowUnit, &m_strVerifyRangeHighUnit,
        &m_strCalDownUnit,     &m_strCalUpUnit,          &m_strZeroUnit,
        &m_strPressValUnit,    &m_strRangeLowUnit,       &m_strRangeHighUnit};
    for (CString* pUnit : units)
        *pUnit = strUnit;
    m_strZero = FormatValue(record.fZero, L"%.3f");
    m_strFactorK = FormatValue(record.fFactorK, L"%.3f");
    m_strFactorB = FormatValue(record.fFactorB, L"%.3f");
    m_strCalUp = FormatValue(record.fCalUp, L"%.3f");
    m_strCalDown = FormatValue(record.fCalDown, L"%.3f");
    UpdateData(FALSE);
}
