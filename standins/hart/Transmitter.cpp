#include "Transmitter.h"

#include "ResponseCodes.h"

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
    else if (const CommandHandler* handler = FindCommand(command))
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
        return {};
    Reply reply = Handle(request.command, request.data);
    Answer answer;
    answer.address = request.address;
    answer.command = request.command;
    answer.responseCode = reply.responseCode;
    answer.deviceStatus = reply.deviceStatus;
    answer.data = std::move(reply.data);
    return EncodeAnswer(answer);
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
