// The base stand-in's headers come first: they bring in MFC, which must precede windows.h.
#include <StandinBase.h>

#include "SimLink.h"

#include <WireModel.h>

namespace hartsecomm
{
namespace
{
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
        Lock lock(lock_);
        answer = transmitter_.Exchange(request);
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
    Lock lock(lock_);
    return transmitter_.Address();
}

std::vector<uint8_t> SimLink::Identity()
{
    Lock lock(lock_);
    return transmitter_.Handle(0, {}).data;
}

bool SimLink::SetVariable(const std::string& key, const std::string& value, std::string* error)
{
    Lock lock(lock_);
    return transmitter_.SetVariable(key, value, error);
}

} // namespace hartsecomm
