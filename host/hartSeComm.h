// hartSeComm.h - the host's HART communication service (hartSeComm.dll).
#pragma once

#include <windows.h>

#ifdef HARTSECOMM_EXPORTS
#define HARTSECOMM_API __declspec(dllexport)
#else
#define HARTSECOMM_API __declspec(dllimport)
#endif

// Results of HartSendCmd.
enum
{
    HART_RESULT_DONE = 0xF0,      // the command completed; its answer is available
    HART_RESULT_BUSY = 0xFE,      // the device is busy: send again
    HART_RESULT_RETRY_MASK = 0x0D // a result with all these bits set means: send again
};

// The longest response data that HartGetRspData can deliver.
enum
{
    HART_MAX_RSP_DATA = 255
};

extern "C"
{
    // One exchange of command wCmd with device byDevice, carrying byLength request data bytes.
    HARTSECOMM_API BYTE HartSendCmd(WORD wCmd, BYTE byDevice, BYTE* pData, BYTE byLength);
    // Copies the data bytes of the last response into pBuffer and returns their count.
    HARTSECOMM_API BYTE HartGetRspData(BYTE* pBuffer);
    // Copies the service's record of device byDevice (nSize bytes) into pRecord.
    HARTSECOMM_API BYTE HartGetDevTable(BYTE byDevice, BYTE* pRecord, int nSize);
}
