#include "platform/clock.h"

#include <atomic>
#include <thread>

namespace platform {

namespace {

using Real = std::chrono::steady_clock;

// A whole number of real ticks that lasts at least d / speedup.
Duration DivideUp(Duration d, int64_t speedup)
{
    if (d <= Duration::zero()) {
        return d / speedup;
    }
    return Duration((d.count() + speedup - 1) / speedup);
}

SteadyClock& Steady()
{
    static SteadyClock clock;
    return clock;
}

std::atomic<Clock*> g_clock{nullptr};

} // namespace

TimePoint SteadyClock::Now()
{
    return Real::now();
}

void SteadyClock::SleepFor(Duration d)
{
    if (d <= Duration::zero()) {
        std::this_thread::yield();
        return;
    }
    // sleep_for may wake early on some systems; keep the lower bound.
    const TimePoint end = Real::now() + d;
    for (TimePoint t = Real::now(); t < end; t = Real::now()) {
        std::this_thread::sleep_for(end - t);
    }
}

bool SteadyClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, TimePoint deadline,
                            const std::function<bool()>& pred)
{
    return cv.wait_until(lock, deadline, pred);
}

Duration SteadyClock::RealDuration(Duration d)
{
    return d;
}

ScaledClock::ScaledClock(int64_t speedup) : speedup_(speedup < 1 ? 1 : speedup), origin_(Real::now()) {}

TimePoint ScaledClock::Now()
{
    return origin_ + (Real::now() - origin_) * speedup_;
}

void ScaledClock::SleepFor(Duration d)
{
    if (d <= Duration::zero()) {
        std::this_thread::yield();
        return;
    }
    Steady().SleepFor(DivideUp(d, speedup_));
}

bool ScaledClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, TimePoint deadline,
                            const std::function<bool()>& pred)
{
    return cv.wait_until(lock, ToReal(deadline), pred);
}

Duration ScaledClock::RealDuration(Duration d)
{
    return DivideUp(d, speedup_);
}

Real::time_point ScaledClock::ToReal(TimePoint t) const
{
    return origin_ + DivideUp(t - origin_, speedup_);
}

SteppedClock::SteppedClock() : now_(Real::now()) {}

TimePoint SteppedClock::Now()
{
    std::lock_guard lock(mutex_);
    return now_;
}

std::multiset<TimePoint>::iterator SteppedClock::EnterSleep(TimePoint end)
{
    const auto entry = ends_.insert(end);
    sleepersChanged_.notify_all();
    return entry;
}

void SteppedClock::SleepFor(Duration d)
{
    std::unique_lock lock(mutex_);
    const TimePoint end = now_ + d;
    const auto entry = EnterSleep(end);
    moved_.wait(lock, [&] { return now_ >= end; });
    ends_.erase(entry);
}

bool SteppedClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, TimePoint deadline,
                             const std::function<bool()>& pred)
{
    std::multiset<TimePoint>::iterator entry;
    {
        std::lock_guard guard(mutex_);
        entry = EnterSleep(deadline);
    }
    // The waker notifies the caller's condition, not ours: look at the
    // stepped time between short real waits.
    bool met = pred();
    while (!met && Now() < deadline) {
        cv.wait_for(lock, std::chrono::milliseconds(1));
        met = pred();
    }
    std::lock_guard guard(mutex_);
    ends_.erase(entry);
    return met;
}

bool SteppedClock::WaitForSleeper(TimePoint end, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return sleepersChanged_.wait_for(lock, timeout, [&] { return ends_.count(end) > 0; });
}

Duration SteppedClock::RealDuration(Duration d)
{
    return d;
}

void SteppedClock::Advance(Duration d)
{
    {
        std::lock_guard lock(mutex_);
        now_ += d;
    }
    moved_.notify_all();
}

Clock& GetClock()
{
    Clock* clock = g_clock.load(std::memory_order_acquire);
    return clock ? *clock : Steady();
}

Clock* SetClock(Clock* clock)
{
    Clock* previous = g_clock.exchange(clock, std::memory_order_acq_rel);
    return previous ? previous : &Steady();
}

} // namespace platform
