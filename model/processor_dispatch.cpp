// The request dispatcher: the job-state gate in front of every device
// request, the request methods, and the completions that end a job.
#include "model/processor_jobs.h"
#include "model/processor_requests.h"
#include "model/requests.h"

namespace {

using request::Args;

// The record type each request code takes.
template <class T>
size_t IndexOf()
{
    return Args(T{}).index();
}

size_t ExpectedIndex(int code)
{
    using namespace request;
    switch (code) {
    case 1:
    case 33: return IndexOf<Network>();
    case 2: return IndexOf<ResolutionId>();
    case 3: return IndexOf<TestPattern>();
    case 4: return IndexOf<Reset>();
    case 5: return IndexOf<Clock>();
    case 6: return IndexOf<OsdBuffer>();
    case 7: return IndexOf<CommandList>();
    case 8: return IndexOf<DisplayMode>();
    case 10: return IndexOf<OsdSave>();
    case 21: return IndexOf<InputOsdTransfer>();
    case 22: return IndexOf<OsdImage>();
    case 23: return IndexOf<Edid>();
    case 24:
    case 29: return IndexOf<OnOff>();
    case 25: return IndexOf<Preset>();
    case 26: return IndexOf<Colour>();
    case 27: return IndexOf<BoardColour>();
    case 28: return IndexOf<TimeOsd>();
    case 30:
    case 31:
    case 32:
    case 34:
    case 35:
    case 36:
    case 37: return IndexOf<Text>();
    case 1000:
    case 1001:
    case 1002: return IndexOf<Completion>();
    default: return IndexOf<None>(); // 0, 9, 11 to 20
    }
}

bool IsJobStart(int code)
{
    return code == request::kStartReset || code == request::kStartOsdSave || code == request::kStartInputOsdTransfer;
}

// What may run beside an OSD save: the status poll, the network and
// display settings and the queries, nothing that competes for the OSD.
bool RunsDuringOsdSave(int code)
{
    switch (code) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 5:
    case 7:
    case 8:
    case 9:
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 23:
    case 24:
    case 33: return true;
    default: return false;
    }
}

int32_t JobStateOf(int code)
{
    switch (code) {
    case request::kStartReset: return CQelProcessor::kJobReset;
    case request::kStartOsdSave: return CQelProcessor::kJobOsdSave;
    default: return CQelProcessor::kJobInputOsdTransfer;
    }
}

int Result(bool ok)
{
    return ok ? 0 : 1;
}

} // namespace

int ProcessorJobs::Dispatch(int code, const Args& args)
{
    const bool completion = code >= request::kOsdSaveDone && code <= request::kInputOsdTransferDone;
    if (!completion && (code < 0 || code > request::kLastRequest))
        return 1;
    if (args.index() != ExpectedIndex(code))
        return 1;
    if (completion)
        return CompleteJob(code, args);
    {
        std::lock_guard<std::mutex> guard(jobMutex_);
        switch (jobState_) {
        case CQelProcessor::kJobIdle: break;
        case CQelProcessor::kJobOsdSave:
            if (!RunsDuringOsdSave(code))
                return 1;
            break;
        default: return 1;
        }
        if (IsJobStart(code)) {
            // Busy before the thread exists, so a job that ends at once
            // finds its state in place.
            jobState_ = JobStateOf(code);
        }
    }
    if (IsJobStart(code))
        return StartJob(code, args);
    return RunRequest(code, args);
}

int32_t ProcessorJobs::GetJobState() const
{
    std::lock_guard<std::mutex> guard(jobMutex_);
    return jobState_;
}

