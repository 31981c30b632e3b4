#pragma once
// The one clock and sleeper of the program: every wait, pause, poll and
// time-out reads and sleeps through here, so tests can run the production
// durations with time scaled down or stepped by hand.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>

namespace platform {

using Duration = std::chrono::steady_clock::duration;
using TimePoint = std::chrono::steady_clock::time_point;

class Clock {
public:
    virtual ~Clock() = default;

    // Steady time; never the wall clock.
    virtual TimePoint Now() = 0;
    // Returns once at least `d` has passed on this clock; `d` <= 0 only yields.
    virtual void SleepFor(Duration d) = 0;
    // With `lock` held on entry and on return: waits on `cv` until `pred`
    // holds or this clock reaches `deadline`, and returns `pred()`.
    virtual bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, TimePoint deadline,
                           const std::function<bool()>& pred) = 0;
    // The real time that `d` of this clock lasts, for timers of libraries
    // that keep their own time (asio, Qt).
    virtual Duration RealDuration(Duration d) = 0;
};

// The real steady clock.
class SteadyClock : public Clock {
public:
    TimePoint Now() override;
    void SleepFor(Duration d) override;
    bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, TimePoint deadline,
                   const std::function<bool()>& pred) override;
    Duration RealDuration(Duration d) override;
};

// Runs `speedup` times faster than real time: a 2 s wait lasts 2 s / speedup.
// Whole factors keep the arithmetic exact, so a sleep of d always shows at
// least d passed on this clock.
class ScaledClock : public Clock {
public:
    explicit ScaledClock(int64_t speedup);
    TimePoint Now() override;
    void SleepFor(Duration d) override;
    bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, TimePoint deadline,
                   const std::function<bool()>& pred) override;
    Duration RealDuration(Duration d) override;

private:
    std::chrono::steady_clock::time_point ToReal(TimePoint t) const;

    const int64_t speedup_;
    const std::chrono::steady_clock::time_point origin_;
};

// Time moves only when the test calls Advance; sleepers and timed waits block
// until it has moved far enough.
class SteppedClock : public Clock {
public:
    SteppedClock();
    TimePoint Now() override;
    void SleepFor(Duration d) override;
    bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, TimePoint deadline,
                   const std::function<bool()>& pred) override;
    Duration RealDuration(Duration d) override;

    void Advance(Duration d);

    // Waits in real time, at most `timeout`, until some thread sleeps or
    // waits on this clock until exactly `end`; false if none did. A sleeper
    // fixes its end from the time it starts, so a test steps time only once
    // the sleeper it means is in place.
    bool WaitForSleeper(TimePoint end, std::chrono::milliseconds timeout);

private:
    // With mutex_ held: notes the end of a sleep or timed wait under way.
    std::multiset<TimePoint>::iterator EnterSleep(TimePoint end);

    std::mutex mutex_;
    std::condition_variable moved_;
    std::condition_variable sleepersChanged_;
    TimePoint now_;
    std::multiset<TimePoint> ends_; // of the sleeps and timed waits under way
};

// The process-wide clock: the steady clock unless a test installed another.
Clock& GetClock();
// Installs `clock` for the whole process (nullptr restores the steady clock)
// and returns the one it replaces. Only while no other thread uses the clock.
Clock* SetClock(Clock* clock);

// Installs a clock for one scope.
class ScopedClock {
public:
    explicit ScopedClock(Clock& clock) : previous_(SetClock(&clock)) {}
    ~ScopedClock() { SetClock(previous_); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* previous_;
};

inline TimePoint Now()
{
    return GetClock().Now();
}
inline void SleepFor(Duration d)
{
    GetClock().SleepFor(d);
}

// Waits on `cv` for at most `timeout` of the process clock; returns `pred()`.
template <class Pred>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, Duration timeout, Pred pred)
{
    Clock& clock = GetClock();
    return clock.WaitUntil(cv, lock, clock.Now() + timeout, std::function<bool()>(pred));
}

// Whole milliseconds of the process clock since `since`.
inline int64_t MillisSince(TimePoint since)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Now() - since).count();
}

} // namespace platform
