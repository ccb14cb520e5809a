// The stand-in device facade: the selected device and the evaluation of exchange results.
#include <StandinDevice.h>
#include <StandinBase.h>
#include <StandinHart.h>
#include <JsonLine.h>
#include <StandinSync.h>

#include "Audit.h"
#include "StatusWords.h"

#include <atomic>
#include <string>

namespace
{
struct DeviceState
{
    StandinLock lock;
    int nCurrent = 0;
    WORD wType = 0;
    ScriptedCodes scriptedAnswers;
    STANDIN_STATUS_SINK pfnStatus = NULL;
    void* pStatusContext = NULL;
} g_state;

audit::AuditRecord g_audit;

class Guard : public StandinGuard
{
public:
    Guard() : StandinGuard(g_state.lock) {}
};

bool TakeScriptedAnswer(WORD wCmd, BYTE* pAnswer)
{
    Guard guard;
    return g_state.scriptedAnswers.Take(wCmd, pAnswer);
}

std::wstring WideText(const std::string& text)
{
    int nChars = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, NULL, 0);
    std::wstring wide(nChars > 0 ? nChars : 1, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], nChars);
    wide.resize(wide.size() - 1);
    return wide;
}

void ReportStatus(const std::string& text)
{
    STANDIN_STATUS_SINK pfnSink;
    void* pContext;
    {
        Guard guard;
        pfnSink = g_state.pfnStatus;
        pContext = g_state.pStatusContext;
    }
    if (pfnSink != NULL)
        pfnSink(WideText(text).c_str(), pContext);
}
// Tells a line of the calibration record that could not be written, and what became of the
// write; true when there was none.
bool ReportAuditFailure(const audit::Failure& failure, const char* pszConsequence)
{
    if (failure.file.empty())
        return true;
    std::string text = "The calibration record cannot be written to " + failure.file + " (" +
                       failure.reason + "): " + pszConsequence + ".";
    StandinTrace(JsonLine("audit").Add("file", failure.file).Add("error", text).Str().c_str());
    ReportStatus(text);
    return false;
}

// Runs on the sending thread after every exchange. The page evaluates a write it could not
// complete no further, so the device's refusal is told here.
void CALLBACK WatchExchange(const StandinExchange& exchange, void*)
{
    if (hartsim::IsWriteCommand(exchange.wCmd) && exchange.byResult != HART_RESULT_DONE)
    {
        std::string text =
            devicewords::DescribeOutcome(exchange.byDevice, exchange, exchange.byResult);
        JsonLine event("refused");
        event.Add("dev", exchange.byDevice)
            .Add("cmd", exchange.wCmd)
            .Add("result", exchange.byResult);
        if (exchange.bAnswered)
            event.Add("rc", exchange.byResponseCode);
        StandinTrace(event.Add("text", text).Str().c_str());
        ReportStatus(text);
    }
    ReportAuditFailure(g_audit.OnExchange(exchange), "the write's result is not recorded");
}

// Set by StandinEndAfterNextIntent.
std::atomic<bool> g_bEndAfterIntent{false};
const UINT kEndedAfterIntent = 3;

// Runs on the sending thread before every exchange: a write whose intent cannot be recorded is
// not sent.
bool CALLBACK GateSend(const StandinExchange& exchange, void*)
{
    if (!ReportAuditFailure(g_audit.BeforeSend(exchange), "the write was not sent"))
        return false;
    if (hartsim::IsWriteCommand(exchange.wCmd) && g_bEndAfterIntent.exchange(false))
        ::TerminateProcess(::GetCurrentProcess(), kEndedAfterIntent);
    return true;
}
} // namespace

int FdDevice::GetCurrentDeviceIndex()
{
    Guard guard;
    return g_state.nCurrent;
}

WORD FdDevice::GetCurDeviceType()
{
    Guard guard;
    StandinTrace(JsonLine("device_type").Add("type", g_state.wType).Str().c_str());
    return g_state.wType;
}

// A completed exchange has usable data; everything else failed. What the device answered goes to
// the status line and the event in words: the response code by its meaning and the device status.
BYTE FdInfo::ProcessRspCode(int nDevice, unsigned long ulResult, unsigned long*)
{
    StandinExchange exchange = StandinLastExchange();
    BYTE byAnswer = ulResult == HART_RESULT_DONE ? HART_RESULT_DONE : 0xFF;
    TakeScriptedAnswer(exchange.wCmd, &byAnswer);
    std::string text = devicewords::DescribeOutcome(nDevice, exchange, ulResult);
    JsonLine event("rspcode");
    event.Add("dev", nDevice)
        .Add("result", static_cast<long long>(ulResult))
        .Add("answer", byAnswer);
    if (exchange.bAnswered)
        event.Add("rc", exchange.byResponseCode).Add("status", exchange.byDeviceStatus);
    StandinTrace(event.Add("text", text).Str().c_str());
    ReportStatus(text);
    return byAnswer;
}

void StandinSetCurrentDevice(int nIndex)
{
    Guard guard;
    g_state.nCurrent = nIndex;
}

void StandinSetDeviceType(WORD wType)
{
    Guard guard;
    g_state.wType = wType;
}

void StandinQueueRspCodes(WORD wCmd, const BYTE* pCodes, int nCount)
{
    Guard guard;
    for (int i = 0; i < nCount; i++)
        g_state.scriptedAnswers.Push(wCmd, pCodes[i]);
}

void StandinSetStatusSink(STANDIN_STATUS_SINK pfnSink, void* pContext)
{
    Guard guard;
    g_state.pfnStatus = pfnSink;
    g_state.pStatusContext = pContext;
}

void StandinResetDevice()
{
    Guard guard;
    g_state.nCurrent = 0;
    g_state.wType = 0;
    g_state.scriptedAnswers.Clear();
}

void StandinWatchExchanges(LPCWSTR pszAuditFile)
{
    g_audit.SetFile(pszAuditFile != NULL ? pszAuditFile : L"");
    StandinSetExchangeSink(&WatchExchange, NULL);
    StandinSetSendGate(&GateSend, NULL);
}

void StandinSetReferenceSource(STANDIN_REFERENCE_SOURCE pfnSource, void* pContext)
{
    g_audit.SetReferenceSource(pfnSource, pContext);
}

void StandinEndAfterNextIntent()
{
    g_bEndAfterIntent = true;
}

std::wstring StandinRecordState()
{
    return WideText(g_audit.State());
}
