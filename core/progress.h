#pragma once
#include <atomic>

// Receiver of a long job's progress. The integer is set and read by the
// job's starter (which job, or how far); reports come from the job's thread.
class IProgress {
public:
    virtual ~IProgress() = default;

    virtual int SetProgress(int value)
    {
        progress_ = value;
        return value;
    }
    virtual int GetProgress() { return progress_; }
    virtual void OnProgress(int done, int total) = 0;

private:
    std::atomic<int> progress_{0};
};
