// The response codes and device status bits the simulated transmitter and the service use, and
// which codes mean the command was carried out (success and the warnings). Only the codes this
// simulation gives are named; the meanings of the other codes are not modelled beyond their class.
#pragma once

#include <cstdint>

namespace hartsim
{

// First status byte of an answer: the command response code.
namespace rc
{
constexpr uint8_t kSuccess = 0;
constexpr uint8_t kInvalidSelection = 2;
constexpr uint8_t kTooFewDataBytes = 5;
constexpr uint8_t kWriteProtected = 7;
// Applied process (or written value) above / below what the device accepts.
constexpr uint8_t kValueTooHigh = 9;
constexpr uint8_t kValueTooLow = 10;
constexpr uint8_t kBusy = 32;
constexpr uint8_t kDelayedResponseInitiated = 33;
constexpr uint8_t kDelayedResponseRunning = 34;
constexpr uint8_t kDelayedResponseDead = 35;
constexpr uint8_t kNotImplemented = 64;
// Set when the device found a communication error in the request; the other bits then say which.
constexpr uint8_t kCommunicationError = 0x80;
constexpr uint8_t kParityError = kCommunicationError | 0x40;
} // namespace rc

// Second status byte of an answer: field-device status bits.
namespace status
{
constexpr uint8_t kConfigurationChanged = 0x40;
constexpr uint8_t kColdStart = 0x20;
} // namespace status

inline bool IsCommunicationError(uint8_t responseCode)
{
    return (responseCode & rc::kCommunicationError) != 0;
}

// Warning codes: the device carried out the command and adds a remark.
inline bool IsWarning(uint8_t responseCode)
{
    if (IsCommunicationError(responseCode))
        return false;
    return responseCode == 8 || responseCode == 14 || (responseCode >= 24 && responseCode <= 27) ||
           responseCode == 30 || responseCode == 31 || responseCode >= 96;
}

// True when the device carried out the command: success or a warning.
inline bool CommandDone(uint8_t responseCode)
{
    return responseCode == rc::kSuccess || IsWarning(responseCode);
}

} // namespace hartsim
