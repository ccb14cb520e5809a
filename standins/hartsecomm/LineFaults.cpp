// The queue of line faults. It has its own lock: the script host queues faults on the window
// thread while a worker's exchange takes them.
#include "LineFaults.h"

#include <StandinHart.h>

#include <WireFault.h>

namespace
{
struct Faults
{
    CRITICAL_SECTION lock;
    hartsim::FaultPlan plan;
    Faults() { ::InitializeCriticalSection(&lock); }
    ~Faults() { ::DeleteCriticalSection(&lock); }
} g_faults;

class Guard
{
public:
    Guard() { ::EnterCriticalSection(&g_faults.lock); }
    ~Guard() { ::LeaveCriticalSection(&g_faults.lock); }
};
} // namespace

std::vector<uint8_t> LineExchange(hartsim::Transmitter& transmitter, uint8_t command,
                                  const std::vector<uint8_t>& requestFrame)
{
    Guard guard;
    return g_faults.plan.Exchange(transmitter, command, requestFrame);
}

void ClearLineFaults()
{
    Guard guard;
    g_faults.plan.Clear();
}

bool StandinQueueFaults(WORD wCmd, const std::string& kind, int nCount, std::string* pError)
{
    std::optional<hartsim::WireFault> fault = hartsim::ParseWireFault(kind);
    if (!fault || wCmd > 0xFF || nCount < 0)
    {
        if (pError != NULL)
            *pError = !fault ? "unknown fault '" + kind + "'" : "bad command or count";
        return false;
    }
    Guard guard;
    g_faults.plan.Queue(static_cast<uint8_t>(wCmd), *fault, nCount);
    return true;
}
