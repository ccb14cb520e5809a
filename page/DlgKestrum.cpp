// The page object: construction, controls, captions, lists and the host's page operations.
#include "PageOperations.h"

#include <Device.h>
#include <hartSeComm.h>
#include <CodeTables.h>

#include "../res/resource.h"

namespace
{
const UINT kRangeCalibrationControls[] = {
    IDC_GRP_RANGE_CAL,   IDC_LBL_POINT,     IDC_CMB_POINT,         IDC_LBL_VALUE,
    IDC_EDT_RANGE_VALUE, IDC_BTN_RANGE_GET, IDC_BTN_RANGE_DOWNLOAD};

// Range calibration is offered for this maker's transmitters from identity byte 10 = 3 on.
const BYTE kRangeCalManufacturer = 0xE0;
const BYTE kRangeCalDeviceType = 0xB3;
const BYTE kRangeCalMinByte10 = 3;

const int kSerialNoLimit = 9;

// What EnableControls switches, group by group in its order: the plain controls of a group, then
// its buttons. A list ends at its first 0.
struct ControlGroup
{
    UINT plainControls[7];
    UINT buttons[3];
};
constexpr ControlGroup kControlGroups[] = {
    {{IDC_CMB_PRESS_TYPE, IDC_CMB_MANUFACTURER, 0}, {IDC_BTN_SET, 0}},
    {{IDC_EDT_RANGE_HIGH, IDC_EDT_RANGE_LOW, IDC_EDT_PRESS_VAL, IDC_EDT_TEMP_VAL, IDC_CMB_POINT,
      IDC_EDT_RANGE_VALUE, 0},
     {IDC_BTN_RANGE_GET, IDC_BTN_RANGE_DOWNLOAD, 0}},
    {{IDC_EDT_ZERO, IDC_EDT_FACTOR_K, IDC_EDT_FACTOR_B, IDC_EDT_SERIAL_NO, IDC_EDT_CAL_UP,
      IDC_EDT_CAL_DOWN, 0},
     {IDC_BTN_PV_ZERO, IDC_BTN_REFRESH, 0}},
    {{IDC_EDT_VERIFY_RANGE_HIGH, IDC_EDT_VERIFY_RANGE_LOW, IDC_EDT_VERIFY_PRESS,
      IDC_EDT_VERIFY_TEMP, 0},
     {IDC_BTN_VERIFY, 0}}};

constexpr int CountPlainControls()
{
    int nCount = 0;
    for (const ControlGroup& group : kControlGroups)
    {
        for (const UINT* pId = group.plainControls; *pId != 0; ++pId)
            nCount++;
    }
    return nCount;
}
} // namespace

IMPLEMENT_DYNAMIC(CDlgKestrum, CTablePage)

BEGIN_MESSAGE_MAP(CDlgKestrum, CTablePage)
ON_MESSAGE(WM_OPERATION_DONE, &CDlgKestrum::OnOperationDone)
ON_MESSAGE(WM_SWITCH_CONTROLS, &CDlgKestrum::OnSwitchControls)
ON_MESSAGE(WM_SHOW_VALUE, &CDlgKestrum::OnShowValue)
ON_BN_CLICKED(IDC_BTN_SET, &CDlgKestrum::OnSet)
ON_BN_CLICKED(IDC_BTN_RANGE_GET, &CDlgKestrum::OnRangeGet)
ON_BN_CLICKED(IDC_BTN_RANGE_DOWNLOAD, &CDlgKestrum::OnRangeDownload)
ON_BN_CLICKED(IDC_BTN_REFRESH, &CDlgKestrum::OnRefresh)
ON_BN_CLICKED(IDC_BTN_PV_ZERO, &CDlgKestrum::OnPvZero)
ON_BN_CLICKED(IDC_BTN_VERIFY, &CDlgKestrum::OnVerify)
END_MESSAGE_MAP()

CDlgKestrum::CDlgKestrum()
    : CTablePage(IDD_KESTRUM, NULL), m_nDevIndex(0), m_nControlSwitches(0), m_cmd(0), m_cmdData(),
      m_cmdLen(0), m_nFailMsgId(0), m_bPostDone(FALSE), m_wDevType(0), m_byRangePoint(0),
      m_hPlainControls()
{
}

CDlgKestrum::~CDlgKestrum()
{
    CleanThreads();
}