int ProcessorJobs::RunRequest(int code, const Args& args)
{
    using namespace request;
    ProcessorRequests& requests = owner_.requests();
    switch (code) {
    case 0: return requests.QueryStatus();
    case 1: {
        const auto& a = std::get<Network>(args);
        return Result(requests.SetNetwork(a.address, a.port));
    }
    case 2: return requests.SetOutputTiming(std::get<ResolutionId>(args).id);
    case 3: {
        const auto& a = std::get<TestPattern>(args);
        return requests.SetTestPattern(a.outputId, a.pattern, a.colour);
    }
    case 5: {
        const auto& v = std::get<Clock>(args).values;
        return requests.SetClock(v[0], v[1], v[2], v[3], v[4], v[5]);
    }
    case 6: {
        const auto& a = std::get<OsdBuffer>(args);
        return requests.SendOsdLines(a.receiver, a.lines, a.group, a.delayMs);
    }
    case 7: return requests.QueueCommandList(std::get<CommandList>(args).lines);
    case 8: {
        const auto& a = std::get<DisplayMode>(args);
        return requests.SwitchDisplayMode(a.mode, a.receiver, true, a.lines);
    }
    case 9: return requests.LeaveDisplayMode();
    case 22: {
        const auto& a = std::get<OsdImage>(args);
        return a.item ? SendOsdImage(a.receiver, *a.item) : 1;
    }
    case 23: {
        const auto& a = std::get<Edid>(args);
        return requests.ProgramEdid(a.input, a.choice);
    }
    case 24: return requests.SetFreeze(std::get<OnOff>(args).on);
    case 25: return requests.LoadPreset(std::get<Preset>(args).number);
    case 26: {
        const auto& a = std::get<Colour>(args);
        return requests.SetBackgroundColor(a.red, a.green, a.blue);
    }
    case 27: {
        const auto& a = std::get<BoardColour>(args);
        return requests.WriteBackgroundYuv(a.board, a.red, a.green, a.blue);
    }
    case 28: return requests.SetTimeOsd(std::get<TimeOsd>(args).item);
    case 29: return requests.EnableAllTime(std::get<OnOff>(args).on);
    case 30: return Result(requests.SetSubnetMask(std::get<Text>(args).text));
    case 31: return Result(requests.SetGateway(std::get<Text>(args).text));
    case 32: return Result(requests.SetSubnetMaskLong(std::get<Text>(args).text));
    case 33: {
        const auto& a = std::get<Network>(args);
        return Result(requests.SetNetwork2(a.address, a.port));
    }
    case 34: return Result(requests.SetSubnetMask2(std::get<Text>(args).text));
    case 35: return Result(requests.SetGateway2(std::get<Text>(args).text));
    case 36: return Result(requests.SetSubnetMaskLong2(std::get<Text>(args).text));
    case 37: return requests.SendRawText(std::get<Text>(args).text);
    default: return requests.SendQuery(code); // 11 to 20
    }
}

int ProcessorJobs::CompleteJob(int code, const Args& args)
{
    const bool failed = std::get<request::Completion>(args).failure != 0;
    const int32_t owner = code == request::kOsdSaveDone ? CQelProcessor::kJobOsdSave
                          : code == request::kResetDone ? CQelProcessor::kJobReset
                                                        : CQelProcessor::kJobInputOsdTransfer;
    ReceiverPtr<IOSDSavingProgress> osdReceiver;
    ReceiverPtr<IResetProgress> resetReceiver;
    ReceiverPtr<IIOSDSendingProgress> transferReceiver;
    int steps = 0;
    {
        std::lock_guard<std::mutex> guard(jobMutex_);
        if (jobState_ != owner)
            return 1;
        // Taken while still busy: once idle, the next start replaces them.
        osdReceiver = osdSaveReceiver_;
        resetReceiver = resetBridge_.GetReceiver();
        transferReceiver = transferBridge_.GetReceiver();
        steps = code == request::kResetDone ? resetBridge_.GetSteps() : transferBridge_.GetSteps();
        // Idle before the receiver hears the end, so it may start the next
        // job straight away.
        jobState_ = CQelProcessor::kJobIdle;
    }
    const int done = failed ? steps + 1 : steps;
    switch (code) {
    case request::kOsdSaveDone: {
        const int saved = failed ? CQelProcessor::kOsdSaveSteps + 1 : CQelProcessor::kOsdSaveSteps;
        if (osdReceiver)
            osdReceiver->Invoke([&](IOSDSavingProgress& r) { r.OnProgress(saved, CQelProcessor::kOsdSaveSteps); });
        break;
    }
    case request::kResetDone:
        if (resetReceiver)
            resetReceiver->Invoke([&](IResetProgress& r) { r.OnProgress(done, steps, 0, 0); });
        break;
    default:
        if (transferReceiver)
            transferReceiver->Invoke([&](IIOSDSendingProgress& r) { r.OnProgress(done, steps, 0, 0); });
        break;
    }
    return 0;
}

int ProcessorJobs::Dispatch(int code)
{
    return Dispatch(code, request::None{});
}

// ---- Request methods -------------------------------------------------------

int ProcessorJobs::StatusQueryRequest()
{
    return Dispatch(0);
}

int ProcessorJobs::SetNetworkRequest(const std::string& address, const std::string& port)
{
    return Dispatch(1, request::Network{address, port});
}

int ProcessorJobs::SetOutputTimingRequest(uint32_t resolutionId)
{
    return Dispatch(2, request::ResolutionId{resolutionId});
}

