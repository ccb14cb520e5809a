// Controls of the stand-in hartSeComm.dll: the simulated transmitters, the wire model, scripted
// results and raw access to the service's device records.
#pragma once

#include <hartSeComm.h>

#include <string>
#include <vector>

// The size of the service's record of one device.
enum
{
    STANDIN_RECORD_SIZE = 2508,
    STANDIN_MAX_DEVICES = 64,
    // The simulated transmitters the host starts with, and "sim" brings back.
    STANDIN_SIM_DEVICES = 3
};

// Puts a transmitter with default settings at device index byDevice (replacing one that is
// there) and gives it a record; or takes every device away, so no index has a record.
HARTSECOMM_API void StandinAttachTransmitter(BYTE byDevice);
HARTSECOMM_API void StandinDetachAll();
// Sets a variable of the transmitter at byDevice by name (see the transmitter's keys); false with
// a reason when the device, the key or the value is not accepted.
HARTSECOMM_API bool StandinSetTransmitterVariable(BYTE byDevice, const std::string& key,
                                                  const std::string& value, std::string* pError);
// TRUE: exchanges take the time they take at 1200 bit/s; FALSE: no delay.
HARTSECOMM_API void StandinSetRealWire(BOOL bReal);
// The next results of HartSendCmd for command wCmd, one per send; the transmitter does not see
// those exchanges and the record does not change.
HARTSECOMM_API void StandinQueueResults(WORD wCmd, const BYTE* pResults, int nCount);
// The next nCount exchanges of command wCmd suffer a fault of the line (kind: noanswer, garbled,
// parity, short, otheraddr, busy, dr33, dr34, dr35, writeprotect); false with a reason for an
// unknown kind or a bad command or count.
HARTSECOMM_API bool StandinQueueFaults(WORD wCmd, const std::string& kind, int nCount,
                                       std::string* pError);
// Writes raw bytes into the record of byDevice from nOffset on; false when it has no record or
// the bytes do not fit.
HARTSECOMM_API bool StandinPokeRecord(BYTE byDevice, int nOffset, const BYTE* pBytes, int nCount);
// Copies the record of byDevice as HartGetDevTable does, without reporting it as the page's call.
HARTSECOMM_API bool StandinReadRecord(BYTE byDevice, BYTE* pRecord, int nSize);
// Reads from the device at byDevice for the calibration record, unseen by the page: the answer
// to the reading command is filed into a copy of the device's record at pRecord (nSize bytes),
// while the service's own record, its last response and the trace stay as they were. A simulated
// transmitter's present state is read directly, so the line's queued faults stay for the page's
// exchanges. False when no whole successful answer came.
HARTSECOMM_API bool StandinReadAside(BYTE byDevice, WORD wCmd, const std::vector<BYTE>& request,
                                     BYTE* pRecord, int nSize);
// Chooses how exchanges travel: "sim" (the simulated transmitters, at device indices 0 to
// STANDIN_SIM_DEVICES - 1), "serial COMn" (add "rts" to key the modem with RTS) or
// "hart-ip ADDRESS:PORT". A real link replaces every device with those that answer command 0 at
// polling address 0 (add "scan" for 0 to 15), at indices from 0 on; a link that cannot be opened
// leaves no device. False with a reason when the setting is not understood or the link not opened.
HARTSECOMM_API bool StandinOpenLink(const std::string& setting, std::string* pError);
// Ends the device search of a StandinOpenLink in progress (on another thread, or from a message
// the search serves) after the polling address it is at; the devices found so far are kept.
HARTSECOMM_API void StandinStopLinkSearch();
// What the service keeps of a device it found: its command-0 answer, its tag (command 13) and its
// write-protect code (command 15).
struct StandinIdentity
{
    BYTE byPollingAddress = 0;
    // Data bytes 1-2 of the command-0 answer.
    WORD wExpandedDeviceType = 0;
    // -1 when the answer does not carry it.
    int nManufacturer = -1;
    DWORD dwDeviceId = 0;
    BYTE byHartRevision = 0;
    // Ten hexadecimal digits, without the primary-master bit of the frames.
    std::string longAddress;
    bool bTagRead = false;
    std::string tag;
    // 0 not protected, 1 protected, 251 none; -1 when command 15 was not answered.
    int nWriteProtect = -1;
    bool bSimulated = false;
};
// False when no device is at byDevice.
HARTSECOMM_API bool StandinGetIdentity(BYTE byDevice, StandinIdentity* pIdentity);
// A line about the device at byDevice for a device list, from its identity; empty when there is
// none.
HARTSECOMM_API std::string StandinDescribeDevice(BYTE byDevice);

// One HartSendCmd as the service saw it.
struct StandinExchange
{
    WORD wCmd = 0;
    BYTE byDevice = 0;
    std::vector<BYTE> request;
    BYTE byResult = 0;
    // False when no answer frame came (and for scripted results): the two status bytes are 0.
    bool bAnswered = false;
    BYTE byResponseCode = 0;
    BYTE byDeviceStatus = 0;
};
// The calling thread's last HartSendCmd.
HARTSECOMM_API StandinExchange StandinLastExchange();
// Called on the sending thread after every HartSendCmd, outside the service's lock.
typedef void(CALLBACK* STANDIN_EXCHANGE_SINK)(const StandinExchange& exchange, void* pContext);
HARTSECOMM_API void StandinSetExchangeSink(STANDIN_EXCHANGE_SINK pfnSink, void* pContext);
// Called on the sending thread before every HartSendCmd, outside the service's lock. When it
// returns false nothing is sent: the send fails without an answer and the exchange sink is not
// called.
typedef bool(CALLBACK* STANDIN_SEND_GATE)(const StandinExchange& exchange, void* pContext);
HARTSECOMM_API void StandinSetSendGate(STANDIN_SEND_GATE pfnGate, void* pContext);
// Forgets scripted results and queued faults and sets the wire to fast.
HARTSECOMM_API void StandinResetService();