void CDlgKestrum::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_CMB_PRESS_TYPE, m_cmbPressType);
    DDX_Control(pDX, IDC_CMB_MANUFACTURER, m_cmbManufacturer);
    DDX_Text(pDX, IDC_EDT_RANGE_HIGH, m_strRangeHigh);
    DDX_Text(pDX, IDC_EDT_RANGE_LOW, m_strRangeLow);
    DDX_Text(pDX, IDC_EDT_PRESS_VAL, m_strPressVal);
    DDX_Text(pDX, IDC_EDT_TEMP_VAL, m_strTempVal);
    DDX_Text(pDX, IDC_LBL_RANGE_HIGH_UNIT, m_strRangeHighUnit);
    DDX_Text(pDX, IDC_LBL_RANGE_LOW_UNIT, m_strRangeLowUnit);
    DDX_Text(pDX, IDC_LBL_PRESS_VAL_UNIT, m_strPressValUnit);
    DDX_Control(pDX, IDC_CMB_POINT, m_cmbPoint);
    DDX_Text(pDX, IDC_EDT_SERIAL_NO, m_strSerialNo);
    DDX_Text(pDX, IDC_EDT_ZERO, m_strZero);
    DDX_Text(pDX, IDC_EDT_FACTOR_K, m_strFactorK);
    DDX_Text(pDX, IDC_EDT_FACTOR_B, m_strFactorB);
    DDX_Text(pDX, IDC_EDT_CAL_UP, m_strCalUp);
    DDX_Text(pDX, IDC_EDT_CAL_DOWN, m_strCalDown);
    DDX_Text(pDX, IDC_LBL_ZERO_UNIT, m_strZeroUnit);
    DDX_Text(pDX, IDC_LBL_CAL_UP_UNIT, m_strCalUpUnit);
    DDX_Text(pDX, IDC_LBL_CAL_DOWN_UNIT, m_strCalDownUnit);
    DDX_Text(pDX, IDC_EDT_VERIFY_RANGE_HIGH, m_strVerifyRangeHigh);
    DDX_Text(pDX, IDC_EDT_VERIFY_RANGE_LOW, m_strVerifyRangeLow);
    DDX_Text(pDX, IDC_EDT_VERIFY_PRESS, m_strVerifyPress);
    DDX_Text(pDX, IDC_EDT_VERIFY_TEMP, m_strVerifyTemp);
    DDX_Text(pDX, IDC_LBL_VERIFY_RANGE_HIGH_UNIT, m_strVerifyRangeHighUnit);
    DDX_Text(pDX, IDC_LBL_VERIFY_RANGE_LOW_UNIT, m_strVerifyRangeLowUnit);
    DDX_Text(pDX, IDC_LBL_VERIFY_PRESS_UNIT, m_strVerifyPressUnit);
}

// The range-calibration group stays hidden until the host reloads the page or announces a
// device.
BOOL CDlgKestrum::OnInitDialog()
{
    CTablePage::OnInitDialog();
    static_assert(CountPlainControls() == kPlainControlCount, "one window per plain control");
    int nControl = 0;
    for (const ControlGroup& group : kControlGroups)
    {
        for (const UINT* pId = group.plainControls; *pId != 0; ++pId)
            m_hPlainControls[nControl++] = ::GetDlgItem(m_hWnd, *pId);
    }
    SendDlgItemMessage(IDC_EDT_SERIAL_NO, EM_LIMITTEXT, kSerialNoLimit, 0);
    LoadCaptions();
    ResetDisplay();
    return TRUE;
}

int CDlgKestrum::ReloadPage()
{
    LoadCaptions();
    ResetDisplay();
    ShowRangeCalibration();
    return StartRefresh();
}

void CDlgKestrum::StopPage()
{
    CleanThreads();
    EnableControls(TRUE);
    PageUnLock();
    SetProgress(0);
}

int CDlgKestrum::OnDeviceChanged()
{
    m_wDevType = FdDevice::GetCurDeviceType();
    CleanThreads();
    PageUnLock();
    SetProgress(0);
    LoadCaptions();
    ResetDisplay();
    ShowRangeCalibration();
    return StartRefresh();
}

// Releasing stops the page in every case. The two tests are not alternatives: a locked page is
// stopped by the first, which unlocks it, and then again by the second, so the host sees the stop's
// calls (CleanThread, PageUnLock, progress 0) twice; a free page is stopped once. A stop is safe
// to repeat, and the calls the host sees on a release are part of the page's contract with it.
void CDlgKestrum::ReleasePage()
{
    if (!IsPageBusy())
        PageUnLock();
    if (IsLock() == 1)
        StopPage();
    if (IsLock() == 0)
        StopPage();
}

void CDlgKestrum::RefreshLayout()
{
    ShowRangeCalibration();
    LoadCaptions();
    ResetDisplay();
}

// The range-calibration workers do not count: the host may switch pages while they run.
BOOL CDlgKestrum::IsPageBusy()
{
    for (const Operation& operation : kOperations)
    {
        if (operation.busy == kBusyWhileRunning && (this->*operation.pSlot).IsSet())
            return TRUE;
    }
    return FALSE;
}

