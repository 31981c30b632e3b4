#pragma once
// Receivers of the processor's jobs as the windows implement them: called on
// the job's thread, they keep the values and hand them to the UI thread by a
// queued call. A headless UI thread stands in for the frame's timer.
#include "app/event_pump.h"
#include "model/job_progress.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs queued calls and delivers events as the UI thread does.
class HeadlessUi {
public:
    HeadlessUi() : thread_([this] { Run(); }) {}
    ~HeadlessUi()
    {
        {
            std::lock_guard guard(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    void Post(std::function<void()> call)
    {
        {
            std::lock_guard guard(mutex_);
            calls_.push_back(std::move(call));
        }
        wake_.notify_all();
    }
    std::thread::id Id() const { return thread_.get_id(); }

private:
    void Run()
    {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            while (!calls_.empty()) {
                auto call = std::move(calls_.front());
                calls_.pop_front();
                lock.unlock();
                call();
                lock.lock();
            }
            lock.unlock();
            PumpEvents();
            lock.lock();
            wake_.wait_for(lock, std::chrono::milliseconds(5));
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> calls_;
    bool stop_ = false;
    std::thread thread_; // last: runs on the members above
};

// What the UI side saw: the values, and the thread each report came on.
template <class Values>
class ReportLog {
public:
    void Add(const Values& values)
    {
        {
            std::lock_guard guard(mutex_);
            values_.push_back(values);
        }
        changed_.notify_all();
    }
    std::vector<Values> Get() const
    {
        std::lock_guard guard(mutex_);
        return values_;
    }
    // Waits (real time) until `done` holds for the reports.
    template <class Pred>
    bool WaitUntil(Pred done, std::chrono::seconds timeout = std::chrono::seconds(60)) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return done(values_); });
    }
    bool WaitForCount(size_t count) const
    {
        return WaitUntil([count](const std::vector<Values>& v) { return v.size() >= count; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Values> values_;
};

struct StepReport {
    int step, steps, sub, subs;
    friend bool operator==(const StepReport&, const StepReport&) = default;
};
struct SaveReport {
    int done, total;
    friend bool operator==(const SaveReport&, const SaveReport&) = default;
};

// The signal-source pane (reset) and the input OSD dialog (transfer): keep
// the four values, then post them on.
template <class Interface>
class StepReceiver : public Interface {
public:
    explicit StepReceiver(HeadlessUi& ui) : ui_(ui) {}
    void OnProgress(int step, int steps, int sub, int subs) override
    {
        {
            std::lock_guard guard(mutex_);
            threads_.push_back(std::this_thread::get_id());
            last_ = {step, steps, sub, subs};
        }
        ui_.Post([log = log_, report = StepReport{step, steps, sub, subs}] { log->Add(report); });
    }
    std::vector<std::thread::id> Threads() const
    {
        std::lock_guard guard(mutex_);
        return threads_;
    }

    // What the UI thread got.
    const ReportLog<StepReport>& Seen() const { return *log_; }

private:
    HeadlessUi& ui_;
    std::shared_ptr<ReportLog<StepReport>> log_ = std::make_shared<ReportLog<StepReport>>();
    mutable std::mutex mutex_;
    std::vector<std::thread::id> threads_;
    StepReport last_{};
};

using ResetReceiver = StepReceiver<IResetProgress>;
using TransferReceiver = StepReceiver<IIOSDSendingProgress>;

// The wall view and the input OSD dialog as OSD save receivers.
class SaveReceiver : public IOSDSavingProgress {
public:
    explicit SaveReceiver(HeadlessUi& ui) : ui_(ui) {}
    void OnProgress(int done, int total) override
    {
        {
            std::lock_guard guard(mutex_);
            threads_.push_back(std::this_thread::get_id());
        }
        ui_.Post([log = log_, report = SaveReport{done, total}] { log->Add(report); });
    }
    std::vector<std::thread::id> Threads() const
    {
        std::lock_guard guard(mutex_);
        return threads_;
    }

    const ReportLog<SaveReport>& Seen() const { return *log_; }

private:
    HeadlessUi& ui_;
    std::shared_ptr<ReportLog<SaveReport>> log_ = std::make_shared<ReportLog<SaveReport>>();
    mutable std::mutex mutex_;
    std::vector<std::thread::id> threads_;
};

// Waits (real time) for the processor to become idle.
template <class Processor>
bool WaitIdle(Processor& processor, std::chrono::seconds timeout = std::chrono::seconds(60))
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (processor.GetJobState() != 0) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
