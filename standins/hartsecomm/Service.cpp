// The stand-in HART communication service: one record per device, scripted results, and the
// exchanges with the devices over their link: the simulated transmitters, or those found on a
// serial or HART-IP link.
#include <StandinBase.h>
#include <StandinHart.h>
#include <JsonLine.h>
#include <StandinSync.h>

#include "IdentityFiling.h"
#include "Link.h"
#include "LinkSearch.h"
#include "SimLink.h"
#include "LineFaults.h"

#include <AnswerLength.h>
#include <HartCommand.h>
#include <HartFrame.h>
#include <RecordFiller.h>
#include <SendResult.h>
#include <Transmitter.h>
#include <WireModel.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <stdio.h>
#include <string.h>
#include <utility>

namespace
{
typedef std::array<BYTE, STANDIN_RECORD_SIZE> Record;

// A device index with a device behind it has a record; one without has neither.
struct Device
{
    std::shared_ptr<hartsecomm::Link> link;
    // The simulated transmitter that link leads to; none on a real link.
    std::shared_ptr<hartsecomm::SimLink> simulated;
    hartsim::LongAddress address;
    StandinIdentity identity;
    Record record{};
    // Unique for the life of the process: an exchange files its answer only into the device it
    // was for.
    unsigned nSerial = 0;
};

struct Service
{
    StandinLock lock;
    std::unique_ptr<Device> devices[STANDIN_MAX_DEVICES];
    ScriptedCodes scriptedResults;
    std::array<BYTE, HART_MAX_RSP_DATA> lastResponse{};
    BYTE byLastResponseLength = 0;
    std::atomic<bool> realWire{false};
    STANDIN_EXCHANGE_SINK pfnExchangeSink = NULL;
    void* pExchangeContext = NULL;
    STANDIN_SEND_GATE pfnSendGate = NULL;
    void* pGateContext = NULL;
    unsigned nLastSerial = 0;
    // Counts the link changes; starts at 1.
    unsigned nLinkGeneration = 1;
    // The threads closing links whose device search found nothing (CloseUnused).
    std::vector<HANDLE> closing;
} g_service;

thread_local StandinExchange t_lastExchange;
// The link generation a thread's exchanges go to: set at its first exchange or by its own link
// change. A worker that began on a link another thread has changed since gets no answer.
thread_local unsigned t_nLinkGeneration = 0;

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
    return g_service.realWire ? hartsim::WireModel::Timed() : hartsim::WireModel::Fast();
}

// Waits for the wire; false when the worker is being stopped meanwhile.
bool WaitForWire(std::chrono::microseconds duration)
{
    DWORD dwMilliseconds = static_cast<DWORD>((duration.count() + 999) / 1000);
    return dwMilliseconds == 0 || !StandinWaitCancelled(dwMilliseconds);
}

// The identity of a simulated transmitter as its present state gives it.
void IdentifySimulated(Device& device)
{
    device.identity = StandinIdentity();
    device.identity.bSimulated = true;
    hartsecomm::IdentityFromAnswer(device.simulated->Read(0), device.simulated->PollingAddress(),
                                   &device.identity);
    for (const hartsim::HartCommand* entry : hartsim::AllCommands())
    {
        if (entry->ReadWhenFound())
            hartsecomm::FileIdentityAnswer(entry->Number(), device.simulated->Read(entry->Number()),
                                           &device.identity);
    }
}