void CDlgKestrum::LoadCaptions()
{
    SetWindowText(GetResString(ModuleKeyOwn, IDS_PAGE_TITLE, L""));
    SetDlgItemText(IDC_LBL_PRESS_TYPE, GetResString(ModuleKeyOwn, IDS_PRESS_TYPE, L""));
    SetDlgItemText(IDC_LBL_MANUFACTURER, GetResString(ModuleKeyOwn, IDS_MANUFACTURER, L""));
    SetDlgItemText(IDC_LBL_RANGE_HIGH, GetResString(ModuleKeyOwn, IDS_PRESS_HIGH, L""));
    SetDlgItemText(IDC_LBL_RANGE_LOW, GetResString(ModuleKeyOwn, IDS_PRESS_LOW, L""));
    SetDlgItemText(IDC_LBL_PRESS_VAL, GetResString(ModuleKeyOwn, IDS_PRESS_VAL, L""));
    SetDlgItemText(IDC_LBL_TEMP_VAL, GetResString(ModuleKeyOwn, IDS_TEMP_VAL, L""));
    SetDlgItemText(IDC_BTN_SET, GetResString(ModuleKeyOwn, IDS_SET, L""));

    SetDlgItemText(IDC_GRP_RANGE_CAL, GetResString(ModuleKeySibling, IDS_RANGE_CALIBRATE, L""));
    SetDlgItemText(IDC_LBL_POINT, GetResString(ModuleKeySibling, IDS_POINT, L""));
    SetDlgItemText(IDC_LBL_VALUE, GetResString(ModuleKeySibling, IDS_VALUE, L""));
    SetDlgItemText(IDC_BTN_RANGE_GET, GetResString(ModuleKeySibling, IDS_READ_VALUE, L""));
    SetDlgItemText(IDC_BTN_RANGE_DOWNLOAD, GetResString(ModuleKeySibling, IDS_DOWNLOAD, L""));

    // The point list never holds more than three items; the item data is the point code: 0 none,
    // 1 low limit, 2 up limit (RangeCalibration.cpp turns it into command 182's point byte).
    for (int i = 0; i < 3; i++)
        m_cmbPoint.DeleteString(0);
    m_cmbPoint.InsertString(0, L"");
    m_cmbPoint.InsertString(1, GetResString(ModuleKeySibling, IDS_LOW_LIMIT, L""));
    m_cmbPoint.SetItemData(1, 1);
    m_cmbPoint.InsertString(2, GetResString(ModuleKeySibling, IDS_UP_LIMIT, L""));
    m_cmbPoint.SetItemData(2, 2);
    m_cmbPoint.SetCurSel(0);

    SetDlgItemText(IDC_BTN_REFRESH, GetResString(ModuleKeyOwn, IDS_REFRESH, L""));
    SetDlgItemText(IDC_LBL_ZERO, GetResString(ModuleKeyOwn, IDS_ZERO, L""));
    SetDlgItemText(IDC_LBL_FACTOR_K, GetResString(ModuleKeyOwn, IDS_FACTOR_K, L""));
    SetDlgItemText(IDC_LBL_FACTOR_B, GetResString(ModuleKeyOwn, IDS_FACTOR_B, L""));
    SetDlgItemText(IDC_LBL_CAL_UP, GetResString(ModuleKeyOwn, IDS_CAL_UP, L""));
    SetDlgItemText(IDC_LBL_CAL_DOWN, GetResString(ModuleKeyOwn, IDS_CAL_DOWN, L""));
    SetDlgItemText(IDC_LBL_SERIAL_NO, GetResString(ModuleKeyOwn, IDS_SERIAL_NO, L""));
    SetDlgItemText(IDC_BTN_PV_ZERO, GetResString(ModuleKeySibling, IDS_PV_ZERO_POINT, L""));
    SetDlgItemText(IDC_BTN_VERIFY, GetResString(ModuleKeyOwn, IDS_VERIFY, L""));
}

