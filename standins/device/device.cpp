// The stand-in device facade: the selected device and the evaluation of exchange results.
#include <StandinDevice.h>
#include <StandinBase.h>
#include <StandinHart.h>
#include <JsonLine.h>
#include <StandinSync.h>

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

LPCWSTR DescribeResult(unsigned long ulResult)
{
    switch (ulResult)
    {
    case HART_RESULT_DONE:
        return L"done";
    case HART_RESULT_BUSY:
        return L"device busy";
    case 0xFF:
        return L"no answer";
    case 2:
        return L"invalid selection";
    case 5:
        return L"too few data bytes";
    case 7:
        return L"in write-protect mode";
    case 9:
        return L"value too high";
    case 10:
        return L"value too low";
    case 64:
        return L"command not implemented";
    default:
        return L"failed";
    }
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
    return g_state.wType;
}

// A completed exchange has usable data; everything else failed. The outcome goes to the status
// line in words.
BYTE FdInfo::ProcessRspCode(int nDevice, unsigned long ulResult, unsigned long*)
{
    WORD wCmd = StandinLastCommand();
    BYTE byAnswer = ulResult == HART_RESULT_DONE ? HART_RESULT_DONE : 0xFF;
    TakeScriptedAnswer(wCmd, &byAnswer);
    StandinTrace(JsonLine("rspcode")
                     .Add("dev", nDevice)
                     .Add("result", static_cast<long long>(ulResult))
                     .Add("answer", byAnswer)
                     .Str()
                     .c_str());
    CString strStatus;
    strStatus.Format(L"Device %d, command %u: %s (%lu)", nDevice, wCmd, DescribeResult(ulResult),
                     ulResult);
    STANDIN_STATUS_SINK pfnSink;
    void* pContext;
    {
        Guard guard;
        pfnSink = g_state.pfnStatus;
        pContext = g_state.pStatusContext;
    }
    if (pfnSink != NULL)
        pfnSink(strStatus, pContext);
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
