#include "model/processor_link.h"
#include "tests/model/job_receivers.h"
#include "model/processor_jobs.h"
#include "model/processor_records.h"
#include "model/sig_src.h"
#include "tests/model/link_fixture.h"
#include "tests/support/recording_channel.h"

#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/requests.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <system_error>

namespace {

using Lines = std::vector<std::string>;

// Model 7 with what its senders need to send something: a source for the
// status poll and resolution 3 for the output timing.
void Equip(CQelProcessor& processor)
{
    processor.records().AddResolution({3, "1080p", {1920, 1080, 60}});
    processor.AddSigSrc(std::make_shared<CQelSigSrc>(101), false, false);
}

request::Args ArgsFor(int code)
{
    using namespace request;
    switch (code) {
    case 1:
    case 33: return Network{"10.1.2.3", "8978"};
    case 2: return ResolutionId{3};
    case 3: return TestPattern{10100, 1, 0xFF};
    case 4: return Reset{};
    case 5: return Clock{{2024, 5, 6, 10, 20, 30}};
    case 6: return OsdBuffer{{"OSD LINE\r\n"}, 1, 0, nullptr};
    case 7: return CommandList{{"LIST LINE\r\n"}};
    case 8: return DisplayMode{{"MODE LINE\r\n"}, 1, nullptr};
    case 10: return OsdSave{3, 1, nullptr, nullptr, 0};
    case 21: return InputOsdTransfer{};
    case 22: return OsdImage{0, nullptr, std::make_shared<tagOSD_DATA_EX_S>()};
    case 23: return Edid{1, 2};
    case 24:
    case 29: return OnOff{1};
    case 25: return Preset{2};
    case 26: return Colour{1, 2, 3};
    case 27: return BoardColour{1, 0, 0, 0};
    case 28: return TimeOsd{};
    case 30:
    case 31:
    case 32:
    case 34:
    case 35:
    case 36:
    case 37: return Text{"255.255.255.0"};
    case 1000:
    case 1001:
    case 1002: return Completion{0};
    default: return None{};
    }
}

std::vector<int> AllCodes()
{
    std::vector<int> codes{-1};
    for (int code = 0; code <= 38; ++code)
        codes.push_back(code);
    // Completions last: an accepted one ends the job.
    codes.insert(codes.end(), {1000, 1001, 1002});
    return codes;
}

// What reached the device since the last call, up to a marker, leaving out
// the OSD save job's own lines.
Lines SentSince(LinkFixture& link)
{
    Lines lines = link.SentBefore();
    std::erase_if(lines, [](const std::string& line) { return line.starts_with("I_F OSDSA"); });
    return lines;
}

bool IsJobStart(int code)
{
    return code == 4 || code == 10 || code == 21;
}

// Runs every code on a link with time flowing and tells which of them ran.
std::set<int> RunTable(LinkFixture& link)
{
    std::set<int> ran;
    SentSince(link);
    for (int code : AllCodes()) {
        const int result = link.processor->jobs().Dispatch(code, ArgsFor(code));
        bool didRun;
        if (IsJobStart(code)) {
            didRun = result == 0 && link.processor->GetJobState() != 0;
            if (didRun) {
                EXPECT_TRUE(WaitIdle(*link.processor)) << code;
            }
        } else if (code == 22 || code >= 1000) {
            didRun = result == 0; // sends nothing even when it runs
        } else {
            didRun = !SentSince(link).empty();
        }
        if (didRun)
            ran.insert(code);
        else
            EXPECT_EQ(result, 1) << code;
        SentSince(link);
    }
    return ran;
}

// Runs every code while a job is parked in its start wait (time stands
// still): what runs must be nothing but the completion.
std::set<int> RunTableFrozen(LinkFixture& link)
{
    std::set<int> ran;
    for (int code : AllCodes()) {
        const int result = link.processor->jobs().Dispatch(code, ArgsFor(code));
        if (result != 1)
            ran.insert(code);
    }
    // The paced sender waits for time too, so whatever was queued is still there.
    EXPECT_EQ(link.processor->link().GetQueuedCommandCount(), 0u);
    EXPECT_TRUE(link.channel->Texts().empty());
    return ran;
}

class FailingStart : public CQelProcessor {
protected:
    std::thread LaunchJob(std::function<void()>) override
    {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
};

} // namespace

TEST(RequestGate, IdleRunsEveryRequestAndNoCompletion)
{
    platform::ScaledClock clock(10);
    HeadlessUi ui; // delivers the OSD status
    LinkFixture link(clock, 7, 1);
    Equip(*link.processor);
    link.simulator.AnswerDisplayModeStoredFrom(1);
    link.simulator.AnswerOsdSavedFrom(1);
    std::set<int> expected;
    for (int code = 0; code <= 37; ++code)
        expected.insert(code);
    EXPECT_EQ(RunTable(link), expected);
}

TEST(RequestGate, OsdSaveLetsOnlyItsCompanionsRun)
{
    platform::ScaledClock clock(2); // room for the echo waits
    LinkFixture link(clock, 7, 1);
    Equip(*link.processor);
    link.simulator.AnswerDisplayModeStoredFrom(1);
    int steps = 0;
    ASSERT_EQ(link.processor->jobs().StartOsdPosition(3, 1, nullptr, steps, 0), 0);
    const std::set<int> expected{0, 1, 2, 3, 5, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 23, 24, 33, 1000};
    EXPECT_EQ(RunTable(link), expected);
    EXPECT_EQ(link.processor->GetJobState(), 0);
}

TEST(RequestGate, ResetAndTransferRefuseAllButTheirCompletion)
{
    {
        platform::SteppedClock clock;
        HeadlessUi ui;
        Receiver first(ui);
        Receiver second(ui);
        LinkFixture link(clock, 7, 1);
        Equip(*link.processor);
        ASSERT_EQ(link.processor->jobs().StartReset(first.Handle<IResetProgress>()), 0);
        EXPECT_EQ(link.processor->jobs().StartReset(second.Handle<IResetProgress>()), 1);
        EXPECT_EQ(RunTableFrozen(link), std::set<int>{1001});
        EXPECT_EQ(link.processor->GetJobState(), 0);
        link.processor->StopJobs();
        EXPECT_TRUE(second.Threads().empty());
    }
    {
        platform::SteppedClock clock;
        LinkFixture link(clock, 7, 1);
        Equip(*link.processor);
        ASSERT_EQ(link.processor->jobs().StartSendInputOsd(0, nullptr, {1, 2}), 0);
        EXPECT_EQ(link.processor->GetJobState(), 1);
        EXPECT_EQ(RunTableFrozen(link), std::set<int>{1002});
    }
}

TEST(RequestResults, MethodsReturnWhatTheDispatcherGives)
{
    platform::ScaledClock clock(2); // room for the echo waits
    LinkFixture link(clock, 7, 1);
    Equip(*link.processor);
    // The recall keeps its own sense: 1 when the device confirmed it.
    EXPECT_EQ(link.processor->jobs().RecallPreset(2), 1);
    link.simulator.Silence("GP LDM");
    EXPECT_EQ(link.processor->jobs().RecallPreset(2), 0);
    EXPECT_EQ(link.processor->jobs().SetOutputTimingRequest(4), 1);
    EXPECT_EQ(link.processor->jobs().SetOutputTimingRequest(3), 0);
    EXPECT_EQ(link.processor->jobs().SetNetworkRequest("10.1.2.3", "8978"), 0);
    link.simulator.Silence("GP SIATP");
    EXPECT_EQ(link.processor->jobs().SetNetworkRequest("10.1.2.3", "8978"), 1);
    SentSince(link);
    // A record of the wrong type never reaches a sender.
    EXPECT_EQ(link.processor->jobs().Dispatch(1, request::Text{"10.0.0.1"}), 1);
    EXPECT_EQ(link.processor->jobs().Dispatch(37), 1);
    EXPECT_EQ(link.processor->jobs().Dispatch(4, request::Completion{}), 1);
    EXPECT_EQ(link.processor->GetJobState(), 0);
    EXPECT_TRUE(SentSince(link).empty());
}

TEST(RequestResults, JobThatCannotStartLeavesTheProcessorIdle)
{
    platform::ScaledClock clock(10);
    HeadlessUi ui;
    auto processor = std::make_shared<FailingStart>();
    processor->SetKind(7);
    Receiver receiver(ui);
    EXPECT_EQ(processor->jobs().StartReset(receiver.Handle<IResetProgress>()), 1);
    EXPECT_EQ(processor->GetJobState(), 0);
    int steps = 0;
    EXPECT_EQ(processor->jobs().StartOsdPosition(3, 1, nullptr, steps, 0), 1);
    EXPECT_EQ(processor->jobs().StartSendInputOsd(0, nullptr, {}), 1);
    EXPECT_EQ(processor->GetJobState(), 0);
    EXPECT_EQ(processor->jobs().SetClockRequest(2024, 1, 2, 3, 4, 5), 0);
    processor.reset();
    EXPECT_TRUE(receiver.Threads().empty());
}

TEST(StatusBroadcast, AsksEveryProcessorUnlessItIsResetting)
{
    platform::SteppedClock clock; // the senders keep what is queued
    platform::ScopedClock scoped(clock);
    CQelProMan manager;
    for (uint32_t id : {1u, 2u}) {
        auto processor = std::make_shared<CQelProcessor>();
        processor->SetId(id);
        processor->SetKind(7);
        Equip(*processor);
        ASSERT_TRUE(manager.AddProcessor(processor));
    }
    const auto first = manager.FindById(1);
    const auto second = manager.FindById(2);
    manager.BroadcastStatusQuery();
    EXPECT_EQ(first->link().GetQueuedCommandCount(), 1u);
    EXPECT_EQ(second->link().GetQueuedCommandCount(), 1u);

    ASSERT_EQ(first->jobs().StartReset(nullptr), 0); // parked in its start wait
    manager.BroadcastStatusQuery();
    EXPECT_EQ(first->link().GetQueuedCommandCount(), 1u);
    EXPECT_EQ(second->link().GetQueuedCommandCount(), 2u);
    first->StopJobs();
}
