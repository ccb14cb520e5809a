// Sets the simulated transmitter's variables by name from text, for the script's xmtr, the
// transmitter program's set and the stress campaign: whole numbers within their ranges, floats that
// are finite and fit single precision, and the serial number. A bad key or value changes nothing.
// The set stands for the process and the bench, so no status bit moves; values a transmitter cannot
// hold (not finite) reach the page only through the record (the script's poke).
#include "Transmitter.h"

#include "PackedAscii.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace hartsim
{
namespace
{

constexpr std::size_t kTagLength = 8;

struct WholeVariable
{
    const char* key;
    long long min;
    long long max;
    void (*store)(DeviceState&, long long);
};

uint8_t Byte(long long value)
{
    return static_cast<uint8_t>(value);
}

const WholeVariable kWholeVariables[] = {
    {"press_type", 0, 3, [](DeviceState& s, long long v) { s.pressType = Byte(v); }},
    {"manufacturer", 0, 1, [](DeviceState& s, long long v) { s.manufacturer = Byte(v); }},
    {"unit", 0, 255, [](DeviceState& s, long long v) { s.unitCode = Byte(v); }},
    {"write_protect", 0, 1, [](DeviceState& s, long long v) { s.writeProtected = v != 0; }},
    {"busy", 0, 65535, [](DeviceState& s, long long v) { s.busyCount = static_cast<unsigned>(v); }},
    {"mfr_id", 0, 255, [](DeviceState& s, long long v) { s.manufacturerId = Byte(v); }},
    {"dev_type", 0, 255, [](DeviceState& s, long long v) { s.deviceType = Byte(v); }},
    {"poll_address", 0, 15, [](DeviceState& s, long long v) { s.pollingAddress = Byte(v); }},
    {"byte10", 0, 255, [](DeviceState& s, long long v) { s.deviceId[1] = Byte(v); }},
    {"pv_bytes", 0, 8, [](DeviceState& s, long long v) { s.pvBytes = Byte(v); }},
    // The pressure as the bits of an IEEE-754 single (decimal), so that the transmitter can report
    // a value that is not finite, which "pressure" refuses.
    {"pressure_bits", 0, 4294967295LL,
     [](DeviceState& s, long long v) {
         const uint32_t bits = static_cast<uint32_t>(v);
         std::memcpy(&s.pressure, &bits, sizeof(bits));
     }},
};

struct DecimalVariable
{
    const char* key;
    float DeviceState::*member;
};

const DecimalVariable kDecimalVariables[] = {
    {"range_high", &DeviceState::rangeHigh},
    {"range_low", &DeviceState::rangeLow},
    {"pressure", &DeviceState::pressure},
    {"temperature", &DeviceState::temperature},
    {"zero", &DeviceState::zero},
    {"factor_k", &DeviceState::factorK},
    {"factor_b", &DeviceState::factorB},
    {"cal_up", &DeviceState::calUp},
    {"cal_down", &DeviceState::calDown},
    {"lrv", &DeviceState::lrv},
    {"urv", &DeviceState::urv},
};

bool Fail(std::string* error, const std::string& text)
{
    if (error != nullptr)
        *error = text;
    return false;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The whole text must be the number: no blanks, no sign other than a leading minus.
template <typename Number> std::errc Parse(const std::string& text, Number* value)
{
    const char* end = text.data() + text.size();
    const std::from_chars_result result = std::from_chars(text.data(), end, *value);
    if (result.ec == std::errc() && result.ptr != end)
        return std::errc::invalid_argument;
    return result.ec;
}

bool SetWhole(DeviceState& state, const WholeVariable& variable, const std::string& text,
              std::string* error)
{
    const std::string name = variable.key;
    long long value = 0;
    const std::errc parsed = Parse(text, &value);
    if (parsed == std::errc::invalid_argument)
        return Fail(error, name + ": " + Quoted(text) + " is not a whole number");
    if (parsed != std::errc() || value < variable.min || value > variable.max)
    {
        return Fail(error, name + ": " + text + " is out of range " + std::to_string(variable.min) +
                               ".." + std::to_string(variable.max));
    }
    variable.store(state, value);
    return true;
}

bool SetDecimal(DeviceState& state, const DecimalVariable& variable, const std::string& text,
                std::string* error)
{
    const std::string name = variable.key;
    double value = 0.0;
    const std::errc parsed = Parse(text, &value);
    if (parsed == std::errc::invalid_argument)
        return Fail(error, name + ": " + Quoted(text) + " is not a decimal number");
    if (parsed == std::errc() && !std::isfinite(value))
        return Fail(error, name + ": " + Quoted(text) + " is not a finite number");
    if (parsed != std::errc() || std::fabs(value) > std::numeric_limits<float>::max())
        return Fail(error, name + ": " + text + " is out of the single-precision range");
    state.*variable.member = static_cast<float>(value);
    return true;
}

bool SetSerial(DeviceState& state, const std::string& text, std::string* error)
{
    if (text.size() > kSerialLength)
    {
        return Fail(error, "serial: " + Quoted(text) + " is longer than " +
                               std::to_string(kSerialLength) + " bytes");
    }
    state.serial.fill(' ');
    for (std::size_t i = 0; i < text.size(); ++i)
        state.serial[i] = static_cast<uint8_t>(text[i]);
    return true;
}

bool SetTag(DeviceState& state, const std::string& text, std::string* error)
{
    if (text.size() > kTagLength || !IsPackable(text))
    {
        return Fail(error, "tag: " + Quoted(text) + " is not at most " +
                               std::to_string(kTagLength) +
                               " blanks, digits, upper-case letters or signs");
    }
    state.tag = text;
    return true;
}

} // namespace

bool Transmitter::SetVariable(const std::string& key, const std::string& text, std::string* error)
{
    if (key == "serial")
        return SetSerial(state_, text, error);
    if (key == "tag")
        return SetTag(state_, text, error);
    for (const WholeVariable& variable : kWholeVariables)
    {
        if (key == variable.key)
            return SetWhole(state_, variable, text, error);
    }
    for (const DecimalVariable& variable : kDecimalVariables)
    {
        if (key == variable.key)
            return SetDecimal(state_, variable, text, error);
    }
    return Fail(error, "unknown variable " + Quoted(key));
}

} // namespace hartsim
