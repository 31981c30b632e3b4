#include "model/pro_delay_sender.h"

#include "core/debug_logs.h"
#include "corlane/fstr.h"
#include "model/model_log.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "platform/clock.h"

#include <cstring>
#include <sys/prctl.h>

using qz::vok::fstr_format;

namespace {
constexpr auto kPauseSpinMargin = std::chrono::microseconds(500);
}

CQelProDelaySender::CQelProDelaySender() = default;

CQelProDelaySender::~CQelProDelaySender()
{
    Stop();
}

void CQelProDelaySender::Start()
{
    if (thread_.joinable())
        return;
    queue_.Init();
    thread_ = std::thread([this] { Run(); });
}

void CQelProDelaySender::Stop()
{
    {
        std::lock_guard guard(lock_);
        if (stopRequested_)
            return;
        stopRequested_ = true;
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    if (const uint32_t dropped = queue_.Count())
        LogModelWarning(fstr_format("paced sender stopped: %u queued commands dropped", dropped));
}

bool CQelProDelaySender::Enqueue(std::string_view text, int32_t type)
{
    if (text.empty())
        return true;
    if (text.size() > CQelCmdQueue::kSlotSize) {
        LogModelError(fstr_format("command of %zu bytes not queued: a command holds at most %u", text.size(),
                                  CQelCmdQueue::kSlotSize));
        return false;
    }
    {
        // Held across the push so an observer sees pushes in queue order.
        std::lock_guard observing(observerLock_);
        if (!queue_.Push(text.data(), static_cast<uint32_t>(text.size()), type)) {
            LogModelWarning("command queue full: command dropped");
            return false;
        }
        if (observer_)
            observer_(text, type);
    }
    // Passing through the sender's lock orders this push before the
    // thread's next look at the queue, so the wake-up cannot be lost.
    {
        std::lock_guard guard(lock_);
    }
    wake_.notify_one();
    return true;
}

void CQelProDelaySender::SetPushObserver(PushObserver observer)
{
    std::lock_guard observing(observerLock_);
    observer_ = std::move(observer);
}

void CQelProDelaySender::Run()
{
    // The pauses set the link's pace: wake from them without the kernel's
    // default 50 us of timer slack.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::unique_lock guard(lock_);
    // The start wait gives way to a stop, so a processor made and dropped
    // at once does not hold its destructor up.
    if (platform::WaitFor(wake_, guard, std::chrono::milliseconds(kStartDelayMs), [this] { return stopRequested_; }))
        return;
    for (;;) {
        wake_.wait(guard, [this] { return stopRequested_ || queue_.Count() > 0; });
        if (stopRequested_)
            return;
        // Enqueuers never wait for a drain: the lock is free while it runs.
        guard.unlock();
        Drain();
        guard.lock();
    }
}

void CQelProDelaySender::Drain()
{
    uint32_t length = 0;
    int32_t type = 0;
    while (!stopping_ && queue_.Pop(popBuffer_, length, type) == 0) {
        written_.reset();
        Send(popBuffer_, length, type);
        if (type != CQelCmdQueue::kEchoed && !stopping_)
            Pause(pauseMs_.load(), written_.value_or(platform::Now()));
    }
}

void CQelProDelaySender::Pause(unsigned ms, platform::TimePoint from)
{
    // A sleep overshoots by the system's wake-up latency, which over a long
    // command list adds up to more than the pauses' own error: sleep most of
    // the pause and yield through the rest until the full time has passed.
    const platform::TimePoint end = from + std::chrono::milliseconds(ms);
    const platform::Duration left = end - platform::Now();
    if (left > kPauseSpinMargin)
        platform::SleepFor(left - kPauseSpinMargin);
    while (platform::Now() < end)
        std::this_thread::yield();
}

void CQelProDelaySender::Send(const char* data, uint32_t length, int32_t type)
{
    std::memcpy(sendBuffer_, data, length);
    sendBuffer_[length] = '\0';
    // The command ends at its first NUL, as the device would read it.
    const std::string_view text(sendBuffer_, std::strlen(sendBuffer_));
    if (!owner_)
        return;
    if (type != CQelCmdQueue::kEchoed) {
        written_ = owner_->link().ChannelSendWritten(text);
        return;
    }
    if (!owner_->link().SendCommand(text)) {
        WriteSenderErrorLog("***");
        WriteSenderErrorLog(std::string(text));
    }
}