// Refills the two lists (a position is the code that the device uses) and empties the values
// read from the device; the verify inputs keep what the user typed.
BOOL CDlgKestrum::ResetDisplay()
{
    static const UINT kPressTypes[] = {IDS_PRESS, IDS_DIFF_PRESS, IDS_GAGE_PRESS, IDS_ABS_PRESS};
    static const UINT kManufacturers[] = {IDS_FARROWDYNE, IDS_OTHER};
    m_cmbPressType.ResetContent();
    for (int i = 0; i < 4; i++)
        m_cmbPressType.InsertString(i, GetResString(ModuleKeyOwn, kPressTypes[i], L""));
    m_cmbManufacturer.ResetContent();
    for (int i = 0; i < 2; i++)
        m_cmbManufacturer.InsertString(i, GetResString(ModuleKeyOwn, kManufacturers[i], L""));

    CString* const values[] = {
        &m_strRangeHigh, &m_strRangeLow,     &m_strPressVal,     &m_strTempVal,
        &m_strSerialNo,  &m_strZero,         &m_strFactorK,      &m_strFactorB,
        &m_strCalUp,     &m_strCalDown,      &m_strCalDownUnit,  &m_strCalUpUnit,
        &m_strZeroUnit,  &m_strPressValUnit, &m_strRangeLowUnit, &m_strRangeHighUnit};
    for (CString* pValue : values)
        pValue->Empty();
    return UpdateData(FALSE);
}

void CDlgKestrum::EnableControls(BOOL bEnable)
{
    m_nControlSwitches++;
    SwitchControls(bEnable, TRUE, TRUE);
}

// The buttons' calls keep their place in the worker's sequence of host calls. The plain controls
// follow when the window thread handles the message, which comes before any completion message
// the worker posts after it; a stop that switched the controls itself in the meantime wins.
void CDlgKestrum::EnableControlsFromWorker(BOOL bEnable)
{
    PostMessage(WM_SWITCH_CONTROLS, bEnable, m_nControlSwitches.load());
    SwitchControls(bEnable, FALSE, TRUE);
}

LRESULT CDlgKestrum::OnSwitchControls(WPARAM wParam, LPARAM lParam)
{
    if (lParam == m_nControlSwitches.load())
        SwitchControls(static_cast<BOOL>(wParam), TRUE, FALSE);
    return 0;
}

// Labels and the group box stay as they are; the hidden range-calibration controls are switched
// like the others and stay hidden.
void CDlgKestrum::SwitchControls(BOOL bEnable, BOOL bPlainControls, BOOL bButtons)
{
    const HWND* phControl = m_hPlainControls;
    for (const ControlGroup& group : kControlGroups)
    {
        for (const UINT* pId = group.plainControls; *pId != 0; ++pId, ++phControl)
        {
            if (bPlainControls)
                ::EnableWindow(*phControl, bEnable);
        }
        for (const UINT* pId = group.buttons; bButtons && *pId != 0; ++pId)
            EnableButton(*pId, bEnable);
    }
}

// Hands every worker to the host in the clean-up order of the table of operations (the host
// ends it and clears its slot), then deletes the thread objects once their threads have ended.
void CDlgKestrum::CleanThreads()
{
    for (OperationId op : kCleanUpOrder)
    {
        const Operation& operation = kOperations[op];
        WorkerSlot& slot = this->*operation.pSlot;
        if (operation.cleanUp == kCleanedAlways || slot.IsSet())
            CleanThread(slot.Address());
    }
    for (const Operation& operation : kOperations)
        (this->*operation.pSlot).Reap();
}

// Shows the range-calibration group only for a device whose identity offers it. The record is
// fetched even for a negative index; a device without a record leaves the local copy at its
// starting state, whose zero identity hides the group.
void CDlgKestrum::ShowRangeCalibration()
{
    m_nDevIndex = FdDevice::GetCurrentDeviceIndex();
    DeviceRecord record;
    TakeRecord(record);
    BOOL bShow = record.IdentityByte10() >= kRangeCalMinByte10 &&
                 record.ManufacturerId() == kRangeCalManufacturer &&
                 record.DeviceType() == kRangeCalDeviceType;
    for (UINT nId : kRangeCalibrationControls)
        ::ShowWindow(::GetDlgItem(m_hWnd, nId), bShow ? SW_SHOW : SW_HIDE);
}

int CDlgKestrum::FetchDeviceIndex()
{
    m_nDevIndex = FdDevice::GetCurrentDeviceIndex();
    return m_nDevIndex < 0 ? 0 : 1;
}

void CDlgKestrum::TakeRecord(DeviceRecord& record) const
{
    HartGetDevTable(DeviceByte(), reinterpret_cast<BYTE*>(&record), DeviceRecord::Size);
}

BYTE CDlgKestrum::DeviceByte() const
{
    return static_cast<BYTE>(m_nDevIndex.load());
}

// Asks a yes/no question with a string shared with the sibling module.
int CDlgKestrum::Ask(UINT nSiblingStringId)
{
    return AfxMessageBox(GetResString(ModuleKeySibling, nSiblingStringId, L""), MB_YESNO);
}

void CDlgKestrum::Tell(const CString& strKey, UINT nStringId, UINT nType)
{
    AfxMessageBox(GetResString(strKey, nStringId, L""), nType);
}
