// Waiting out wire time on the device's side.
#pragma once

#include <chrono>
#include <thread>

namespace xmtrd
{

inline void Pace(std::chrono::microseconds duration)
{
    if (duration.count() > 0)
        std::this_thread::sleep_for(duration);
}

} // namespace xmtrd
