#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "model/job_progress.h"
#include "model/processor.h"

// A processor's request gate and its long jobs (reset, input OSD transfer,
// OSD save): the job state, the threads the jobs run on, and their stop.
// The requests themselves and the job threads' start are the processor's.
class ProcessorJobs {
public:
    explicit ProcessorJobs(CQelProcessor& owner);
    ~ProcessorJobs();
    ProcessorJobs(const ProcessorJobs&) = delete;
    ProcessorJobs& operator=(const ProcessorJobs&) = delete;

    int Dispatch(int code, const request::Args& args);
    int32_t GetJobState() const;
    void StopJobs();
    // Waits `ms` of the process clock; false as soon as the jobs are asked
    // to stop.
    bool JobPause(uint32_t ms);

private:
    int RunRequest(int code, const request::Args& args);
    int StartJob(int code, const request::Args& args);
    int CompleteJob(int code, const request::Args& args);
    void ResetJob();
    void InputOsdTransferJob(const std::vector<uint32_t>& keys);
    // True when the device reported the OSD saved.
    bool OsdSaveJob(int first, int second, int side, const std::shared_ptr<std::atomic<int>>& status);
    bool JobsStopping() const;
    // Sends the lines the input OSD store encodes for one item, one line at
    // a time; 1 when a line was not confirmed.
    int SendOsdImage(IProgress* receiver, const tagOSD_DATA_EX_S& item);

    CQelProcessor& owner_;

    mutable std::mutex jobMutex_; // the job state and the OSD save receiver
    int32_t jobState_ = CQelProcessor::kJobIdle;
    ReceiverPtr<IOSDSavingProgress> osdSaveReceiver_;
    CResetProgressBridge<IResetProgress> resetBridge_;
    CResetProgressBridge<IIOSDSendingProgress> transferBridge_;

    // A job's thread, with the flag it sets as its last act.
    struct JobThread {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    std::mutex threadMutex_; // the job threads; never taken under jobMutex_
    // The running job's thread and those of completed jobs, which may still
    // run what follows their completion (the reset's discovery): a new job
    // does not wait for them.
    std::vector<JobThread> jobThreads_;
    bool startsRefused_ = false; // guarded by threadMutex_; set by StopJobs

    mutable std::mutex stopMutex_;
    std::condition_variable stopWake_;
    bool stopRequested_ = false; // guarded by stopMutex_
};
