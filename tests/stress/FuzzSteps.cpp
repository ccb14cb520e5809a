// Fuzz steps: random record bytes, send results, response-code verdicts, faults of the line, timer
// periods, edit texts, list selections, device changes, transmitter settings and operations.
#include "StressHost.h"

#include <StandinBase.h>
#include <StandinDevice.h>
#include <StandinHart.h>

#include <RecordFields.h>

#include "../../res/resource.h"

#include <cmath>
#include <stdio.h>

namespace stress
{
namespace
{
// Texts for the page's edits: numbers that do not fit, non-finite ones, blanks, text outside
// ASCII and double-byte text, over-long text, and sound values.
std::string DrawText()
{
    // One of each kind: the page reads numbers case-blind, so "NaN" and "nan" are the same.
    static const char* const kTexts[] = {"",       "   ",          "nan",          "-inf",
                                         "1e39",   "1e-320",       "3.4028236e38", "0x1p128",
                                         "-0",     "250.000",      "12345678901",  "AB12 3456",
                                         "\t1\t",  "1,5",          "ÄÖÜ℃",         "日本語テキスト",
                                         "１２３", "ＫＳ０００１", "𝟙𝟚𝟛",          "-",
                                         "1e"};
    const int nFixed = sizeof kTexts / sizeof kTexts[0];
    int nPick = Draw(nFixed + 3);
    if (nPick < nFixed)
        return kTexts[nPick];
    if (nPick == nFixed)
        return std::string(100 + Draw(400), static_cast<char>('0' + Draw(10)));
    if (nPick == nFixed + 1)
    {
        std::string text;
        for (int n = Draw(30); n > 0; n--)
            text += static_cast<char>(32 + Draw(95));
        return text;
    }
    char szNumber[64];
    sprintf(szNumber, "%.*g", 1 + Draw(12),
            (Draw(2) ? -1 : 1) * std::ldexp(1.0 + Draw(1000) / 1000.0, Draw(260) - 130));
    return szNumber;
}

const int kEdits[] = {IDC_EDT_RANGE_HIGH,       IDC_EDT_PRESS_VAL,         IDC_EDT_RANGE_LOW,
                      IDC_EDT_TEMP_VAL,         IDC_EDT_SERIAL_NO,         IDC_EDT_ZERO,
                      IDC_EDT_FACTOR_K,         IDC_EDT_FACTOR_B,          IDC_EDT_CAL_UP,
                      IDC_EDT_CAL_DOWN,         IDC_EDT_VERIFY_RANGE_HIGH, IDC_EDT_VERIFY_PRESS,
                      IDC_EDT_VERIFY_RANGE_LOW, IDC_EDT_VERIFY_TEMP,       IDC_EDT_RANGE_VALUE};
const int kLists[] = {IDC_CMB_PRESS_TYPE, IDC_CMB_MANUFACTURER, IDC_CMB_POINT};

BYTE DrawResult()
{
    static const BYTE kLikely[] = {240, 254, 255, 13, 29, 253, 7, 32, 0};
    return Draw(3) == 0 ? static_cast<BYTE>(Draw(256)) : kLikely[Draw(sizeof kLikely)];
}
} // namespace

// One random input. Sets what it does into the steps, so that a failure shows them.
void FuzzStep(int nStep)
{
    char szStep[300];
    std::string error;
    switch (Draw(16))
    {
    case 0: {
        // Mostly into a field the page reads, from one of its bytes on; sometimes anywhere.
        std::string where;
        int nOffset = 0;
        if (Draw(5) == 0)
        {
            nOffset = Draw(STANDIN_RECORD_SIZE - 8);
            where = std::to_string(nOffset);
        }
        else
        {
            const hartsim::RecordField& field =
                hartsim::kRecordFields[Draw(static_cast<int>(hartsim::kRecordFieldCount))];
            int nByte = Draw(static_cast<int>(field.width));
            nOffset = static_cast<int>(field.offset) + nByte;
            where = std::string(field.name) + "+" + std::to_string(nByte);
        }
        BYTE bytes[8];
        int nCount = 1 + Draw(8);
        for (int i = 0; i < nCount; i++)
            bytes[i] = static_cast<BYTE>(Draw(256));
        StandinPokeRecord(static_cast<BYTE>(Draw(3)), nOffset, bytes, nCount);
        sprintf(szStep, "poke %d bytes at %s", nCount, where.c_str());
        break;
    }
    case 1: {
        WORD wCmd = kCommands[Draw(6)];
        BYTE results[3];
        int nCount = 1 + Draw(3);
        for (int i = 0; i < nCount; i++)
            results[i] = DrawResult();
        StandinQueueResults(wCmd, results, nCount);
        sprintf(szStep, "results %u: %d of them, first %u", wCmd, nCount, results[0]);
        break;
    }
    case 2: {
        WORD wCmd = kCommands[Draw(6)];
        BYTE answers[2] = {static_cast<BYTE>(Draw(2) ? 255 : Draw(256)), 240};
        StandinQueueRspCodes(wCmd, answers, 1 + Draw(2));
        sprintf(szStep, "rspcodes %u %u", wCmd, answers[0]);
        break;
    }
    case 3: {
        WORD wCmd = kCommands[Draw(6)];
        const char* pszFault = kFaults[Draw(10)];
        int nCount = 1 + Draw(3);
        StandinQueueFaults(wCmd, pszFault, nCount, &error);
        sprintf(szStep, "fault %u %s %d", wCmd, pszFault, nCount);
        break;
    }
    case 4: {
        static const DWORD kPeriods[] = {0, 1, 30, 300, 1000};
        DWORD dwPeriod = kPeriods[Draw(5)];
        StandinSetTimerPeriod(dwPeriod);
        sprintf(szStep, "timer %lu", static_cast<unsigned long>(dwPeriod));
        break;
    }
    case 5:
    case 6: {
        int nID = kEdits[Draw(sizeof kEdits / sizeof kEdits[0])];
        std::string text = DrawText();
        SetText(nID, text);
        sprintf(szStep, "settext %d (%zu bytes) %.60s", nID, text.size(), text.c_str());
        break;
    }
    case 7: {
        int nID = kLists[Draw(3)], nIndex = Draw(10) - 1;
        Select(nID, nIndex);
        sprintf(szStep, "select %d %d", nID, nIndex);
        break;
    }
    case 8:
    case 9: {
        const PageOperation& operation = PageOperationAt(Draw(kPageOperationCount));
        theApp.m_nNextAnswer = Draw(3) ? IDYES : IDNO;
        Click(operation.nButton);
        sprintf(szStep, "click %d (%s), answer %s", operation.nButton, operation.pszName,
                theApp.m_nNextAnswer == IDYES ? "yes" : "no");
        break;
    }
    case 10: {
        static const struct
        {
            const char* pszName;
            void (*pfnCall)(CTablePage*);
        } kCalls[] = {
            {"ReloadPage", [](CTablePage* p) { p->ReloadPage(); }},
            {"StopPage", [](CTablePage* p) { p->StopPage(); }},
            {"OnDeviceChanged", [](CTablePage* p) { p->OnDeviceChanged(); }},
            {"ReleasePage", [](CTablePage* p) { p->ReleasePage(); }},
            {"RefreshLayout", [](CTablePage* p) { p->RefreshLayout(); }},
            {"LoadCaptions", [](CTablePage* p) { p->LoadCaptions(); }},
            {"IsPageBusy", [](CTablePage* p) { p->IsPageBusy(); }},
        };
        const auto& call = kCalls[Draw(7)];
        call.pfnCall(g.host.Page());
        sprintf(szStep, "call %s", call.pszName);
        break;
    }
    case 11: {
        static const WORD kTypes[] = {0, 58064, 1, 65535};
        int nDevice = Draw(6) - 1;
        WORD wType = kTypes[Draw(4)];
        StandinSetCurrentDevice(nDevice);
        StandinSetDeviceType(wType);
        sprintf(szStep, "device %d devtype %u", nDevice, wType);
        break;
    }
    default: {
        static const char* const kKeys[] = {"pressure", "range_high", "range_low", "write_protect",
                                            "busy",     "unit",       "press_type"};
        static const char* const kValues[] = {"0", "1", "3", "-1", "1e30", "250", "0.5"};
        const char* pszKey = kKeys[Draw(7)];
        const char* pszValue = kValues[Draw(7)];
        StandinSetTransmitterVariable(0, pszKey, pszValue, &error);
        sprintf(szStep, "xmtr %s %s", pszKey, pszValue);
        break;
    }
    }
    g.steps.push_back("step " + std::to_string(nStep) + ": " + szStep);
    if (!WaitIdle())
        return ReportHang("no end within the bounded wait");
    g.checks.Idle();
    CheckLocksFree("a fuzz step");
    if (g.steps.size() > 200)
        g.steps.erase(g.steps.begin(), g.steps.begin() + 100);
}
} // namespace stress
