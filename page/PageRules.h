// The page's rules that need no window: the send loop's retry rule, the serial number's bytes, the
// names shown for values that are not finite, the range calibration's bias check and Verify's
// tolerances. Plain C++ on standard types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace PageRules
{
// A HART command the page sends, with the data bytes of its request. The host side's catalogue of
// commands is held to these by its tests.
struct PageCommand
{
    std::uint8_t number;
    std::uint8_t requestBytes;
};
constexpr PageCommand kReadDeviceInfo = {15, 0};
constexpr PageCommand kSetPvZero = {43, 0};
constexpr PageCommand kWriteRangePoint = {182, 5};
constexpr PageCommand kReadValue = {183, 0};
constexpr PageCommand kWriteBaseData = {222, 11};
constexpr PageCommand kReadBaseData = {223, 1};
constexpr PageCommand kPageCommands[] = {kReadDeviceInfo, kSetPvZero,     kWriteRangePoint,
                                         kReadValue,      kWriteBaseData, kReadBaseData};

// HartSendCmd's results as the page reads them.
constexpr std::uint8_t kResultDone = 0xF0;
constexpr std::uint8_t kResultBusy = 0xFE;
constexpr std::uint8_t kResultRetryMask = 0x0D;
// ProcessRspCode's answer for an exchange that the host rejects.
constexpr std::uint8_t kRejectedResult = 0xFF;

// 254, or a result with all bits of 0x0D set: the exchange did not complete.
bool IsRetryResult(std::uint8_t byResult);

constexpr std::size_t kSerialNoBytes = 9;
// The serial number held in the record's nine bytes, in the ANSI code page: it ends at the first
// blank, else at the first zero byte, else after nine bytes. Every other byte, a control byte
// included, stays as it is, so a Set that leaves the text alone writes back what the device holds.
std::string SerialNumberText(const char (&serial)[kSerialNoBytes]);
// Fills the request's nine serial bytes at pField (zero padded) from the ANSI form of the serial
// number's first nChars characters; no more than nChars bytes are taken.
void PutSerialNumber(const char* pAnsi, std::size_t nAnsiBytes, std::size_t nChars,
                     std::uint8_t* pField);

// "NaN", "+Inf" or "-Inf" for a value that is not finite; null for a finite one.
const char* NonFiniteName(float fValue);

// The range's span: |up - low|, the difference in single precision.
float RangeSpan(float fLow, float fUp);
// Whether a value lies too far from the range limit: |value - limit| / span > 1 %, the difference
// in single precision. A value equal to the limit always passes (also over a span of 0); a bias
// that cannot be computed (a range that is not a number) fails.
bool IsBiasTooBig(float fValue, float fLimit, float fSpan);

// Verify's tolerances: the pressure's as a fraction of |high - low|, the temperature's in degrees.
// The host's calibration record judges its test points by them too.
constexpr double kPressureTolerance = 0.000749;
constexpr double kTemperatureTolerance = 4.999999;

// Verify: the device's pressure may differ from the reference by 0.0749 % of |high - low|; equal
// values pass over any finite span. Differences in single precision. A value that is not a number
// or is infinite never passes: a comparison with it proves nothing (an infinite span would pass
// any pressure).
bool IsPressureWithinTolerance(float fDevice, float fReference, float fHigh, float fLow);
// Verify: the device's temperature may differ from the reference by just under 5 degrees; a value
// that is not finite never passes.
bool IsTemperatureWithinTolerance(float fDevice, float fReference);
} // namespace PageRules
