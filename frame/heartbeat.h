#pragma once
// The UI heartbeat's decisions, apart from the window that runs them: when
// the status poll is due, and what a poll sends.
#include <cstdint>
#include <optional>

// Millisecond ticks of the process clock, wrapping at 32 bits.
uint32_t TickCount();

// The status poll runs when more than 200 ms have passed since the last
// one, measured as an unsigned 32-bit difference so that a wrap of the tick
// count does not stop it. Before the first poll nothing is measured: a
// steady clock may well start near 0, so no tick value can stand for
// "never".
class StatusPollGate {
public:
    static constexpr uint32_t kIntervalMs = 200;

    // True, and `now` noted, when a poll is due at `now`.
    bool ShouldPoll(uint32_t now);
    std::optional<uint32_t> LastPoll() const { return last_; }

private:
    std::optional<uint32_t> last_;
};

// One status poll: the status request to every processor, then, while the
// current processor is connected and knows no source yet, its slot and
// output discovery.
void PollProcessors();
