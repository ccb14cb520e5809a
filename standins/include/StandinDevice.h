// Controls of the stand-in Device.dll: the selected device, its type, scripted answers of
// ProcessRspCode and the host's status line.
#pragma once

#include <Device.h>

#include <string>

typedef void(CALLBACK* STANDIN_STATUS_SINK)(LPCWSTR pszStatus, void* pContext);

DEVICE_API void StandinSetCurrentDevice(int nIndex);
DEVICE_API void StandinSetDeviceType(WORD wType);
// The next answers of ProcessRspCode for results of command wCmd, one per call.
DEVICE_API void StandinQueueRspCodes(WORD wCmd, const BYTE* pCodes, int nCount);
DEVICE_API void StandinSetStatusSink(STANDIN_STATUS_SINK pfnSink, void* pContext);
DEVICE_API void StandinResetDevice();
// Watches the service's exchanges: a write (command 222, 43 or 182) the device did not carry out
// is reported in words on the status line and as an event, and every write is recorded in the
// calibration record in pszAuditFile (none when NULL or empty): its intent before it goes out (a
// write whose intent cannot be written is not sent), its result and the fields it changes as left
// after, and a Verify's test point.
DEVICE_API void StandinWatchExchanges(LPCWSTR pszAuditFile);

// The calibration record's state in words: its file and the last line written, why it cannot be
// written, or "no calibration record".
DEVICE_API std::wstring StandinRecordState();

// A host that dies in the middle of a write: the process ends at once (exit code 3) after the
// next write's intent is in the calibration record, before the write goes out.
DEVICE_API void StandinEndAfterNextIntent();

// The four reference values of the page's Verify as the user typed them.
struct StandinReferences
{
    std::wstring rangeHigh;
    std::wstring rangeLow;
    std::wstring pressure;
    std::wstring temperature;
};
// Where the calibration record takes a Verify's references from, on the Verify's worker thread;
// false when they cannot be read.
typedef bool(CALLBACK* STANDIN_REFERENCE_SOURCE)(StandinReferences* pReferences, void* pContext);
DEVICE_API void StandinSetReferenceSource(STANDIN_REFERENCE_SOURCE pfnSource, void* pContext);
