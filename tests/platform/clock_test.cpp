#include <gtest/gtest.h>

#include <thread>

#include "platform/clock.h"

using namespace std::chrono_literals;
using platform::Duration;

namespace {

Duration RealSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::steady_clock::now() - start;
}

} // namespace

TEST(Clock, ScaledClockRunsFasterWithoutLosingTheLowerBound)
{
    platform::ScaledClock clock(100);
    const auto start = std::chrono::steady_clock::now();
    const auto t0 = clock.Now();
    clock.SleepFor(20s); // 200 ms of real time
    const Duration real = RealSince(start);
    EXPECT_GE(clock.Now() - t0, 20s);
    EXPECT_GE(real, 200ms);
    // Scaled at all: only a machine stalled for most of 20 s would miss this.
    EXPECT_LT(real, 20s);

    // Odd durations round the real wait up, never down.
    for (Duration d : {Duration(1), Duration(99), Duration(101), Duration(1234567)}) {
        const auto before = clock.Now();
        clock.SleepFor(d);
        EXPECT_GE(clock.Now() - before, d);
        EXPECT_GE(clock.RealDuration(d) * 100, d);
    }

    std::mutex m;
    std::condition_variable cv;
    std::unique_lock lock(m);
    const auto t1 = clock.Now();
    EXPECT_FALSE(clock.WaitUntil(cv, lock, t1 + 1s, [] { return false; }));
    EXPECT_GE(clock.Now() - t1, 1s);
}

TEST(Clock, SteppedClockMovesOnlyWhenAdvanced)
{
    platform::SteppedClock clock;
    const auto t0 = clock.Now();
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(clock.Now(), t0);
    clock.Advance(1500ms);
    EXPECT_EQ(clock.Now() - t0, 1500ms);

    // A sleeper wakes only once the clock has passed its end.
    std::atomic<bool> woke{false};
    const auto end = clock.Now() + 100ms;
    std::thread sleeper([&] {
        clock.SleepFor(100ms);
        woke = true;
    });
    EXPECT_TRUE(clock.WaitForSleeper(end, 20s));
    EXPECT_FALSE(clock.WaitForSleeper(end - 1ns, 0ms));
    std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(woke.load());
    clock.Advance(99ms);
    std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(woke.load());
    clock.Advance(1ms);
    const auto giveUp = std::chrono::steady_clock::now() + 20s;
    while (!woke.load() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(woke.load());
    clock.Advance(1h); // never leave the sleeper behind, even on failure
    sleeper.join();
    EXPECT_FALSE(clock.WaitForSleeper(end, 0ms)); // none left

    // A timed wait ends once the clock is stepped to its deadline.
    std::mutex m;
    std::condition_variable cv;
    std::atomic<bool> timedOut{false};
    const auto deadline = clock.Now() + 50ms; // fixed before the step below
    std::thread waiter([&] {
        std::unique_lock lock(m);
        timedOut = !clock.WaitUntil(cv, lock, deadline, [] { return false; });
    });
    clock.Advance(50ms);
    waiter.join();
    EXPECT_TRUE(timedOut.load());
}

TEST(Clock, ProcessClockIsReplaceableForOneScope)
{
    platform::Clock& steady = platform::GetClock();
    platform::SteppedClock stepped;
    {
        platform::ScopedClock scope(stepped);
        EXPECT_EQ(&platform::GetClock(), &stepped);
        const auto t0 = platform::Now();
        stepped.Advance(2001ms);
        EXPECT_EQ(platform::MillisSince(t0), 2001);
    }
    EXPECT_EQ(&platform::GetClock(), &steady);
}