// One exchange as real long frames: the request is encoded, travels over the device's link, and
// the answer frame that comes back is decoded. The service's lock is not held meanwhile, so the
// records stay readable while a slow link works. A successful answer is filed in the record of
// the device the request went to, found again by its serial after the I/O, and kept as the last
// response; when that device has gone meanwhile (a link change, a detach, another device at the
// index), or the answer lacks data the command defines, the exchange has failed and nothing is
// filed. The tag and the write-protect code of an answer are filed in the device's identity too.
// The answer's status bytes go to *pExchange.
BYTE Exchange(BYTE byDevice, WORD wCmd, const std::vector<uint8_t>& data,
              StandinExchange* pExchange)
{
    std::vector<uint8_t> requestFrame, answerFrame;
    std::shared_ptr<hartsecomm::Link> link;
    hartsim::LongAddress address;
    unsigned nSerial = 0;
    {
        Guard guard;
        if (t_nLinkGeneration == 0)
            t_nLinkGeneration = g_service.nLinkGeneration;
        Device* pDevice = FindDevice(byDevice);
        if (pDevice != NULL && wCmd <= 0xFF && t_nLinkGeneration == g_service.nLinkGeneration)
        {
            link = pDevice->link;
            address = pDevice->address;
            nSerial = pDevice->nSerial;
            requestFrame = hartsim::EncodeRequest({address, static_cast<uint8_t>(wCmd), data});
        }
    }
    if (link == nullptr)
    {
        WaitForWire(CurrentWire().NoAnswer(14 + data.size()));
        return hartsim::SendResult(std::nullopt);
    }
    answerFrame = link->Exchange(requestFrame);
    hartsim::Answer answer;
    if (hartsim::DecodeAnswer(answerFrame, address, &answer) != hartsim::DecodeError::None ||
        answer.command != wCmd)
        return hartsim::SendResult(std::nullopt);
    BYTE byResult = hartsim::SendResult(answer.responseCode);
    pExchange->bAnswered = true;
    pExchange->byResponseCode = answer.responseCode;
    pExchange->byDeviceStatus = answer.deviceStatus;
    if (byResult != HART_RESULT_DONE)
        return byResult;
    Guard guard;
    Device* pDevice = FindDevice(byDevice);
    if (pDevice == NULL || pDevice->nSerial != nSerial ||
        !hartsim::AnswerIsWhole(static_cast<uint8_t>(wCmd), data, answer.data))
        return hartsim::SendResult(std::nullopt);
    hartsim::FillRecord(pDevice->record.data(), static_cast<uint8_t>(wCmd), data, answer.data);
    hartsecomm::FileIdentityAnswer(static_cast<uint8_t>(wCmd), answer.data, &pDevice->identity);
    g_service.byLastResponseLength = static_cast<BYTE>(answer.data.size());
    std::copy(answer.data.begin(), answer.data.end(), g_service.lastResponse.begin());
    return byResult;
}

// A new device with a serial of its own.
Device* NewDevice(BYTE byDevice)
{
    g_service.devices[byDevice].reset(new Device);
    g_service.devices[byDevice]->nSerial = ++g_service.nLastSerial;
    return g_service.devices[byDevice].get();
}

// A link change: workers that began before it get no answer from now on; the calling thread's
// exchanges go on over what it sets up next. The service's lock is held.
void NewLinkGeneration()
{
    ++g_service.nLinkGeneration;
    t_nLinkGeneration = g_service.nLinkGeneration;
}

// Takes every device on a real link away and closes those links, outside the service's lock: a
// HART-IP link says goodbye to its server. When there were any, that is a link change. Links
// still being closed by CloseUnused are waited for first: each close is bounded (a Session
// Close's answer is awaited for at most 500 ms).
void CloseRealLinks()
{
    std::vector<std::shared_ptr<hartsecomm::Link>> links;
    std::vector<HANDLE> closing;
    {
        Guard guard;
        closing.swap(g_service.closing);
    }
    for (HANDLE hThread : closing)
    {
        ::WaitForSingleObject(hThread, INFINITE);
        ::CloseHandle(hThread);
    }
    {
        Guard guard;
        for (std::unique_ptr<Device>& device : g_service.devices)
        {
            if (device != nullptr && device->simulated == nullptr)
            {
                if (std::find(links.begin(), links.end(), device->link) == links.end())
                    links.push_back(device->link);
                device.reset();
            }
        }
        if (!links.empty())
            NewLinkGeneration();
    }
    for (const std::shared_ptr<hartsecomm::Link>& link : links)
        link->Close();
}

// Closes the link it is handed (a shared_ptr of its own on the heap) and lets it go.
DWORD WINAPI CloseLinkThread(void* pLink)
{
    const std::unique_ptr<std::shared_ptr<hartsecomm::Link>> link(
        static_cast<std::shared_ptr<hartsecomm::Link>*>(pLink));
    (*link)->Close();
    return 0;
}

// Closes a link whose device search found nothing on a thread of its own, so that a stopped
// search ends at once and does not wait out the HART-IP Session Close's answer on the calling
// thread. The close itself is not cut short: a Session Close sent without awaiting its answer
// may be lost (over UDP) or overtaken by the next link's initiate on a new connection, and the
// server would then hold the old session until its inactivity timer ends and refuse the next
// one. The next link change (CloseRealLinks) waits for this close before it opens anything.
void CloseUnused(std::shared_ptr<hartsecomm::Link> link)
{
    auto* pLink = new std::shared_ptr<hartsecomm::Link>(std::move(link));
    HANDLE hThread = ::CreateThread(NULL, 0, &CloseLinkThread, pLink, 0, NULL);
    if (hThread == NULL)
    {
        CloseLinkThread(pLink);
        return;
    }
    Guard guard;
    g_service.closing.push_back(hThread);
}

