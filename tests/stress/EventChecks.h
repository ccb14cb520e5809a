// Checks on the host events of a stress campaign: what may be sent to the device, and that every
// write the page asks the user to confirm was confirmed.
#pragma once

#include <string>

class EventChecks
{
public:
    // One event line as the stand-ins report it. Returns a reason when the event breaks a rule,
    // otherwise an empty text.
    std::string Feed(const std::string& line);
    // The page is idle: confirmations that started no write are void from now on.
    void Idle();

    int UnconfirmedWrites() const { return m_nUnconfirmed; }
    int BadSends() const { return m_nBadSends; }

private:
    std::string CheckSend(int nCmd, const std::string& hex) const;
    std::string CheckConfirmed(bool& bSentInTransaction, int& nConfirmations, const char* pszWhat);

    int m_nZeroConfirmations = 0;
    int m_nRangeConfirmations = 0;
    bool m_bZeroSent = false;
    bool m_bRangeSent = false;
    int m_nUnconfirmed = 0;
    int m_nBadSends = 0;
};

// The value of a JSON field in an event line: the text of a string, the digits of a number;
// empty when the field is absent.
std::string EventField(const std::string& line, const char* pszKey);
