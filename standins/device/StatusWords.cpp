// The words for a device's answer (StatusWords.h): HART's general response-code meanings here, the
// command-specific ones from the commands' catalogue entries.
#include "StatusWords.h"

#include <HartCommand.h>
#include <ResponseCodes.h>

namespace devicewords
{
namespace
{
struct Meaning
{
    BYTE byCode;
    const char* pszText;
};

const Meaning kGeneralMeanings[] = {
    {0, "success"},
    {2, "invalid selection"},
    {3, "parameter too large"},
    {4, "parameter too small"},
    {5, "too few data bytes"},
    {6, "device-specific command error"},
    {7, "in write-protect mode"},
    {16, "access restricted"},
    {32, "device busy"},
    {33, "delayed response initiated"},
    {34, "delayed response running"},
    {35, "delayed response dead"},
    {36, "delayed response conflict"},
    {64, "command not implemented"},
};

const Meaning kStatusBits[] = {
    {0x80, "device malfunction"},
    {0x40, "configuration changed"},
    {0x20, "cold start"},
    {0x10, "more status available"},
    {0x08, "loop current fixed"},
    {0x04, "loop current saturated"},
    {0x02, "non-primary variable out of limits"},
    {0x01, "primary variable out of limits"},
};

const Meaning kCommunicationErrors[] = {
    {0x40, "parity"},   {0x20, "overrun"},         {0x10, "framing"},
    {0x08, "checksum"}, {0x02, "buffer overflow"},
};

std::string CommunicationError(BYTE byResponseCode)
{
    std::string text = "communication error in the request";
    std::string kinds;
    for (const Meaning& error : kCommunicationErrors)
    {
        if ((byResponseCode & error.byCode) != 0)
            kinds += (kinds.empty() ? "" : ", ") + std::string(error.pszText);
    }
    return kinds.empty() ? text : text + " (" + kinds + ")";
}
} // namespace

std::string ResponseMeaning(WORD wCmd, BYTE byResponseCode)
{
    if (hartsim::IsCommunicationError(byResponseCode))
        return CommunicationError(byResponseCode);
    if (const hartsim::HartCommand* command = hartsim::FindCommand(wCmd))
    {
        for (const hartsim::CodeMeaning& meaning : command->Meanings())
        {
            if (meaning.code == byResponseCode)
                return meaning.text;
        }
    }
    for (const Meaning& meaning : kGeneralMeanings)
    {
        if (meaning.byCode == byResponseCode)
            return meaning.pszText;
    }
    if (hartsim::IsWarning(byResponseCode))
        return "done with a command-specific warning";
    return "command-specific error";
}

std::string DeviceStatusWords(BYTE byDeviceStatus)
{
    std::string words;
    for (const Meaning& bit : kStatusBits)
    {
        if ((byDeviceStatus & bit.byCode) != 0)
            words += (words.empty() ? "" : ", ") + std::string(bit.pszText);
    }
    return words;
}

std::string ResultMeaning(WORD wCmd, unsigned long ulResult)
{
    switch (ulResult)
    {
    case HART_RESULT_DONE:
        return "done";
    case HART_RESULT_BUSY:
        return "device busy";
    case 0xFF:
        return "no answer";
    default:
        return ulResult <= 0xFF ? ResponseMeaning(wCmd, static_cast<BYTE>(ulResult)) : "failed";
    }
}

std::string DescribeOutcome(int nDevice, const StandinExchange& exchange, unsigned long ulResult)
{
    std::string text =
        "Device " + std::to_string(nDevice) + ", command " + std::to_string(exchange.wCmd) + ": ";
    if (!exchange.bAnswered)
        return text + ResultMeaning(exchange.wCmd, ulResult) + " (result " +
               std::to_string(ulResult) + ")";
    text += ResponseMeaning(exchange.wCmd, exchange.byResponseCode) + " (response code " +
            std::to_string(exchange.byResponseCode) + ")";
    if (hartsim::IsCommunicationError(exchange.byResponseCode))
        return text;
    std::string status = DeviceStatusWords(exchange.byDeviceStatus);
    return status.empty() ? text : text + "; device status: " + status;
}

} // namespace devicewords