// The "send" event of one HartSendCmd, with "sent":false when the send gate kept it back.
void TraceSend(const StandinExchange& exchange, bool bSent)
{
    JsonLine event("send");
    event.Add("cmd", exchange.wCmd)
        .Add("dev", exchange.byDevice)
        .AddHex("data", exchange.request.data(), exchange.request.size())
        .Add("rc", exchange.byResult);
    if (!bSent)
        event.AddRaw("sent", "false");
    StandinTrace(event.Str().c_str());
}
} // namespace

BYTE HartSendCmd(WORD wCmd, BYTE byDevice, BYTE* pData, BYTE byLength)
{
    StandinExchange exchange;
    exchange.wCmd = wCmd;
    exchange.byDevice = byDevice;
    if (pData != NULL)
        exchange.request.assign(pData, pData + byLength);
    BYTE byResult = 0xFF;
    bool bScripted;
    STANDIN_EXCHANGE_SINK pfnSink;
    void* pSinkContext;
    STANDIN_SEND_GATE pfnGate;
    void* pGateContext;
    {
        Guard guard;
        g_service.byLastResponseLength = 0;
        pfnSink = g_service.pfnExchangeSink;
        pSinkContext = g_service.pExchangeContext;
        pfnGate = g_service.pfnSendGate;
        pGateContext = g_service.pGateContext;
    }
    if (pfnGate != NULL && !pfnGate(exchange, pGateContext))
    {
        exchange.byResult = hartsim::kSendNoValidAnswer;
        t_lastExchange = exchange;
        TraceSend(exchange, false);
        return exchange.byResult;
    }
    {
        Guard guard;
        bScripted = TakeScriptedResult(wCmd, &byResult);
    }
    if (!bScripted)
        byResult = StandinIsCancelled() ? hartsim::SendResult(std::nullopt)
                                        : Exchange(byDevice, wCmd, exchange.request, &exchange);
    exchange.byResult = byResult;
    t_lastExchange = exchange;
    TraceSend(exchange, true);
    if (pfnSink != NULL)
        pfnSink(exchange, pSinkContext);
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
    Device& device = *NewDevice(byDevice);
    device.simulated = std::make_shared<hartsecomm::SimLink>(g_service.realWire);
    device.link = device.simulated;
    device.address = device.simulated->Address();
    hartsim::FillRecord(device.record.data(), 0, {}, device.simulated->Identity());
    IdentifySimulated(device);
}

void StandinDetachAll()
{
    CloseRealLinks();
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
    if (pDevice->simulated == nullptr)
    {
        if (pError != NULL)
            *pError = "the transmitter at device " + std::to_string(byDevice) + " is not simulated";
        return false;
    }
    bool bSet = pDevice->simulated->SetVariable(key, value, pError);
    pDevice->address = pDevice->simulated->Address();
    IdentifySimulated(*pDevice);
    return bSet;
}

