// The processor's three long jobs (reset, input OSD transfer, OSD save):
// how they start on a thread of their own, what they do, and how shut-down
// stops them.
#include "model/processor_jobs.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_requests.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "core/debug_logs.h"
#include "core/event_signals.h"
#include "corlane/fstr.h"
#include "model/input_osd.h"
#include "model/model_log.h"
#include "model/osd_item.h"
#include "model/processor_settings.h"
#include "model/requests.h"
#include "model/sig_src.h"

using qz::vok::fstr_format;

namespace {

constexpr char kSeparator[] = "\r\n----------------------------------------\r\n";
constexpr char kResetAddress[] = "192.168.1.100";
constexpr char kResetPort[] = "8978";

constexpr uint32_t kResetStartWaitMs = 1;
constexpr uint32_t kJobStartWaitMs = 500;
constexpr uint32_t kOsdSaveFirstPollWaitMs = 100;
constexpr uint32_t kOsdSavePollGapMs = 1000;
constexpr int64_t kOsdSaveTimeoutMs = 50000;
constexpr int kOsdStatusPending = 4;
constexpr int kOsdStatusSaved = 3;

// Display modes a reset clears: one per preset of the model.
int ResetStepsOf(int32_t kind)
{
    switch (kind) {
    case 4:
    case 7: return 10;
    case 8:
    case 9:
    case 10: return 4;
    default: return 0;
    }
}

// The device lines of an encoded OSD item: its CR LF ended pieces.
std::vector<std::string> PayloadLines(const std::vector<uint8_t>& payload)
{
    std::vector<std::string> lines;
    const std::string text(payload.begin(), payload.end());
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        const size_t next = end == std::string::npos ? text.size() : end + 2;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

// No encoding of an item is known yet, so nothing goes to the device; the
// log says so rather than leaving a silent gap.
void LogEmptyPayload(const std::string& which)
{
    WriteDebugLog("OSD item " + which + ": no encoded payload, nothing sent\r\n");
}

} // namespace

// ---- Starting and stopping -------------------------------------------------

ProcessorJobs::ProcessorJobs(CQelProcessor& owner) : owner_(owner) {}

ProcessorJobs::~ProcessorJobs() = default;

bool ProcessorJobs::JobsStopping() const
{
    std::lock_guard<std::mutex> guard(stopMutex_);
    return stopRequested_;
}

bool ProcessorJobs::JobPause(uint32_t ms)
{
    const platform::TimePoint deadline = platform::Now() + std::chrono::milliseconds(ms);
    std::unique_lock<std::mutex> lock(stopMutex_);
    while (!stopRequested_) {
        if (platform::Now() >= deadline)
            return true;
        platform::GetClock().WaitUntil(stopWake_, lock, deadline, [this] { return stopRequested_; });
    }
    return false;
}

int ProcessorJobs::StartJob(int code, const request::Args& args)
{
    const auto refuse = [this] {
        std::lock_guard<std::mutex> guard(jobMutex_);
        jobState_ = CQelProcessor::kJobIdle;
        return 1;
    };
    // The previous job has completed (the state was idle), but its thread
    // may still run its tail: the next start, on the UI thread, must not
    // wait for it. Only threads that have ended are joined here.
    std::lock_guard<std::mutex> threads(threadMutex_);
    std::erase_if(jobThreads_, [](JobThread& job) {
        if (!job.ended->load())
            return false;
        job.thread.join();
        return true;
    });
    if (startsRefused_)
        return refuse();

    std::function<void()> body;
    switch (code) {
    case request::kStartReset:
        resetBridge_.SetReceiver(std::get<request::Reset>(args).receiver);
        resetBridge_.SetStep(0);
        resetBridge_.SetSteps(0);
        body = [this] { ResetJob(); };
        break;
    case request::kStartInputOsdTransfer: {
        const auto& transfer = std::get<request::InputOsdTransfer>(args);
        transferBridge_.SetReceiver(transfer.receiver);
        transferBridge_.SetStep(0);
        transferBridge_.SetSteps(0);
        body = [this, keys = transfer.keys] { InputOsdTransferJob(keys); };
        break;
    }
    default: {
        const auto& save = std::get<request::OsdSave>(args);
        {
            std::lock_guard<std::mutex> guard(jobMutex_);
            osdSaveReceiver_ = save.receiver;
        }
        if (save.steps)
            *save.steps = CQelProcessor::kOsdSaveSteps;
        // The status arrives as an event on the UI thread; the job reads it
        // once a second. Only an answer to this save's own request counts:
        // a late status of an earlier save, or from another link, does not.
        auto status = std::make_shared<std::atomic<int>>(kOsdStatusPending);
        auto subscription = std::make_shared<boost::signals2::scoped_connection>(CQelEvtSignals::ConnectOSDStatus(
            [status, channelId = owner_.settings().GetChannelId(), output = save.side != 0, first = save.first,
             second = save.second](const COSDStatusEvent& event) {
                if (event.channelId == channelId && event.outputSide == output && event.first == first &&
                    event.second == second)
                    status->store(event.status);
            }));
        body = [this, first = save.first, second = save.second, side = save.side, status, subscription] {
            const bool saved = OsdSaveJob(first, second, side, status);
            subscription->disconnect();
            Dispatch(request::kOsdSaveDone, request::Completion{saved ? 0 : 1});
        };
        break;
    }
    }

    auto ended = std::make_shared<std::atomic<bool>>(false);
    try {
        std::thread thread = owner_.LaunchJob([body = std::move(body), ended]() mutable {
            body();
            body = nullptr; // what it holds goes before the thread counts as ended
            ended->store(true);
        });
        jobThreads_.push_back({std::move(thread), std::move(ended)});
    } catch (const std::system_error& error) {
        LogModelError(std::string("job thread not started: ") + error.what());
        return refuse();
    }
    return 0;
}

void ProcessorJobs::StopJobs()
{
    ReceiverPtr<IResetProgress> resetReceiver;
    ReceiverPtr<IIOSDSendingProgress> transferReceiver;
    ReceiverPtr<IOSDSavingProgress> osdReceiver;
    std::vector<JobThread> jobs;
    {
        // From here on no job starts, so no receiver is handed to one.
        std::lock_guard<std::mutex> threads(threadMutex_);
        startsRefused_ = true;
        resetReceiver = resetBridge_.GetReceiver();
        transferReceiver = transferBridge_.GetReceiver();
        {
            std::lock_guard<std::mutex> guard(jobMutex_);
            osdReceiver = osdSaveReceiver_;
        }
        jobs = std::move(jobThreads_);
        jobThreads_.clear();
    }
    // The receivers go before the stop: a job it wakes reports its failed
    // end, which no one is to hear. A report in progress finishes first,
    // without the lock held: a receiver may start the next job from inside
    // its final report (refused now), and that start takes the lock.
    if (resetReceiver)
        resetReceiver->Revoke();
    if (transferReceiver)
        transferReceiver->Revoke();
    if (osdReceiver)
        osdReceiver->Revoke();
    {
        std::lock_guard<std::mutex> guard(stopMutex_);
        stopRequested_ = true;
    }
    stopWake_.notify_all();
    for (JobThread& job : jobs) {
        if (job.thread.get_id() == std::this_thread::get_id())
            job.thread.detach(); // the job itself let go of the processor last
        else
            job.thread.join();
    }
}

// ---- The jobs --------------------------------------------------------------

void ProcessorJobs::ResetJob()
{
    bool done = JobPause(kResetStartWaitMs);
    int steps = 0;
    if (done) {
        for (const auto& source : owner_.GetSigSrcs())
            source->ResetDefaults();
        steps = ResetStepsOf(owner_.GetKind());
        resetBridge_.SetSteps(steps);
        for (int step = 0; step < steps && done; ++step) {
            resetBridge_.SetStep(step);
            owner_.requests().ClearOutputWindows(step, &resetBridge_);
            done = !JobsStopping();
        }
    }
    if (done && steps > 0) {
        owner_.requests().SetOutputTiming(CQelProcessor::kDefaultResolutionId);
        if (owner_.records().GetOutputResolutionId() != CQelProcessor::kDefaultResolutionId) {
            owner_.records().SetOutputResolutionId(CQelProcessor::kDefaultResolutionId);
            const Resolution resolution = owner_.records().GetResolutionById(CQelProcessor::kDefaultResolutionId);
            owner_.SetOutputResolution(resolution.width, resolution.height, resolution.rate);
            owner_.ResetWallCellSizes();
        }
        if (const int32_t type = owner_.settings().GetConnection().type; type == 1 || type == 2)
            owner_.requests().SetNetwork(kResetAddress, kResetPort);
        CQelProcessor::Connection connection = owner_.settings().GetConnection();
        connection.tcpAddress = kResetAddress;
        connection.tcpPort = kResetPort;
        owner_.settings().SetConnection(connection);
        owner_.SavePro();
    }
    Dispatch(request::kResetDone, request::Completion{done ? 0 : 1});
    if (done)
        owner_.requests().RequestSlotDiscovery();
}

void ProcessorJobs::InputOsdTransferJob(const std::vector<uint32_t>& keys)
{
    bool done = JobPause(kJobStartWaitMs);
    if (done) {
        transferBridge_.SetSteps(static_cast<int>(keys.size()));
        for (size_t i = 0; i < keys.size() && done; ++i) {
            transferBridge_.SetStep(static_cast<int>(i));
            const int board = static_cast<int>(keys[i] >> 16);
            const int item = static_cast<int>(keys[i] & 0xFFFF);
            const auto payload = owner_.GetInputOsd().GetItemPayload(board, item);
            if (payload.empty())
                LogEmptyPayload(fstr_format("%d/%d", board, item));
            // One item failing does not end the transfer.
            owner_.requests().SendOsdLines(&transferBridge_, PayloadLines(payload), 1, 0);
            done = !JobsStopping();
        }
    }
    Dispatch(request::kInputOsdTransferDone, request::Completion{done ? 0 : 1});
}

bool ProcessorJobs::OsdSaveJob(int first, int second, int side, const std::shared_ptr<std::atomic<int>>& status)
{
    if (!JobPause(kJobStartWaitMs))
        return false;
    WriteSenderLog(kSeparator);
    const platform::TimePoint start = platform::Now();
    status->store(kOsdStatusPending);
    const char* unit = side == 0 ? "I_F" : "O_F";
    const std::string save = fstr_format("%s OSDSA %d %d 1\r\n", unit, first, second);
    owner_.link().ChannelSend(save);
    WriteSenderLog(save);
    if (!JobPause(kOsdSaveFirstPollWaitMs))
        return false;

    const std::string poll = fstr_format("%s OSDSA %d %d 2\r\n", unit, first, second);
    int counter = 0;
    while (platform::MillisSince(start) < kOsdSaveTimeoutMs) {
        owner_.link().ChannelSend(poll);
        if (!JobPause(kOsdSavePollGapMs))
            return false;
        if (status->load() == kOsdStatusSaved)
            return true;
        counter = std::min(counter + 1, CQelProcessor::kOsdSaveSteps - 1);
        ReceiverPtr<IOSDSavingProgress> receiver;
        {
            std::lock_guard<std::mutex> guard(jobMutex_);
            receiver = osdSaveReceiver_;
        }
        if (receiver)
            receiver->Invoke([&](IOSDSavingProgress& r) { r.OnProgress(counter, CQelProcessor::kOsdSaveSteps); });
    }
    return false;
}

int ProcessorJobs::SendOsdImage(IProgress* receiver, const tagOSD_DATA_EX_S& item)
{
    const auto payload = OsdItemPayload(item);
    if (payload.empty())
        LogEmptyPayload(fstr_format("%d", item.item));
    return owner_.requests().SendOsdLines(receiver, PayloadLines(payload), 1, 0);
}

std::thread CQelProcessor::LaunchJob(std::function<void()> body)
{
    return std::thread(std::move(body));
}

void CQelProcessor::StopJobs()
{
    jobs_->StopJobs();
}

int32_t CQelProcessor::GetJobState() const
{
    return jobs_->GetJobState();
}
