#pragma once
// A window as the jobs see it: called on the job's thread, it notes the
// thread and hands the values to the UI thread by a queued call. A headless
// UI thread stands in for the frame's timer and delivers events too.
#include "core/event_pump.h"
#include "model/job_progress.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class HeadlessUi {
public:
    HeadlessUi() : thread_([this] { Run(); }) {}
    ~HeadlessUi()
    {
        Post({});
        thread_.join();
    }
    // An empty call ends the thread.
    void Post(std::function<void()> call)
    {
        std::lock_guard guard(mutex_);
        calls_.push_back(std::move(call));
        wake_.notify_all();
    }
    std::thread::id Id() const { return thread_.get_id(); }

private:
    void Run()
    {
        for (;;) {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::milliseconds(5), [this] { return !calls_.empty(); });
            std::deque<std::function<void()>> calls;
            calls.swap(calls_);
            lock.unlock();
            for (auto& call : calls) {
                if (!call)
                    return;
                call();
            }
            PumpEvents();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> calls_;
    std::thread thread_; // last: runs on the members above
};

// (step, steps, sub, subs) or (done, total).
using Report = std::vector<int>;

class Receiver : public IResetProgress, public IIOSDSendingProgress, public IOSDSavingProgress {
public:
    explicit Receiver(HeadlessUi& ui) : ui_(ui) {}

    void OnProgress(int step, int steps, int sub, int subs) override { Take({step, steps, sub, subs}); }
    void OnProgress(int done, int total) override { Take({done, total}); }

    template <class I>
    ReceiverPtr<I> Handle()
    {
        return CReceiverHandle<I>::Make(this);
    }
    std::vector<std::thread::id> Threads() const
    {
        std::lock_guard guard(mutex_);
        return threads_;
    }
    // What reached the UI thread.
    std::vector<Report> Seen() const
    {
        std::lock_guard guard(state_->mutex);
        return state_->seen;
    }
    // Waits (real time) until `done` holds for what reached the UI thread.
    bool WaitUntil(const std::function<bool(const std::vector<Report>&)>& done) const
    {
        std::unique_lock lock(state_->mutex);
        return state_->changed.wait_for(lock, std::chrono::seconds(60), [&] { return done(state_->seen); });
    }
    bool WaitForCount(size_t count) const
    {
        return WaitUntil([count](const auto& seen) { return seen.size() >= count; });
    }
    bool WaitForLast(const Report& last) const
    {
        return WaitUntil([&](const auto& seen) { return !seen.empty() && seen.back() == last; });
    }

private:
    struct UiState {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<Report> seen;
    };

    void Take(Report report)
    {
        {
            std::lock_guard guard(mutex_);
            threads_.push_back(std::this_thread::get_id());
        }
        // The queued call may outlive this receiver, never the state it adds to.
        ui_.Post([state = state_, report = std::move(report)] {
            std::lock_guard guard(state->mutex);
            state->seen.push_back(report);
            state->changed.notify_all();
        });
    }

    HeadlessUi& ui_;
    std::shared_ptr<UiState> state_ = std::make_shared<UiState>();
    mutable std::mutex mutex_;
    std::vector<std::thread::id> threads_;
};

// Waits (real time) for the processor to become idle.
template <class Processor>
bool WaitIdle(Processor& processor)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (processor.GetJobState() != 0) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
