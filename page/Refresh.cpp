// The refresh: read the base data with three command-223 exchanges and show the device record.
#include "HartTransaction.h"

#include <Device.h>
#include <hartSeComm.h>
#include <CodeTables.h>

#include "../res/resource.h"

namespace
{
// "%.3f" of a finite value; a value that is not a number or infinite is named as such instead of
// the runtime's spelling.
CString FormatValue(float fValue, LPCWSTR lpszFormat)
{
    CString strText;
    const char* pszName = PageRules::NonFiniteName(fValue);
    if (pszName != NULL)
        strText = pszName;
    else
        strText.Format(lpszFormat, static_cast<double>(fValue));
    return strText;
}

// The record's serial number, converted from the thread's ANSI code page.
CString SerialNumberText(const char (&szSerial)[PageRules::kSerialNoBytes])
{
    std::string text = PageRules::SerialNumberText(szSerial);
    CString strSerial;
    if (text.empty())
        return strSerial;
    WCHAR szWide[PageRules::kSerialNoBytes + 1] = {0};
    int nChars = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                       szWide, PageRules::kSerialNoBytes);
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
    StartWorker(kOpRefresh, &CDlgKestrum::RefreshThread);
    return 0;
}

void CDlgKestrum::OnRefresh()
{
    StartRefresh();
}

UINT CDlgKestrum::RefreshThread(LPVOID pParam)
{
    return RunTransaction(pParam, kOpRefresh, [](CDlgKestrum& page) { page.ReadBaseData(); });
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
