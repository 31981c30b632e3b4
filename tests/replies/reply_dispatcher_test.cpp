#include <atomic>
#include <chrono>
#include <thread>

#include "core/events.h"
#include "model/net_type.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_requests.h"
#include "model/processor_settings.h"
#include "replies/reply_dispatcher.h"
#include "replies/reply_numbers.h"
#include "replies/reply_receiver.h"
#include "tests/replies/reply_test_support.h"
#include "tests/support/queued_events.h"
#include "tests/support/scoped_setting.h"
#include "tests/support/test_files.h"

using namespace std::chrono_literals;
using tavrix::test::DatedLog;

namespace {

// Runs `wait` on a thread of its own and feeds `line` to the dispatcher
// until the wait is over; gives what the wait gave.
template <class Wait>
bool FeedWhileWaiting(Wait wait, const std::string& line, uint32_t channel, bool& dispatched)
{
    std::atomic<bool> done{false};
    bool result = false;
    std::thread waiter([&] {
        result = wait();
        done = true;
    });
    while (!done) {
        dispatched = ParseDeviceReply(channel, line);
        std::this_thread::sleep_for(1ms);
    }
    waiter.join();
    return result;
}

} // namespace

TEST_F(ReplyTest, AcknowledgementWakesTheWaitingSender)
{
    std::string reply;
    bool dispatched = false;
    const auto send = [&](const char* text) {
        return [&, text] { return processor_->link().SendAndWait(text, reply); };
    };
    EXPECT_TRUE(FeedWhileWaiting(send("GP SOT 1 1\r\n"), "GP SOT 1 1\r\n", kChannel, dispatched));
    EXPECT_TRUE(dispatched);
    EXPECT_EQ(reply, "GP SOT 1 1\r\n");
    EXPECT_TRUE(FeedWhileWaiting(send("I_F AWE 1 2\r\n"), "I_F AWE 1 2\r\n", kChannel, dispatched));
    EXPECT_EQ(reply, "I_F AWE 1 2\r\n");
    // Only a reply to the command itself ends the wait: another command's
    // echo does not, nor one whose word merely starts the same.
    EXPECT_TRUE(FeedWhileWaiting(send("GP CDMS 1\r\n"), "GP CDMS 0\r\n", kChannel, dispatched));
    EXPECT_EQ(reply, "GP CDMS 0\r\n");
    EXPECT_FALSE(FeedWhileWaiting(send("GP CDMS 1\r\n"), "GP BPSW 255 255 9 0\r\n", kChannel, dispatched));
    EXPECT_FALSE(FeedWhileWaiting(send("I_F AW 1 2\r\n"), "I_F AWE 1 2\r\n", kChannel, dispatched));

    // On a channel no processor owns the line is dropped: the wait times out.
    EXPECT_FALSE(FeedWhileWaiting(send("GP SOT 1 1\r\n"), "GP SOT 1 1\r\n", kUnowned, dispatched));
    EXPECT_FALSE(dispatched);

    // A parsed reply posts its event and wakes nobody.
    EXPECT_FALSE(FeedWhileWaiting(send("GP SOT 1 1\r\n"), "GP GIPA 192 168 0 100\r\n", kChannel, dispatched));
    EXPECT_TRUE(dispatched);
    const auto events = DrainEvents();
    EXPECT_FALSE(EventsOf<CProcessorIPEvent>(events).empty());
}

TEST_F(ReplyTest, TypeReplySetsTheModelAndWakesTheWaiter)
{
    processor_->SetKind(4);
    std::string reply;
    bool dispatched = false;
    EXPECT_TRUE(FeedWhileWaiting([&] { return processor_->link().SendAndWait("GP TYPE \r\n", reply); },
                                 "GP TYPE 2 0\r\n", kChannel, dispatched));
    EXPECT_EQ(reply, "GP TYPE 2 0\r\n");
    EXPECT_EQ(processor_->GetKind(), 7);
    EXPECT_EQ(processor_->GetName(), "8x8处理器");
    EXPECT_TRUE(processor_->settings().IsModified());
    const auto events = DrainEvents();
    const auto types = EventsOf<CGetProTypeEvent>(events);
    ASSERT_FALSE(types.empty()); // one per line fed
    for (const auto* event : types)
        EXPECT_EQ(event->processorId, 1);
}

