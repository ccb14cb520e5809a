// The stand-in HART communication service: one record per device, scripted results, and the
// exchanges with the simulated transmitters.
#include <StandinBase.h>
#include <StandinHart.h>
#include <JsonLine.h>
#include <StandinSync.h>

#include "faults.h"

#include <HartFrame.h>
#include <RecordFiller.h>
#include <SendResult.h>
#include <Transmitter.h>
#include <WireModel.h>

#include <array>
#include <memory>
#include <string.h>
#include <utility>

namespace
{
typedef std::array<BYTE, STANDIN_RECORD_SIZE> Record;

// A device index with a transmitter behind it has a record; one without has neither.
struct Device
{
    hartsim::Transmitter transmitter;
    Record record{};
};

struct Service
{
    StandinLock lock;
    std::unique_ptr<Device> devices[STANDIN_MAX_DEVICES];
    ScriptedCodes scriptedResults;
    std::array<BYTE, HART_MAX_RSP_DATA> lastResponse{};
    BYTE byLastResponseLength = 0;
    BOOL bRealWire = FALSE;
} g_service;

thread_local WORD t_wLastCommand = 0;

class Guard : public StandinGuard
{
public:
    Guard() : StandinGuard(g_service.lock) {}
};

bool TakeScriptedResult(WORD wCmd, BYTE* pResult)
{
    return g_service.scriptedResults.Take(wCmd, pResult);
}

Device* FindDevice(BYTE byDevice)
{
    return byDevice < STANDIN_MAX_DEVICES ? g_service.devices[byDevice].get() : NULL;
}

Record* FindRecord(BYTE byDevice)
{
    Device* pDevice = FindDevice(byDevice);
    return pDevice != NULL ? &pDevice->record : NULL;
}

hartsim::WireModel CurrentWire()
{
    return g_service.bRealWire ? hartsim::WireModel::Timed() : hartsim::WireModel::Fast();
}

// Waits for the wire; false when the worker is being stopped meanwhile.
bool WaitForWire(std::chrono::microseconds duration)
{
    DWORD dwMilliseconds = static_cast<DWORD>((duration.count() + 999) / 1000);
    return dwMilliseconds == 0 || !StandinWaitCancelled(dwMilliseconds);
}

// One exchange as real long frames: the request is encoded, travels to the transmitter, which
// decodes it and answers with a frame that the service decodes in turn. A successful answer is
// filed in the record and kept as the last response.
BYTE Exchange(BYTE byDevice, WORD wCmd, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> requestFrame, answerFrame;
    hartsim::LongAddress address;
    hartsim::WireModel wire = hartsim::WireModel::Fast();
    {
        Guard guard;
        Device* pDevice = FindDevice(byDevice);
        wire = CurrentWire();
        if (pDevice != NULL && wCmd <= 0xFF)
        {
            address = pDevice->transmitter.Address();
            requestFrame = hartsim::EncodeRequest({address, static_cast<uint8_t>(wCmd), data});
            answerFrame =
                LineExchange(pDevice->transmitter, static_cast<uint8_t>(wCmd), requestFrame);
        }
    }
    size_t nRequestBytes = requestFrame.empty() ? 14 + data.size() : requestFrame.size();
    if (answerFrame.empty())
    {
        WaitForWire(wire.NoAnswer(nRequestBytes));
        return hartsim::SendResult(std::nullopt);
    }
    if (!WaitForWire(wire.Exchange(nRequestBytes, answerFrame.size())))
        return hartsim::SendResult(std::nullopt);
    hartsim::Answer answer;
    if (hartsim::DecodeAnswer(answerFrame, address, &answer) != hartsim::DecodeError::None)
        return hartsim::SendResult(std::nullopt);
    BYTE byResult = hartsim::SendResult(answer.responseCode);
    if (byResult == HART_RESULT_DONE)
    {
        Guard guard;
        Record* pRecord = FindRecord(byDevice);
        if (pRecord != NULL)
            hartsim::FillRecord(pRecord->data(), static_cast<uint8_t>(wCmd), data, answer.data);
        g_service.byLastResponseLength = static_cast<BYTE>(answer.data.size());
        std::copy(answer.data.begin(), answer.data.end(), g_service.lastResponse.begin());
    }
    return byResult;
}
} // namespace