int ProcessorJobs::SetTestPatternRequest(uint32_t outputId, int pattern, uint32_t colour)
{
    return Dispatch(3, request::TestPattern{outputId, pattern, colour});
}

int ProcessorJobs::StartReset(ReceiverPtr<IResetProgress> receiver)
{
    return Dispatch(request::kStartReset, request::Reset{std::move(receiver)});
}

int ProcessorJobs::SetClockRequest(int a, int b, int c, int d, int e, int f)
{
    return Dispatch(5, request::Clock{{a, b, c, d, e, f}});
}

int ProcessorJobs::SendOsdBufferRequest(const std::vector<std::string>& lines, int group, uint32_t delayMs,
                                        IProgress* receiver)
{
    return Dispatch(6, request::OsdBuffer{lines, group, delayMs, receiver});
}

int ProcessorJobs::QueueCommandListRequest(const std::vector<std::string>& lines)
{
    return Dispatch(7, request::CommandList{lines});
}

int ProcessorJobs::SwitchDisplayModeRequest(const std::vector<std::string>& lines, int mode, IProgress* receiver)
{
    return Dispatch(8, request::DisplayMode{lines, mode, receiver});
}

int ProcessorJobs::StartOsdPosition(int first, int second, ReceiverPtr<IOSDSavingProgress> receiver, int& steps,
                                    int side)
{
    return Dispatch(request::kStartOsdSave, request::OsdSave{first, second, std::move(receiver), &steps, side});
}

int ProcessorJobs::QueryIpRequest()
{
    return Dispatch(11);
}
int ProcessorJobs::QueryPortRequest()
{
    return Dispatch(12);
}
int ProcessorJobs::QuerySubnetMaskRequest()
{
    return Dispatch(13);
}
int ProcessorJobs::QueryGatewayRequest()
{
    return Dispatch(14);
}
int ProcessorJobs::QueryIp2Request()
{
    return Dispatch(16);
}
int ProcessorJobs::QueryPort2Request()
{
    return Dispatch(17);
}
int ProcessorJobs::QuerySubnetMask2Request()
{
    return Dispatch(18);
}
int ProcessorJobs::QueryGateway2Request()
{
    return Dispatch(19);
}

int ProcessorJobs::StartSendInputOsd(int unused, ReceiverPtr<IIOSDSendingProgress> receiver,
                                     const std::vector<uint32_t>& keys)
{
    return Dispatch(request::kStartInputOsdTransfer, request::InputOsdTransfer{unused, std::move(receiver), keys});
}

int ProcessorJobs::SendOsdImageRequest(int unused, IProgress* receiver, std::shared_ptr<const tagOSD_DATA_EX_S> item)
{
    return Dispatch(22, request::OsdImage{unused, receiver, std::move(item)});
}

int ProcessorJobs::ProgramEdidRequest(uint32_t inputId, int choice)
{
    return Dispatch(23, request::Edid{inputId, choice});
}

int ProcessorJobs::SetFreezeRequest(int on)
{
    return Dispatch(24, request::OnOff{on});
}

int ProcessorJobs::RecallPreset(int preset)
{
    return Dispatch(25, request::Preset{preset});
}

int ProcessorJobs::SetOutputBoardColor(uint8_t red, uint8_t green, uint8_t blue)
{
    return Dispatch(26, request::Colour{red, green, blue});
}

int ProcessorJobs::SetTimeOsdRequest(const tagOSD_DATA_EX2_S& item)
{
    return Dispatch(28, request::TimeOsd{item});
}

int ProcessorJobs::EnableAllTimeRequest(int on)
{
    return Dispatch(29, request::OnOff{on});
}

int ProcessorJobs::SetSubnetMaskRequest(const std::string& mask)
{
    return Dispatch(30, request::Text{mask});
}

int ProcessorJobs::SetGatewayRequest(const std::string& gateway)
{
    return Dispatch(31, request::Text{gateway});
}

int ProcessorJobs::SetNetwork2Request(const std::string& address, const std::string& port)
{
    return Dispatch(33, request::Network{address, port});
}

int ProcessorJobs::SetSubnetMask2Request(const std::string& mask)
{
    return Dispatch(34, request::Text{mask});
}

int ProcessorJobs::SetGateway2Request(const std::string& gateway)
{
    return Dispatch(35, request::Text{gateway});
}

int ProcessorJobs::SendRaw(const std::string& text)
{
    return Dispatch(37, request::Text{text});
}
