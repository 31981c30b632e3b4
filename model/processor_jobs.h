#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/job_progress.h"
#include "model/processor.h"

struct tagOSD_DATA_EX_S;
struct tagOSD_DATA_EX2_S;
namespace request {
struct Args; // model/requests.h
}

// A processor's request gate and its long jobs (reset, input OSD transfer,
// OSD save): the request methods that pass through the gate, the job state,
// the threads the jobs run on, and their stop. The requests' command texts
// are ProcessorRequests'; the job threads' start is the processor's.
class ProcessorJobs {
public:
    explicit ProcessorJobs(CQelProcessor& owner);
    ~ProcessorJobs();
    ProcessorJobs(const ProcessorJobs&) = delete;
    ProcessorJobs& operator=(const ProcessorJobs&) = delete;

    // The one entry of operator requests: codes 0 to 37 run their sender
    // (or start a job) unless the running job forbids them; 1000 to 1002 end
    // the reset, the input OSD transfer and the OSD save. 1 when refused,
    // else the request's result.
    int Dispatch(int code);
    int Dispatch(int code, const request::Args& args);
    int32_t GetJobState() const;
    void StopJobs();
    // Waits `ms` of the process clock; false as soon as the jobs are asked
    // to stop.
    bool JobPause(uint32_t ms);

    // The request methods: each passes its arguments to Dispatch and
    // returns its result.
    int StatusQueryRequest();
    int SetNetworkRequest(const std::string& address, const std::string& port);
    int SetOutputTimingRequest(uint32_t resolutionId);
    int SetTestPatternRequest(uint32_t outputId, int pattern, uint32_t colour);
    int StartReset(ReceiverPtr<IResetProgress> receiver);
    int SetClockRequest(int a, int b, int c, int d, int e, int f);
    int SendOsdBufferRequest(const std::vector<std::string>& lines, int group, uint32_t delayMs, IProgress* receiver);
    int QueueCommandListRequest(const std::vector<std::string>& lines);
    int SwitchDisplayModeRequest(const std::vector<std::string>& lines, int mode, IProgress* receiver);
    // Writes the step count to `steps` when the save starts.
    int StartOsdPosition(int first, int second, ReceiverPtr<IOSDSavingProgress> receiver, int& steps, int side);
    int QueryIpRequest();
    int QueryPortRequest();
    int QuerySubnetMaskRequest();
    int QueryGatewayRequest();
    int QueryIp2Request();
    int QueryPort2Request();
    int QuerySubnetMask2Request();
    int QueryGateway2Request();
    int StartSendInputOsd(int unused, ReceiverPtr<IIOSDSendingProgress> receiver, const std::vector<uint32_t>& keys);
    int SendOsdImageRequest(int unused, IProgress* receiver, std::shared_ptr<const tagOSD_DATA_EX_S> item);
    int ProgramEdidRequest(uint32_t inputId, int choice);
    int SetFreezeRequest(int on);
    // 1 when the device confirmed the recall, 0 when not; a refusal also
    // gives 1.
    int RecallPreset(int preset);
    int SetOutputBoardColor(uint8_t red, uint8_t green, uint8_t blue);
    int SetTimeOsdRequest(const tagOSD_DATA_EX2_S& item);
    int EnableAllTimeRequest(int on);
    int SetSubnetMaskRequest(const std::string& mask);
    int SetGatewayRequest(const std::string& gateway);
    int SetNetwork2Request(const std::string& address, const std::string& port);
    int SetSubnetMask2Request(const std::string& mask);
    int SetGateway2Request(const std::string& gateway);
    int SendRaw(const std::string& text);

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