BYTE HartSendCmd(WORD wCmd, BYTE byDevice, BYTE* pData, BYTE byLength)
{
    t_wLastCommand = wCmd;
    BYTE byResult = 0xFF;
    bool bScripted;
    {
        Guard guard;
        g_service.byLastResponseLength = 0;
        bScripted = TakeScriptedResult(wCmd, &byResult);
    }
    if (!bScripted)
    {
        std::vector<uint8_t> data;
        if (pData != NULL)
            data.assign(pData, pData + byLength);
        byResult = StandinIsCancelled() ? hartsim::SendResult(std::nullopt)
                                        : Exchange(byDevice, wCmd, data);
    }
    StandinTrace(JsonLine("send")
                     .Add("cmd", wCmd)
                     .Add("dev", byDevice)
                     .AddHex("data", pData, pData != NULL ? byLength : 0)
                     .Add("rc", byResult)
                     .Str()
                     .c_str());
    return byResult;
}

BYTE HartGetRspData(BYTE* pBuffer)
{
    Guard guard;
    if (pBuffer == NULL)
        return 0;
    memcpy(pBuffer, g_service.lastResponse.data(), g_service.byLastResponseLength);
    return g_service.byLastResponseLength;
}

// The copy is taken under the service's lock, so it is whole even while a worker's exchange
// fills the same record. An index without a record leaves the buffer as it is.
BYTE HartGetDevTable(BYTE byDevice, BYTE* pRecord, int nSize)
{
    StandinTrace(JsonLine("devtable").Add("dev", byDevice).Str().c_str());
    Guard guard;
    Record* pSource = FindRecord(byDevice);
    if (pSource == NULL || pRecord == NULL || nSize <= 0)
        return 0;
    memcpy(pRecord, pSource->data(), nSize < STANDIN_RECORD_SIZE ? nSize : STANDIN_RECORD_SIZE);
    return 1;
}

// A new transmitter's identity is in its record at once, as after the host's first poll.
void StandinAttachTransmitter(BYTE byDevice)
{
    Guard guard;
    if (byDevice >= STANDIN_MAX_DEVICES)
        return;
    g_service.devices[byDevice].reset(new Device);
    Device& device = *g_service.devices[byDevice];
    hartsim::Reply identity = device.transmitter.Handle(0, {});
    hartsim::FillRecord(device.record.data(), 0, {}, identity.data);
}

void StandinDetachTransmitter(BYTE byDevice)
{
    Guard guard;
    if (byDevice < STANDIN_MAX_DEVICES)
        g_service.devices[byDevice].reset();
}

void StandinDetachAll()
{
    Guard guard;
    for (std::unique_ptr<Device>& device : g_service.devices)
        device.reset();
}

bool StandinSetTransmitterVariable(BYTE byDevice, const std::string& key, const std::string& value,
                                   std::string* pError)
{
    Guard guard;
    Device* pDevice = FindDevice(byDevice);
    if (pDevice == NULL)
    {
        if (pError != NULL)
            *pError = "no transmitter at device " + std::to_string(byDevice);
        return false;
    }
    return pDevice->transmitter.SetVariable(key, value, pError);
}

void StandinSetRealWire(BOOL bReal)
{
    Guard guard;
    g_service.bRealWire = bReal;
}

void StandinQueueResults(WORD wCmd, const BYTE* pResults, int nCount)
{
    Guard guard;
    for (int i = 0; i < nCount; i++)
        g_service.scriptedResults.Push(wCmd, pResults[i]);
}

bool StandinPokeRecord(BYTE byDevice, int nOffset, const BYTE* pBytes, int nCount)
{
    Guard guard;
    Record* pRecord = FindRecord(byDevice);
    if (pRecord == NULL || nOffset < 0 || nCount < 0 || nOffset + nCount > STANDIN_RECORD_SIZE)
        return false;
    memcpy(pRecord->data() + nOffset, pBytes, nCount);
    return true;
}

WORD StandinLastCommand()
{
    return t_wLastCommand;
}

void StandinResetService()
{
    Guard guard;
    g_service.scriptedResults.Clear();
    g_service.bRealWire = FALSE;
    ClearLineFaults();
}