TEST_F(ReplyTest, UnmatchedLineConfirmsOnlyItsPendingCommand)
{
    {
        const ScopedSetting echoWaits(g_NetType, uint8_t(1));
        bool dispatched = false;
        const auto recall = [&] { return processor_->requests().LoadPreset(3) == 1; };
        EXPECT_TRUE(FeedWhileWaiting(recall, "GP LDM 3\r\n", kChannel, dispatched));
        EXPECT_TRUE(dispatched);
        EXPECT_FALSE(FeedWhileWaiting(recall, "GP LDM 4\r\n", kChannel, dispatched));
    }

    // Lines no row takes change nothing.
    processor_->SetKind(4);
    EXPECT_TRUE(Reply("FOO BAR"));
    EXPECT_TRUE(Reply("FOO BAR", kUnowned));
    EXPECT_TRUE(Reply("GP RSMG 1 2")); // no slot messages on model 4
    EXPECT_TRUE(Reply("I_F RISR 1 0 0 0 1920 1080 2 6000"));
    EXPECT_TRUE(Reply("GP RSMG 1 2 4 0", kUnowned));
    EXPECT_EQ(processor_->records().GetBoardCount(), 0u);
    EXPECT_EQ(processor_->records().GetSigSrcCount(), 0u);
}

TEST_F(ReplyTest, NetworkRepliesPostPackedValues)
{
    EXPECT_TRUE(Reply("GP GIPA 192 168 0 100"));
    EXPECT_TRUE(Reply("GP GIPA 300 1 2 3"));      // the top number keeps its low byte
    EXPECT_TRUE(Reply("GP GMAC 4294967295 1 2")); // -1, and 0 for the missing one
    EXPECT_TRUE(Reply("GP GTPN 70000"));
    EXPECT_TRUE(Reply("O_F OSDSA 1 2 3"));
    EXPECT_TRUE(Reply("GP GIP1A 10 0 0 1"));
    const auto events = DrainEvents();
    const auto ip = EventsOf<CProcessorIPEvent>(events);
    ASSERT_EQ(ip.size(), 3u);
    EXPECT_EQ(ip[0]->address, 0xC0A80064u);
    EXPECT_EQ(ip[1]->address, 0x2C010203u);
    EXPECT_EQ(ip[2]->address, 0x0A000001u);
    EXPECT_EQ(EventsOf<CProcessorMACEvent>(events).at(0)->mac, 0xFF010200u);
    EXPECT_EQ(EventsOf<CProcessorPortEvent>(events).at(0)->port, 4464);
    EXPECT_EQ(EventsOf<COSDStatusEvent>(events).at(0)->status, 3);

    // The second port's replies go to the debug log before they are parsed.
    EXPECT_EQ(DatedLog("DebugLog"), "GP GIP1A 10 0 0 1\r\nreceiveStart");
    EXPECT_TRUE(DatedLog("SysTimeLog").starts_with("receiveStart "));
}

TEST_F(ReplyTest, VersionTablesKeepTheFirstTextOfEachBoard)
{
    processor_->SetKind(8);
    for (const char* line :
         {"GP GSFPV 2 171", "GP GSFPV 5 16", "GP GFPV 0x1A2B", "GP GFPV 0x3C4D", "GP GFWV 1 2 3", "GP GSFWV 0 4 5 6"})
        EXPECT_TRUE(Reply(line));
    const auto events = DrainEvents();
    EXPECT_EQ(EventsOf<CGetFPGAVerEvent>(events).size(), 4u);
    EXPECT_EQ(EventsOf<CGetSTMVerEvent>(events).size(), 2u);
    EXPECT_EQ(processor_->settings().GetFpgaVersions(),
              (CQelProcessor::VersionTable{{0, "主控板：1a2b\r\n"}, {3, "输入板2:ab\r\n"}, {6, "输出板5:10\r\n"}}));
    EXPECT_EQ(processor_->settings().GetFirmwareVersions(),
              (CQelProcessor::VersionTable{{0, "主控板：1 2 3\r\n"}, {1, "输入板0:4 5 6\r\n"}}));

    // Board -1 would take the main board's key.
    processor_->settings().ClearFpgaVersions();
    EXPECT_TRUE(Reply("GP GSFPV 4294967295 1")); // acknowledged all the same
    EXPECT_TRUE(processor_->settings().GetFpgaVersions().empty());
    EXPECT_FALSE(Reply("GP GFPV 1", kUnowned));
}

