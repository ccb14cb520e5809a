// The page's rules that need no window.
#include "PageRules.h"

#include <cmath>
#include <cstring>

namespace PageRules
{
namespace
{
const double kMaxBias = 0.01;
} // namespace

bool IsRetryResult(std::uint8_t byResult)
{
    return byResult == kResultBusy || (byResult & kResultRetryMask) == kResultRetryMask;
}

std::string SerialNumberText(const char (&serial)[kSerialNoBytes])
{
    const char* pBlank = static_cast<const char*>(std::memchr(serial, ' ', kSerialNoBytes));
    const char* pZero = static_cast<const char*>(std::memchr(serial, '\0', kSerialNoBytes));
    const char* pEnd = serial + kSerialNoBytes;
    if (pBlank != nullptr)
        pEnd = pBlank;
    if (pZero != nullptr && pZero < pEnd)
        pEnd = pZero;
    return std::string(serial, pEnd);
}

void PutSerialNumber(const char* pAnsi, std::size_t nAnsiBytes, std::size_t nChars,
                     std::uint8_t* pField)
{
    std::memset(pField, 0, kSerialNoBytes);
    std::size_t nBytes = nAnsiBytes < nChars ? nAnsiBytes : nChars;
    std::memcpy(pField, pAnsi, nBytes < kSerialNoBytes ? nBytes : kSerialNoBytes);
}

const char* NonFiniteName(float fValue)
{
    if (std::isnan(fValue))
        return "NaN";
    if (std::isinf(fValue))
        return fValue > 0 ? "+Inf" : "-Inf";
    return nullptr;
}

float RangeSpan(float fLow, float fUp)
{
    float fDifference = fUp - fLow;
    return static_cast<float>(std::fabs(static_cast<double>(fDifference)));
}

bool IsBiasTooBig(float fValue, float fLimit, float fSpan)
{
    float fDifference = fValue - fLimit;
    double dDifference = std::fabs(static_cast<double>(fDifference));
    if (dDifference == 0)
        return false;
    return !(dDifference / static_cast<double>(fSpan) <= kMaxBias);
}

bool IsPressureWithinTolerance(float fDevice, float fReference, float fHigh, float fLow)
{
    if (!std::isfinite(fDevice) || !std::isfinite(fReference) || !std::isfinite(fHigh) ||
        !std::isfinite(fLow))
        return false;
    float fDifference = fDevice - fReference;
    float fSpanDifference = fHigh - fLow;
    double dDeviation = std::fabs(static_cast<double>(fDifference));
    return dDeviation == 0 ||
           dDeviation / std::fabs(static_cast<double>(fSpanDifference)) <= kPressureTolerance;
}

bool IsTemperatureWithinTolerance(float fDevice, float fReference)
{
    if (!std::isfinite(fDevice) || !std::isfinite(fReference))
        return false;
    float fDifference = fDevice - fReference;
    return std::fabs(static_cast<double>(fDifference)) <= kTemperatureTolerance;
}
} // namespace PageRules
