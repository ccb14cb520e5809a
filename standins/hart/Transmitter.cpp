// The simulated transmitter (Transmitter.h): it decodes a request frame for this device, runs the
// command, adds the device status and encodes the answer. It keeps no other master's state: a
// secondary master's request is answered the same way.
#include "Transmitter.h"

#include "ResponseCodes.h"
#include "ShortFrame.h"

#include <utility>

namespace hartsim
{

Reply Transmitter::Handle(uint8_t command, const std::vector<uint8_t>& request)
{
    Reply reply;
    if (state_.busyCount > 0)
    {
        --state_.busyCount;
        reply.responseCode = rc::kBusy;
    }
    else if (const HartCommand* handler = FindCommand(command))
    {
        reply = handler->Run(state_, request);
        if (handler->Writes() && CommandDone(reply.responseCode))
            configurationChanged_ = true;
    }
    else
        reply.responseCode = rc::kNotImplemented;
    reply.deviceStatus = TakeDeviceStatus();
    return reply;
}

std::vector<uint8_t> Transmitter::Exchange(const std::vector<uint8_t>& requestFrame)
{
    Request request;
    if (DecodeRequest(requestFrame, Address(), &request) != DecodeError::None)
        return AnswerShortFrame(requestFrame);
    Reply reply = Handle(request.command, request.data);
    Answer answer;
    answer.address = request.address;
    answer.command = request.command;
    answer.responseCode = reply.responseCode;
    answer.deviceStatus = reply.deviceStatus;
    answer.data = std::move(reply.data);
    return EncodeAnswer(answer);
}

// Only command 0 is answered at the polling address: it is how a master learns the long address.
std::vector<uint8_t> Transmitter::AnswerShortFrame(const std::vector<uint8_t>& requestFrame)
{
    ShortFrame request;
    if (!DecodeShortRequest(requestFrame, &request) ||
        request.pollingAddress != state_.pollingAddress || request.command != 0)
        return {};
    Reply reply = Handle(request.command, request.field);
    ShortFrame answer;
    answer.pollingAddress = request.pollingAddress;
    answer.command = request.command;
    answer.field.reserve(kStatusBytes + reply.data.size());
    answer.field.push_back(reply.responseCode);
    answer.field.push_back(reply.deviceStatus);
    answer.field.insert(answer.field.end(), reply.data.begin(), reply.data.end());
    return EncodeShortAnswer(answer);
}

LongAddress Transmitter::Address() const
{
    return LongAddress::ForDevice(state_.manufacturerId, state_.deviceType, state_.deviceId);
}

uint8_t Transmitter::TakeDeviceStatus()
{
    uint8_t deviceStatus = 0;
    if (coldStart_)
        deviceStatus |= status::kColdStart;
    if (configurationChanged_)
        deviceStatus |= status::kConfigurationChanged;
    coldStart_ = false;
    return deviceStatus;
}

} // namespace hartsim
