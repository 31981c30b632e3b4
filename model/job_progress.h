#pragma once
#include <atomic>
#include <memory>
#include <mutex>

#include "core/progress.h"
#include "model/receiver_ptr.h"

// Receivers of the processor's long jobs. They are called on the job's
// thread and hand the values on to their window by a queued call.
class IResetProgress {
public:
    virtual ~IResetProgress() = default;
    virtual void OnProgress(int step, int steps, int sub, int subs) = 0;
};

class IIOSDSendingProgress {
public:
    virtual ~IIOSDSendingProgress() = default;
    virtual void OnProgress(int step, int steps, int sub, int subs) = 0;
};

class IOSDSavingProgress {
public:
    virtual ~IOSDSavingProgress() = default;
    virtual void OnProgress(int done, int total) = 0;
};

// How a job holds its receiver. A window closed while a job still runs
// revokes the handle; a call already in progress finishes first, and the
// receiver is never called after Revoke returns.
template <class I>
class CReceiverHandle {
public:
    explicit CReceiverHandle(I* receiver) : receiver_(receiver) {}
    CReceiverHandle(const CReceiverHandle&) = delete;
    CReceiverHandle& operator=(const CReceiverHandle&) = delete;

    static std::shared_ptr<CReceiverHandle> Make(I* receiver) { return std::make_shared<CReceiverHandle>(receiver); }

    // Calls `call(receiver)` unless revoked; false when nothing was called.
    template <class Call>
    bool Invoke(Call&& call)
    {
        // Recursive: a receiver may revoke itself from inside its report.
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        if (!receiver_)
            return false;
        call(*receiver_);
        return true;
    }

    void Revoke()
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        receiver_ = nullptr;
    }

    bool IsRevoked() const
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        return receiver_ == nullptr;
    }

private:
    mutable std::recursive_mutex mutex_;
    I* receiver_;
};

// Lets a job pass its step-wise receiver to a sequence that reports plain
// (done, total) progress: the sequence's report becomes the receiver's
// (step, steps, done, total).
template <class I>
class CResetProgressBridge : public IProgress {
public:
    void SetReceiver(ReceiverPtr<I> receiver)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        receiver_ = std::move(receiver);
    }
    ReceiverPtr<I> GetReceiver() const
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return receiver_;
    }
    void SetStep(int step) { step_.store(step); }
    int GetStep() const { return step_.load(); }
    void SetSteps(int steps) { steps_.store(steps); }
    int GetSteps() const { return steps_.load(); }

    void OnProgress(int sub, int subs) override
    {
        const auto receiver = GetReceiver();
        const int step = step_.load();
        const int steps = steps_.load();
        if (receiver)
            receiver->Invoke([&](I& r) { r.OnProgress(step, steps, sub, subs); });
    }

private:
    mutable std::mutex mutex_;
    ReceiverPtr<I> receiver_;
    std::atomic<int> step_{0};
    std::atomic<int> steps_{0};
};
