// Device.h - the host's device facade (Device.dll).
#pragma once

#include <afxwin.h>

#ifdef DEVICE_EXPORTS
#define DEVICE_API __declspec(dllexport)
#else
#define DEVICE_API __declspec(dllimport)
#endif

class DEVICE_API FdDevice
{
public:
    enum
    {
        DevCount = 64
    };

    // The device selected in the host; negative when none is.
    static int GetCurrentDeviceIndex();
    // The type code of the selected device.
    static WORD GetCurDeviceType();

    FdDevice& operator=(const FdDevice&) { return *this; }
};

// The host's table of the devices that it manages. The module carries the declaration with the
// other device types but never builds or reads one; what each member means is the host's.
// Assigning one copies its members one by one.
class DEVICE_API FdDeviceMgr
{
public:
    enum
    {
        MaxDeviceCount = 64
    };

    int m_nCount;
    CString m_strName;
    int m_nCurrent;
    DWORD m_dwDevices[MaxDeviceCount];
};

class DEVICE_API FdInfo
{
public:
    enum
    {
        MsgInfoBase = 1024,
        MsgInfoPane = 1025,
        MsgInfoLight = 1026,
        MsgInfoTimer = 1027,
        MsgInitStatusTree = 1028,
        MsgHideMoreStatusInfo = 1029,
        MsgClearStatusTree = 1030
    };

    // Evaluates the result of an exchange with device nDevice and reports the device's status.
    // 255: the exchange failed; equal to ulResult: success with usable response data; any other
    // value: no failure.
    static BYTE ProcessRspCode(int nDevice, unsigned long ulResult, unsigned long* pDetail);

    FdInfo& operator=(const FdInfo&) { return *this; }
};