TEST(ReplyNumbers, ReadAsScanfWouldButWrapToThirtyTwoBits)
{
    EXPECT_EQ((ReadReplyNumbers<3>("GP X 4294967295 -2 +7", "GP X")), (std::array{-1, -2, 7}));
    // 2^64 + 5, then 40 digits: wrapped, never undefined.
    EXPECT_EQ((ReadReplyNumbers<2>("GP X 18446744073709551621 " + std::string(40, '9'), "GP X")[0]), 5);
    // Reading stops at the first text that is no number.
    EXPECT_EQ((ReadReplyNumbers<3>("GP X 1 abc 3", "GP X")), (std::array{1, 0, 0}));
    EXPECT_EQ((ReadReplyNumbers<2>("GP Y 1 2", "GP X")), (std::array{0, 0}));
    // As "%d" right after the keyword, digits ending the word count.
    EXPECT_EQ((ReadReplyNumbers<2>("GP RISMG2 1", "GP RISMG")), (std::array{2, 1}));

    EXPECT_TRUE(IsValidModelId(0xFFFFFFFE));
    EXPECT_FALSE(IsValidModelId(0xFFFFFFFF));
    EXPECT_FALSE(IsValidModelId(-100));
}

TEST_F(ReplyTest, LinkReceiverJoinsBlocksIntoDispatchedLines)
{
    // What a channel receives arrives in arbitrary blocks.
    const auto receive = MakeReplyReceiver(kChannel);
    const std::string bytes = "GP GIPA 192 168 0 100\r\nGP GTPN 7";
    receive(bytes.data(), bytes.size());
    const auto first = DrainEvents();
    EXPECT_EQ(EventsOf<CProcessorIPEvent>(first).size(), 1u);
    EXPECT_TRUE(EventsOf<CProcessorPortEvent>(first).empty());
    receive("0000\r\n", 7);
    const auto events = DrainEvents();
    ASSERT_EQ(EventsOf<CProcessorPortEvent>(events).size(), 1u);
    EXPECT_EQ(EventsOf<CProcessorPortEvent>(events).at(0)->port, 4464);
}

TEST(ReplyRoutes, LongerKeywordsAndEchoesFindTheirHandler)
{
    // The first matching row decides, and a parser's keyword may begin an
    // acknowledged one or the other way round.
    const std::pair<const char*, ReplyRoute> cases[] = {
        {"GP GIP1A 10 0 0 1\r\n", ReplyRoute::Parsed},  {"GP RISMG 1 2\r\n", ReplyRoute::Parsed},
        {"I_F OSDSA 1 2 3\r\n", ReplyRoute::Parsed},    {"I_F AWE 3\r\n", ReplyRoute::Acknowledged},
        {"GP GSFWV 1 x\r\n", ReplyRoute::Acknowledged}, {"GP TYPE 10\r\n", ReplyRoute::Acknowledged},
        {"GP LDM 1\r\n", ReplyRoute::Unmatched},        {"", ReplyRoute::Unmatched},
    };
    for (const auto& [line, route] : cases)
        EXPECT_EQ(RouteOfReply(line), route) << line;
    const auto keywords = ReplyKeywords();
    for (const auto keyword : keywords)
        EXPECT_NE(RouteOfReply(keyword), ReplyRoute::Unmatched) << keyword;
}
