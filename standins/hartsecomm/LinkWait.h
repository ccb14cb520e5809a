// The waits of a real link. Every one ends early when the worker is being stopped or the link is
// being closed, and no exchange, however the line behaves, outlasts kExchangeLimit: the host stops
// a worker by ending its thread after 10 s, and a worker cut off inside an exchange would leave
// the link's turn taken for good.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

namespace hartsecomm
{

// The longest one exchange may take, retries and a new session included.
constexpr DWORD kExchangeLimit = 6000;
// How often a wait that cannot be woken (a poll for bytes, a select) looks for a stop.
constexpr DWORD kWaitSlice = 20;

// The time left of one exchange (or of one session close).
class ExchangeClock
{
public:
    explicit ExchangeClock(DWORD dwLimit = kExchangeLimit);
    DWORD Left() const;
    bool Over() const { return Left() == 0; }

private:
    ULONGLONG end_;
};

// True when the calling worker is being stopped, the abort flag is set, or the stop flag the
// calling thread is under (StopScope) is set.
bool Stopping(const std::atomic<bool>& abort);

// Puts the calling thread's link waits under a stop flag of its own for the scope's life: a thread
// that is no page's worker (the device search) is stopped this way, inside an exchange too.
class StopScope
{
public:
    explicit StopScope(const std::atomic<bool>& stop);
    ~StopScope();

private:
    StopScope(const StopScope&) = delete;
    void operator=(const StopScope&) = delete;

    const std::atomic<bool>* outer_;
};
// Waits up to dwMilliseconds; false when Stopping became true meanwhile.
bool Pause(DWORD dwMilliseconds, const std::atomic<bool>& abort);

// Writes one of the service's event lines (a JsonLine's text), as the other events go.
void TraceEvent(const std::string& line);

// Whose turn the link is: exchanges from several threads take their turns, as on a shared wire.
// Taking a turn waits in slices, so a worker waiting behind a slow exchange can still be stopped.
class LinkTurn
{
public:
    bool TryTake() { return !taken_.exchange(true); }
    // False when the clock runs out, the worker is being stopped or the abort flag is set first.
    bool Take(const ExchangeClock& clock, const std::atomic<bool>& abort);
    // Waits without a stop: for closing, whose exchanges in progress end within a slice.
    void TakeWhenFree();
    void Give() { taken_ = false; }

private:
    std::atomic<bool> taken_{false};
};

// Gives a taken turn back at the end of a scope.
class HeldTurn
{
public:
    HeldTurn(LinkTurn& turn, bool bTaken) : turn_(turn), taken_(bTaken) {}
    ~HeldTurn()
    {
        if (taken_)
            turn_.Give();
    }
    bool Taken() const { return taken_; }

private:
    HeldTurn(const HeldTurn&) = delete;
    void operator=(const HeldTurn&) = delete;

    LinkTurn& turn_;
    bool taken_;
};

} // namespace hartsecomm
