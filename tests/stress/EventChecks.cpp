// The stress campaign's checks on the host events (EventChecks.h): what the page may send is what
// the command catalogue says of the command's request.
#include "EventChecks.h"

#include <HartCommand.h>

#include <cstdint>
#include <vector>

namespace
{
// Questions whose Yes lets a write go to the device.
const char kAskZero[] = "PV Zero Calibrate?";
const char kAskRange[] = "Range Correct?";

bool Hex(const std::string& text, std::vector<uint8_t>* pBytes)
{
    if (text.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < text.size(); i += 2)
    {
        char* pEnd = nullptr;
        std::string pair = text.substr(i, 2);
        unsigned long nByte = strtoul(pair.c_str(), &pEnd, 16);
        if (*pEnd != '\0')
            return false;
        pBytes->push_back(static_cast<uint8_t>(nByte));
    }
    return true;
}

} // namespace

std::string EventField(const std::string& line, const char* pszKey)
{
    std::string key = std::string("\"") + pszKey + "\":";
    size_t nAt = line.find(key);
    if (nAt == std::string::npos)
        return "";
    size_t nStart = nAt + key.size();
    if (nStart < line.size() && line[nStart] == '"')
        return line.substr(nStart + 1, line.find('"', nStart + 1) - nStart - 1);
    size_t nEnd = line.find_first_of(",}", nStart);
    return line.substr(nStart, nEnd - nStart);
}

std::string EventChecks::Feed(const std::string& line)
{
    const std::string event = EventField(line, "ev");
    if (event == "box" && EventField(line, "answer") == "yes")
    {
        const std::string text = EventField(line, "text");
        if (text.find(kAskZero) != std::string::npos)
            m_nZeroConfirmations++;
        if (text.find(kAskRange) != std::string::npos)
            m_nRangeConfirmations++;
    }
    else if (event == "lock" && EventField(line, "op") == "TryLock" &&
             EventField(line, "result") == "1")
    {
        // A worker that holds the HART lock is the only one sending until it lets go.
        m_bZeroSent = m_bRangeSent = false;
    }
    else if (event == "send")
    {
        const int nCmd = atoi(EventField(line, "cmd").c_str());
        std::string reason = CheckSend(nCmd, EventField(line, "data"));
        if (!reason.empty())
        {
            m_nBadSends++;
            return reason;
        }
        if (nCmd == 43)
            return CheckConfirmed(m_bZeroSent, m_nZeroConfirmations, "PV zero");
        if (nCmd == 182)
            return CheckConfirmed(m_bRangeSent, m_nRangeConfirmations, "range download");
    }
    return "";
}

void EventChecks::Idle()
{
    m_nZeroConfirmations = m_nRangeConfirmations = 0;
}

// The first send of a confirmed write in a transaction takes one Yes; its resends take none.
std::string EventChecks::CheckConfirmed(bool& bSentInTransaction, int& nConfirmations,
                                        const char* pszWhat)
{
    if (bSentInTransaction)
        return "";
    bSentInTransaction = true;
    if (nConfirmations > 0)
    {
        nConfirmations--;
        return "";
    }
    m_nUnconfirmed++;
    return std::string(pszWhat) + " written without a Yes";
}

std::string EventChecks::CheckSend(int nCmd, const std::string& hex) const
{
    std::vector<uint8_t> data;
    if (!Hex(hex, &data))
        return "unreadable request data";
    const hartsim::HartCommand* pCommand = hartsim::FindCommand(nCmd);
    if (pCommand == nullptr || !pCommand->PageSends())
        return "command " + std::to_string(nCmd) + " is not one the page may send";
    return pCommand->RequestFault(data);
}
