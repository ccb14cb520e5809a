// The base stand-in's headers come first: they bring in MFC, which must precede windows.h.
#include <StandinBase.h>

#include "SimLink.h"

#include <HartFrame.h>
#include <WireModel.h>

#include "LineFaults.h"

namespace hartsecomm
{
namespace
{
// The command of a long request frame, which the line's queued faults go by.
uint8_t CommandOf(const std::vector<uint8_t>& request)
{
    std::size_t start = 0;
    while (start < request.size() && request[start] == hartsim::kPreamble)
        ++start;
    return start + 6 < request.size() ? request[start + 6] : 0;
}

// Waits for the wire; false when the worker is being stopped meanwhile.
bool WaitForWire(std::chrono::microseconds duration)
{
    DWORD dwMilliseconds = static_cast<DWORD>((duration.count() + 999) / 1000);
    return dwMilliseconds == 0 || !StandinWaitCancelled(dwMilliseconds);
}
} // namespace

SimLink::SimLink(const std::atomic<bool>& realWire) : realWire_(realWire) {}

std::vector<uint8_t> SimLink::Exchange(const std::vector<uint8_t>& request)
{
    std::vector<uint8_t> answer;
    {
        StandinGuard lock(lock_);
        answer = LineExchange(transmitter_, CommandOf(request), request);
    }
    const hartsim::WireModel wire =
        realWire_ ? hartsim::WireModel::Timed() : hartsim::WireModel::Fast();
    if (answer.empty())
    {
        WaitForWire(wire.NoAnswer(request.size()));
        return {};
    }
    if (!WaitForWire(wire.Exchange(request.size(), answer.size())))
        return {};
    return answer;
}

hartsim::LongAddress SimLink::Address()
{
    StandinGuard lock(lock_);
    return transmitter_.Address();
}

std::vector<uint8_t> SimLink::Identity()
{
    StandinGuard lock(lock_);
    return transmitter_.Handle(0, {}).data;
}

std::vector<uint8_t> SimLink::Read(uint8_t command, const std::vector<uint8_t>& request)
{
    StandinGuard lock(lock_);
    hartsim::DeviceState state = transmitter_.State();
    const hartsim::HartCommand* handler = hartsim::FindCommand(command);
    return handler != nullptr && !handler->Writes() ? handler->Run(state, request).data
                                                    : std::vector<uint8_t>();
}

uint8_t SimLink::PollingAddress()
{
    StandinGuard lock(lock_);
    return transmitter_.State().pollingAddress;
}

bool SimLink::SetVariable(const std::string& key, const std::string& value, std::string* error)
{
    StandinGuard lock(lock_);
    return transmitter_.SetVariable(key, value, error);
}

} // namespace hartsecomm
