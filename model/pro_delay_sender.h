#pragma once
#include "model/cmd_queue.h"
#include "platform/clock.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

class CQelProcessor;

// A processor's paced sender: one thread that drains the processor's command
// queue onto its link, pausing after each paced command (25 ms on TCP, 40 ms
// on a serial line, from the moment the link wrote it) and sending echoed
// commands through the wait for the device's echo instead.
class CQelProDelaySender {
public:
    static constexpr unsigned kSerialPauseMs = 40;
    static constexpr unsigned kTcpPauseMs = 25;
    static constexpr unsigned kStartDelayMs = 100;

    CQelProDelaySender();
    virtual ~CQelProDelaySender();

    CQelProDelaySender(const CQelProDelaySender&) = delete;
    CQelProDelaySender& operator=(const CQelProDelaySender&) = delete;

    // Set before Start; the processor outlives the thread.
    void SetOwner(CQelProcessor* owner) { owner_ = owner; }
    // Allocates the queue and starts the thread.
    void Start();
    // Ends the thread after the command in hand; what is still queued is
    // dropped with one log line. Safe to call again.
    void Stop();

    // Queues one command and wakes the thread. An empty text is accepted and
    // not queued; a text longer than a slot, or a full queue, is refused and
    // logged.
    bool Enqueue(std::string_view text, int32_t type);

    // Tests watch every accepted push here, in queue order, without racing
    // the thread that drains the queue. Called on the pushing thread.
    using PushObserver = std::function<void(std::string_view text, int32_t type)>;
    void SetPushObserver(PushObserver observer);
    // Drops the queued echoed commands (a new command list replaces them).
    void RemoveEchoed() { queue_.RemoveType2(); }
    uint32_t GetQueuedCount() const { return queue_.Count(); }

    void SetPause(unsigned ms) { pauseMs_.store(ms); }
    unsigned GetPause() const { return pauseMs_.load(); }

protected:
    // Sends one popped command: paced ones straight onto the link, echoed
    // ones through the echo wait, logging those that fail.
    virtual void Send(const char* data, uint32_t length, int32_t type);

private:
    void Run();
    void Drain();
    // Returns once the process clock shows `ms` passed since `from`, and not
    // much later.
    void Pause(unsigned ms, platform::TimePoint from);

    CQelProcessor* owner_ = nullptr;
    CQelCmdQueue queue_;
    std::atomic<unsigned> pauseMs_{kSerialPauseMs};

    std::mutex lock_;
    std::condition_variable wake_;
    bool stopRequested_ = false; // guarded by lock_
    std::atomic<bool> stopping_{false};
    std::thread thread_;

    std::mutex observerLock_;
    PushObserver observer_; // guarded by observerLock_

    // Owned by the sender thread only.
    // When the link wrote the last paced command: its pause runs from then,
    // so a write that runs late does not shorten the gap on the wire.
    std::optional<platform::TimePoint> written_;
    char popBuffer_[CQelCmdQueue::kSlotSize];
    char sendBuffer_[CQelCmdQueue::kSlotSize + 1];
};
