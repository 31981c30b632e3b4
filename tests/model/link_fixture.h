#pragma once
// A processor wired to the processor simulator through a recording channel,
// with the process clock swapped for the test's.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/progress.h"
#include "platform/clock.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/scoped_setting.h"

class CQelProcessor;
class CRecordingChannel;

using namespace std::chrono_literals;

// Points the processor's TCP connection at a port on loopback.
void PointAtLoopback(CQelProcessor& processor, uint16_t port);

// Moves a stepped clock on, 10 ms at a time, on a thread of its own for as
// long as it lives: lets time flow again after a test held it still, for
// the paced sender and the sleepers to finish before tear-down.
class ClockPump {
public:
    explicit ClockPump(platform::SteppedClock& clock);
    ~ClockPump();

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class LinkFixture {
public:
    // `made`, when given, is the processor to wire (a test's own subclass).
    LinkFixture(platform::Clock& clock, int32_t kind, uint8_t netType, std::shared_ptr<CQelProcessor> made = nullptr);
    ~LinkFixture();

    // Waits (in real time) for `count` lines at the simulator and returns them.
    std::vector<std::string> Lines(size_t count);

    // Sends a marker after what a request sent (queued, or straight onto the
    // link) and takes every line before it; nothing when the request sent
    // nothing.
    std::vector<std::string> SentBefore(bool queued = true);

    ProcessorSimulator simulator;
    std::shared_ptr<CRecordingChannel> channel;
    std::shared_ptr<CQelProcessor> processor;

private:
    platform::ScopedClock scoped_;
    ScopedSetting<std::atomic<uint8_t>> netType_;
};

// Keeps every report a job makes.
class RecordingProgress : public IProgress {
public:
    void OnProgress(int done, int total) override;
    std::vector<std::pair<int, int>> reports;
};

// The time between each two neighbours of things stamped with `at`.
template <class Stamped>
std::vector<platform::Duration> Gaps(const std::vector<Stamped>& items)
{
    std::vector<platform::Duration> gaps;
    for (size_t i = 1; i < items.size(); ++i)
        gaps.push_back(items[i].at - items[i - 1].at);
    return gaps;
}

std::string Separator();
