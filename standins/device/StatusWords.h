// What a device's answer says, in words: the response code by its HART meaning (with the
// command-specific meanings of the commands the page sends) and the field-device status bits.
#pragma once

#include <StandinHart.h>

#include <string>

namespace devicewords
{

// The response code's meaning for command wCmd, for example "in write-protect mode".
std::string ResponseMeaning(WORD wCmd, BYTE byResponseCode);
// The set bits of the field-device status, comma separated; empty when none is set.
std::string DeviceStatusWords(BYTE byDeviceStatus);
// A send result of command wCmd that the service gave without an answer to read (none came, or
// it was scripted).
std::string ResultMeaning(WORD wCmd, unsigned long ulResult);
// The exchange's outcome in one line: "Device 0, command 222: in write-protect mode (response
// code 7)", with "; device status: ..." when status bits are set (not beside a communication
// error, where the second status byte means nothing). An exchange without an answer
// is told by the result ulResult.
std::string DescribeOutcome(int nDevice, const StandinExchange& exchange, unsigned long ulResult);

} // namespace devicewords