void StandinSetRealWire(BOOL bReal)
{
    g_service.realWire = bReal != FALSE;
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

bool StandinReadRecord(BYTE byDevice, BYTE* pRecord, int nSize)
{
    Guard guard;
    Record* pSource = FindRecord(byDevice);
    if (pSource == NULL || pRecord == NULL || nSize <= 0)
        return false;
    memcpy(pRecord, pSource->data(), nSize < STANDIN_RECORD_SIZE ? nSize : STANDIN_RECORD_SIZE);
    return true;
}

// Real links are closed and their devices forgotten; the simulated transmitters stay.
void StandinResetService()
{
    CloseRealLinks();
    Guard guard;
    g_service.scriptedResults.Clear();
    g_service.realWire = false;
    ClearLineFaults();
}

bool StandinReadAside(BYTE byDevice, WORD wCmd, const std::vector<BYTE>& request, BYTE* pRecord,
                      int nSize)
{
    const hartsim::HartCommand* command = hartsim::FindCommand(wCmd);
    std::shared_ptr<hartsecomm::Link> link;
    std::shared_ptr<hartsecomm::SimLink> simulated;
    hartsim::LongAddress address;
    Record record;
    {
        Guard guard;
        Device* pDevice = FindDevice(byDevice);
        if (pDevice == NULL || command == nullptr || command->Writes() || pRecord == NULL ||
            nSize <= 0)
            return false;
        link = pDevice->link;
        simulated = pDevice->simulated;
        address = pDevice->address;
        record = pDevice->record;
    }
    std::vector<uint8_t> data;
    if (simulated != nullptr)
        data = simulated->Read(static_cast<uint8_t>(wCmd), request);
    else
    {
        hartsim::Answer answer;
        if (hartsim::DecodeAnswer(link->Exchange(hartsim::EncodeRequest(
                                      {address, static_cast<uint8_t>(wCmd), request})),
                                  address, &answer) != hartsim::DecodeError::None ||
            answer.command != wCmd || hartsim::SendResult(answer.responseCode) != HART_RESULT_DONE)
            return false;
        data = answer.data;
    }
    if (!hartsim::AnswerIsWhole(static_cast<uint8_t>(wCmd), request, data))
        return false;
    hartsim::FillRecord(record.data(), static_cast<uint8_t>(wCmd), request, data);
    memcpy(pRecord, record.data(), nSize < STANDIN_RECORD_SIZE ? nSize : STANDIN_RECORD_SIZE);
    return true;
}

// The devices a real link finds replace every device, at indices from 0 on; "sim" brings back
// the simulated transmitters at indices 0 to STANDIN_SIM_DEVICES - 1. The link in use is closed
// first, so the same port can be opened again.
bool StandinOpenLink(const std::string& setting, std::string* pError)
{
    hartsecomm::LinkSetting link;
    std::string error;
    std::shared_ptr<hartsecomm::Link> pLink;
    CloseRealLinks();
    {
        Guard guard;
        NewLinkGeneration();
    }
    if (hartsecomm::ParseLinkSetting(setting, &link, &error) && link.kind->open != nullptr)
        pLink = link.kind->open(link, &error);
    {
        Guard guard;
        for (std::unique_ptr<Device>& device : g_service.devices)
            device.reset();
    }
    if (!error.empty())
    {
        StandinTrace(JsonLine("link").Add("setting", setting).Add("error", error).Str().c_str());
        if (pError != NULL)
            *pError = error;
        return false;
    }
    std::vector<hartsecomm::SearchedDevice> found;
    if (pLink == nullptr)
    {
        for (int i = 0; i < STANDIN_SIM_DEVICES; i++)
            StandinAttachTransmitter(static_cast<BYTE>(i));
    }
    else
        found = hartsecomm::SearchServingWindow(pLink, link.lastPollingAddress);
    StandinTrace(JsonLine("link")
                     .Add("setting", setting)
                     .Add("found", static_cast<int>(found.size()))
                     .Str()
                     .c_str());
    if (found.empty() && pLink != nullptr)
        CloseUnused(std::move(pLink));
    Guard guard;
    for (size_t i = 0; i < found.size() && i < STANDIN_MAX_DEVICES; i++)
    {
        Device& device = *NewDevice(static_cast<BYTE>(i));
        device.link = pLink;
        device.address = found[i].found.address;
        device.identity = found[i].identity;
        char szAddress[16];
        const std::array<uint8_t, 5>& bytes = found[i].found.address.bytes;
        snprintf(szAddress, sizeof szAddress, "%02X%02X%02X%02X%02X", bytes[0], bytes[1], bytes[2],
                 bytes[3], bytes[4]);
        hartsim::FillRecord(device.record.data(), 0, {}, found[i].found.identity);
        StandinTrace(JsonLine("found")
                         .Add("dev", static_cast<int>(i))
                         .Add("poll", found[i].found.pollingAddress)
                         .Add("address", szAddress)
                         .Str()
                         .c_str());
    }
    return true;
}

void StandinStopLinkSearch()
{
    hartsecomm::StopSearch();
}

bool StandinGetIdentity(BYTE byDevice, StandinIdentity* pIdentity)
{
    Guard guard;
    Device* pDevice = FindDevice(byDevice);
    if (pDevice == NULL || pIdentity == NULL)
        return false;
    *pIdentity = pDevice->identity;
    return true;
}

std::string StandinDescribeDevice(BYTE byDevice)
{
    StandinIdentity identity;
    return StandinGetIdentity(byDevice, &identity) ? hartsecomm::DescribeIdentity(identity)
                                                   : std::string();
}

StandinExchange StandinLastExchange()
{
    return t_lastExchange;
}

void StandinSetExchangeSink(STANDIN_EXCHANGE_SINK pfnSink, void* pContext)
{
    Guard guard;
    g_service.pfnExchangeSink = pfnSink;
    g_service.pExchangeContext = pContext;
}

void StandinSetSendGate(STANDIN_SEND_GATE pfnGate, void* pContext)
{
    Guard guard;
    g_service.pfnSendGate = pfnGate;
    g_service.pGateContext = pContext;
}
