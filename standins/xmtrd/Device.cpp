// The transmitter program's device (Device.h): one simulated transmitter behind the port, with the
// line faults its controller asks for (garbled answers, which carry noise before and after them,
// and mute ones), the variables it sets and, when asked, the command-0 answer of a HART 7 device
// at a polling address of its own. The port waits out the wire model's time; this file only
// answers.
#include "Device.h"

#include <HartCommand.h>
#include <HartFrame.h>
#include <ResponseCodes.h>
#include <ShortFrame.h>

#include <sstream>

namespace xmtrd
{
namespace
{
// Line noise as a receiver might see it; none of it is a preamble.
const std::vector<uint8_t> kNoise = {0x3C, 0xA5, 0x00, 0x5A, 0xC3, 0x7E};
// The noise after a garbled answer: 18 characters, 165 ms at 1200 bit/s.
constexpr int kTailRepeats = 3;
// Where a command-0 answer's data give the universal revision, and the revision "hart7" presents.
constexpr std::size_t kRevisionByte = 4;
constexpr uint8_t kHart7 = 7;
} // namespace

Device::Device(bool timedWire)
    : wire_(timedWire ? hartsim::WireModel::Timed() : hartsim::WireModel::Fast())
{
}

// The transmitter's answer; while it presents itself as a HART 7 device, a short request is
// answered only at the presented polling address, as the transmitter answers at its own, with
// revision 7 in the identity.
std::vector<uint8_t> Device::Exchange(const std::vector<uint8_t>& request)
{
    hartsim::ShortFrame poll, answer;
    if (!hart7Poll_ || !hartsim::DecodeShortRequest(request, &poll))
        return transmitter_.Exchange(request);
    if (poll.pollingAddress != *hart7Poll_)
        return {};
    poll.pollingAddress = transmitter_.State().pollingAddress;
    if (!hartsim::DecodeShortAnswer(transmitter_.Exchange(hartsim::EncodeShortRequest(poll)),
                                    &answer))
        return {};
    answer.pollingAddress = *hart7Poll_;
    if (answer.field.size() > hartsim::kStatusBytes + kRevisionByte)
        answer.field[hartsim::kStatusBytes + kRevisionByte] = kHart7;
    return hartsim::EncodeShortAnswer(answer);
}

std::vector<uint8_t> Device::Answer(const std::vector<uint8_t>& request)
{
    std::vector<uint8_t> answer = Exchange(request);
    if (answer.empty())
        return answer;
    hartsim::Answer decoded;
    if (hartsim::DecodeAnswer(answer, transmitter_.Address(), &decoded) ==
            hartsim::DecodeError::None &&
        hartsim::CommandDone(decoded.responseCode))
    {
        const hartsim::HartCommand* command = hartsim::FindCommand(decoded.command);
        written_ += command != nullptr && command->Writes() ? 1 : 0;
    }
    if (mute_ > 0)
    {
        --mute_;
        return {};
    }
    ++answered_;
    if (garble_ > 0)
    {
        --garble_;
        answer.back() = static_cast<uint8_t>(~answer.back());
        answer.insert(answer.begin(), kNoise.begin(), kNoise.end());
        // A device whose answer was hit goes on sending past where a master sees it end.
        for (int i = 0; i < kTailRepeats; ++i)
            answer.insert(answer.end(), kNoise.begin(), kNoise.end());
    }
    return answer;
}

bool Device::Control(const std::string& line, std::string* error)
{
    std::istringstream words(line);
    std::string command, key;
    words >> command;
    if (command == "set" && (words >> key))
    {
        std::string value;
        std::getline(words >> std::ws, value);
        return transmitter_.SetVariable(key, value, error);
    }
    unsigned count = 0;
    if ((command == "garble" || command == "mute") && (words >> count))
    {
        (command == "garble" ? garble_ : mute_) = count;
        return true;
    }
    if (command == "hart7" && (words >> count) && count <= hartsim::kMaxPollingAddress)
    {
        hart7Poll_ = static_cast<uint8_t>(count);
        return true;
    }
    *error = "unknown control '" + line + "'";
    return false;
}

} // namespace xmtrd
