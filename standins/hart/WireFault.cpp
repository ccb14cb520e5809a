// How each line fault changes one exchange (WireFault.h): whether the transmitter sees the request
// and what the master receives instead of the true answer.
#include "WireFault.h"

#include "ResponseCodes.h"

#include <utility>

namespace hartsim
{
namespace
{

// The answer of a transmitter that refuses the request with a response code of its own.
std::vector<uint8_t> RefusalFrame(const Transmitter& transmitter, uint8_t responseCode,
                                  const std::vector<uint8_t>& requestFrame)
{
    Request request;
    if (DecodeRequest(requestFrame, transmitter.Address(), &request) != DecodeError::None)
        return {};
    Answer answer;
    answer.address = request.address;
    answer.command = request.command;
    answer.responseCode = responseCode;
    return EncodeAnswer(answer);
}

// The transmitter's answer re-encoded with the device id changed in its last byte.
std::vector<uint8_t> FromOtherAddress(const Transmitter& transmitter,
                                      const std::vector<uint8_t>& answerFrame)
{
    Answer answer;
    if (DecodeAnswer(answerFrame, transmitter.Address(), &answer) != DecodeError::None)
        return answerFrame;
    answer.address.bytes[4] ^= 0x01;
    return EncodeAnswer(answer);
}

} // namespace

std::optional<WireFault> ParseWireFault(const std::string& name)
{
    static const std::pair<const char*, WireFault> kNames[] = {
        {"noanswer", WireFault::NoAnswer},      {"garbled", WireFault::Garbled},
        {"parity", WireFault::Parity},          {"short", WireFault::Short},
        {"otheraddr", WireFault::OtherAddress}, {"busy", WireFault::Busy},
        {"dr33", WireFault::DelayedInitiated},  {"dr34", WireFault::DelayedRunning},
        {"dr35", WireFault::DelayedDead},       {"writeprotect", WireFault::WriteProtected},
    };
    for (const auto& entry : kNames)
        if (name == entry.first)
            return entry.second;
    return std::nullopt;
}

void FaultPlan::Queue(uint8_t command, WireFault fault, int count)
{
    for (int i = 0; i < count; i++)
        queued_[command].push_back(fault);
}

std::vector<uint8_t> FaultPlan::Exchange(Transmitter& transmitter, uint8_t command,
                                         const std::vector<uint8_t>& requestFrame)
{
    auto it = queued_.find(command);
    if (it == queued_.end() || it->second.empty())
        return transmitter.Exchange(requestFrame);
    WireFault fault = it->second.front();
    it->second.pop_front();
    return FaultyExchange(transmitter, fault, requestFrame);
}

std::vector<uint8_t> FaultyExchange(Transmitter& transmitter, WireFault fault,
                                    const std::vector<uint8_t>& requestFrame)
{
    std::vector<uint8_t> answerFrame;
    switch (fault)
    {
    case WireFault::NoAnswer:
        return {};
    case WireFault::Garbled:
        answerFrame = transmitter.Exchange(requestFrame);
        if (!answerFrame.empty())
            answerFrame[answerFrame.size() / 2] ^= 0x10;
        return answerFrame;
    case WireFault::Parity:
        return RefusalFrame(transmitter, rc::kParityError, requestFrame);
    case WireFault::Short:
        answerFrame = transmitter.Exchange(requestFrame);
        answerFrame.resize(answerFrame.size() / 2);
        return answerFrame;
    case WireFault::OtherAddress:
        return FromOtherAddress(transmitter, transmitter.Exchange(requestFrame));
    case WireFault::Busy:
        return RefusalFrame(transmitter, rc::kBusy, requestFrame);
    case WireFault::DelayedInitiated:
        return RefusalFrame(transmitter, rc::kDelayedResponseInitiated, requestFrame);
    case WireFault::DelayedRunning:
        return RefusalFrame(transmitter, rc::kDelayedResponseRunning, requestFrame);
    case WireFault::DelayedDead:
        return RefusalFrame(transmitter, rc::kDelayedResponseDead, requestFrame);
    case WireFault::WriteProtected:
        return RefusalFrame(transmitter, rc::kWriteProtected, requestFrame);
    }
    return {};
}

} // namespace hartsim
