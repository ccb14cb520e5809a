// The waits of a real link (LinkWait.h).
#include <StandinBase.h>

#include "LinkWait.h"

namespace hartsecomm
{

ExchangeClock::ExchangeClock(DWORD dwLimit) : end_(::GetTickCount64() + dwLimit) {}

DWORD ExchangeClock::Left() const
{
    const ULONGLONG now = ::GetTickCount64();
    return now >= end_ ? 0 : static_cast<DWORD>(end_ - now);
}

namespace
{
thread_local const std::atomic<bool>* t_stop = nullptr;
} // namespace

bool Stopping(const std::atomic<bool>& abort)
{
    return abort || StandinIsCancelled() || (t_stop != nullptr && *t_stop);
}

StopScope::StopScope(const std::atomic<bool>& stop) : outer_(t_stop)
{
    t_stop = &stop;
}

StopScope::~StopScope()
{
    t_stop = outer_;
}

bool Pause(DWORD dwMilliseconds, const std::atomic<bool>& abort)
{
    const ExchangeClock clock(dwMilliseconds);
    while (!Stopping(abort))
    {
        const DWORD dwLeft = clock.Left();
        if (dwLeft == 0)
            return true;
        if (StandinWaitCancelled(dwLeft < kWaitSlice ? dwLeft : kWaitSlice))
            return false;
    }
    return false;
}

void TraceEvent(const std::string& line)
{
    StandinTrace(line.c_str());
}

bool LinkTurn::Take(const ExchangeClock& clock, const std::atomic<bool>& abort)
{
    while (!TryTake())
    {
        if (clock.Over() || !Pause(1, abort))
            return false;
    }
    return true;
}

void LinkTurn::TakeWhenFree()
{
    while (!TryTake())
        ::Sleep(1);
}

} // namespace hartsecomm
