#include "core/delay.h"

#include <algorithm>

#include "platform/clock.h"

void Delay(uint32_t ms)
{
    using std::chrono::milliseconds;
    const platform::TimePoint start = platform::Now();
    const platform::Duration wanted = milliseconds(ms);
    platform::SleepFor(wanted);
    // A sleep may end early on some clocks; top up until the time is there.
    for (platform::Duration passed = platform::Now() - start; passed < wanted; passed = platform::Now() - start) {
        platform::SleepFor(std::max<platform::Duration>(wanted - passed, milliseconds(1)));
    }
}
