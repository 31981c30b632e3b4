#include <atomic>
#include <chrono>
#include <thread>

#include "comm/port_descriptor_map.h"
#include "comm/reply_numbers.h"
#include "model/net_type.h"
#include "tests/comm/reply_test_support.h"

using namespace std::chrono_literals;

namespace {

// Runs `wait` on its own thread and feeds `line` to the dispatcher until
// the wait is over; returns what the wait returned.
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
    EXPECT_TRUE(FeedWhileWaiting([&] { return processor_->SendAndWait("GP SOT 1 1\r\n", reply); },
                                 "GP SOT 1 1\r\n", kChannel, dispatched));
    EXPECT_TRUE(dispatched);
    EXPECT_EQ(reply, "GP SOT 1 1\r\n");

    // The longer keyword of a pair is acknowledged alike.
    EXPECT_TRUE(FeedWhileWaiting([&] { return processor_->SendAndWait("I_F AWE 1 2\r\n", reply); },
                                 "I_F AWE 1 2\r\n", kChannel, dispatched));
    EXPECT_EQ(reply, "I_F AWE 1 2\r\n");

    // No processor owns the channel: dropped, and the waiter times out.
    EXPECT_FALSE(FeedWhileWaiting([&] { return processor_->SendAndWait("GP SOT 1 1\r\n", reply); },
                                  "GP SOT 1 1\r\n", kUnowned, dispatched));
    EXPECT_FALSE(dispatched);

    // A parsed reply posts its event but wakes nobody.
    DrainEvents();
    EXPECT_FALSE(FeedWhileWaiting([&] { return processor_->SendAndWait("GP SOT 1 1\r\n", reply); },
                                  "GP GIPA 192 168 0 100\r\n", kChannel, dispatched));
    EXPECT_TRUE(dispatched);
    const auto events = DrainEvents();
    const auto ip = EventsOf<CProcessorIPEvent>(events);
    ASSERT_FALSE(ip.empty());
    EXPECT_EQ(ip[0]->address, 0xC0A80064u);
}

TEST_F(ReplyTest, TypeReplySetsTheModelAndWakesTheWaiter)
{
    processor_->SetKind(4);
    std::string reply;
    bool dispatched = false;
    EXPECT_TRUE(FeedWhileWaiting([&] { return processor_->SendAndWait("GP TYPE \r\n", reply); },
                                 "GP TYPE 2 0\r\n", kChannel, dispatched));
    EXPECT_EQ(reply, "GP TYPE 2 0\r\n");
    EXPECT_EQ(processor_->GetKind(), 7);
    EXPECT_EQ(processor_->GetName(), "8x8处理器");
    EXPECT_TRUE(processor_->IsModified());
    const auto events = DrainEvents();
    const auto types = EventsOf<CGetProTypeEvent>(events);
    ASSERT_FALSE(types.empty()); // one per line fed
    for (const auto* event : types)
        EXPECT_EQ(event->processorId, 1);
}

TEST_F(ReplyTest, UnmatchedLineConfirmsThePendingCommand)
{
    g_NetType = 1;
    bool dispatched = false;
    EXPECT_EQ(FeedWhileWaiting([&] { return processor_->LoadPreset(3) == 1; }, "GP LDM 3\r\n",
                               kChannel, dispatched),
              true);
    EXPECT_TRUE(dispatched);
    // Another line does not.
    EXPECT_FALSE(FeedWhileWaiting([&] { return processor_->LoadPreset(3) == 1; }, "GP LDM 4\r\n",
                                  kChannel, dispatched));
    g_NetType = 0;
}

TEST_F(ReplyTest, IgnoresLinesNoRowTakes)
{
    processor_->SetKind(4);
    EXPECT_TRUE(Reply("FOO BAR"));
    EXPECT_TRUE(Reply("FOO BAR", kUnowned));
    EXPECT_TRUE(Reply("GP RSMG 1 2"));
    EXPECT_TRUE(Reply("I_F RISR 1 0 0 0 1920 1080 2 6000"));
    EXPECT_TRUE(Reply("GP RSMG 1 2 4 0", kUnowned));
    EXPECT_EQ(processor_->GetBoardCount(), 0u);
    EXPECT_EQ(processor_->GetSigSrcCount(), 0u);
    EXPECT_TRUE(DrainEvents().empty());
}

TEST_F(ReplyTest, NetworkRepliesPostPackedValues)
{
    EXPECT_TRUE(Reply("GP GIPA 192 168 0 100"));
    EXPECT_TRUE(Reply("GP GIPA 300 1 2 3")); // only the low byte of each survives
    EXPECT_TRUE(Reply("GP GIPA 4294967295 4294967295 0 0x1FF"));
    EXPECT_TRUE(Reply("GP GSM 255 255 255 0"));
    EXPECT_TRUE(Reply("GP GGW 192 168 0 1"));
    EXPECT_TRUE(Reply("GP GMAC 1 2 3"));
    EXPECT_TRUE(Reply("GP GTPN 70000"));
    EXPECT_TRUE(Reply("O_F OSDSA 1 2 3"));
    EXPECT_TRUE(Reply("I_F OSDSA 1 2 -5"));
    const auto events = DrainEvents();
    const auto ip = EventsOf<CProcessorIPEvent>(events);
    ASSERT_EQ(ip.size(), 3u);
    EXPECT_EQ(ip[0]->address, 0xC0A80064u);
    EXPECT_EQ(ip[1]->address, 0x2C010203u);
    EXPECT_EQ(ip[2]->address, 0xFFFF00FFu);
    EXPECT_EQ(EventsOf<CProcessorSMEvent>(events).at(0)->mask, 0xFFFFFF00u);
    EXPECT_EQ(EventsOf<CProcessorGWEvent>(events).at(0)->gateway, 0xC0A80001u);
    EXPECT_EQ(EventsOf<CProcessorMACEvent>(events).at(0)->mac, 0x01020300u); // missing number is 0
    EXPECT_EQ(EventsOf<CProcessorPortEvent>(events).at(0)->port, 4464);
    const auto osd = EventsOf<COSDStatusEvent>(events);
    ASSERT_EQ(osd.size(), 2u);
    EXPECT_EQ(osd[0]->status, 3);
    EXPECT_EQ(osd[1]->status, -5);
}

TEST_F(ReplyTest, SecondPortRepliesGoToTheDebugLogFirst)
{
    EXPECT_TRUE(Reply("GP GIP1A 10 0 0 1"));
    EXPECT_TRUE(Reply("GP GT1PN 5000"));
    EXPECT_EQ(ReadText(DatedLog("DebugLog")), "GP GIP1A 10 0 0 1\r\nreceiveStartGP GT1PN 5000\r\n");
    EXPECT_TRUE(ReadText(DatedLog("SysTimeLog")).starts_with("receiveStart "));
    const auto events = DrainEvents();
    EXPECT_EQ(EventsOf<CProcessorIPEvent>(events).at(0)->address, 0x0A000001u);
    EXPECT_EQ(EventsOf<CProcessorPortEvent>(events).at(0)->port, 5000);
}

TEST_F(ReplyTest, VersionTablesKeepTheFirstTextOfEachBoard)
{
    processor_->SetKind(8);
    EXPECT_TRUE(Reply("GP GSFPV 2 171"));
    EXPECT_TRUE(Reply("GP GSFPV 5 16"));
    EXPECT_TRUE(Reply("GP GFPV 0x1A2B"));
    EXPECT_TRUE(Reply("GP GFPV 0x3C4D"));
    EXPECT_TRUE(Reply("GP GFWV 1 2 3"));
    EXPECT_TRUE(Reply("GP GSFWV 0 4 5 6"));
    const auto events = DrainEvents();
    EXPECT_EQ(EventsOf<CGetFPGAVerEvent>(events).size(), 4u);
    EXPECT_EQ(EventsOf<CGetSTMVerEvent>(events).size(), 2u);

    const auto fpga = processor_->GetFpgaVersions();
    EXPECT_EQ(fpga, (CQelProcessor::VersionTable{
                        {0, "主控板：1a2b\r\n"}, {3, "输入板2:ab\r\n"}, {6, "输出板5:10\r\n"}}));
    const auto firmware = processor_->GetFirmwareVersions();
    EXPECT_EQ(firmware, (CQelProcessor::VersionTable{{0, "主控板：1 2 3\r\n"}, {1, "输入板0:4 5 6\r\n"}}));

    // A board number below 0 would take the main board's key.
    processor_->ClearFpgaVersions();
    EXPECT_TRUE(Reply("GP GSFPV 4294967295 1")); // acknowledged all the same
    EXPECT_TRUE(processor_->GetFpgaVersions().empty());

    // Models without board words store the bare version.
    processor_->SetKind(9);
    EXPECT_TRUE(Reply("GP GSFPV 1 255"));
    EXPECT_EQ(processor_->GetFpgaVersions().at(2), "ff\r\n");

    EXPECT_FALSE(Reply("GP GFPV 1", kUnowned));
}

TEST(ReplyNumbers, ReadAsScanfWouldButWrapToThirtyTwoBits)
{
    EXPECT_EQ((ReadReplyNumbers<3>("GP X 4294967295 -2 +7\r\n", "GP X")), (std::array{-1, -2, 7}));
    // 2^64 + 5 and a 40-digit number: wrapped, never undefined.
    EXPECT_EQ((ReadReplyNumbers<2>("GP X 18446744073709551621 9999999999999999999999999999999999999999",
                                   "GP X")[0]),
              5);
    // Reading stops at the first text that is no number; the rest stay 0.
    EXPECT_EQ((ReadReplyNumbers<3>("GP X 1 abc 3", "GP X")), (std::array{1, 0, 0}));
    EXPECT_EQ((ReadReplyNumbers<2>("GP X - 3", "GP X")), (std::array{0, 0}));
    EXPECT_EQ((ReadReplyNumbers<2>("GP Y 1 2", "GP X")), (std::array{0, 0}));
    // Like "%d" after the keyword, digits that end the keyword's word count.
    EXPECT_EQ((ReadReplyNumbers<2>("GP RISMG2 1", "GP RISMG")), (std::array{2, 1}));

    EXPECT_TRUE(IsValidModelId(0));
    EXPECT_TRUE(IsValidModelId(0xFFFFFFFE));
    EXPECT_FALSE(IsValidModelId(0xFFFFFFFF));
    EXPECT_FALSE(IsValidModelId(-100));
}

TEST(PortDescriptors, LookUpTheFixedRows)
{
    const auto& table = CQel_PORT_DSCP_S_map::get_instance();
    EXPECT_EQ(table.Find(8), nullptr);
    EXPECT_EQ(table.Find(255), nullptr);
    const CQel_PORT_DSCP_S* dvi = table.Find(15);
    ASSERT_NE(dvi, nullptr);
    EXPECT_EQ(dvi->name, "DVI");
    EXPECT_EQ(dvi->boardType, 21);
    EXPECT_EQ(dvi->boardClass, 1);
    ASSERT_NE(table.Find(6), nullptr);
    EXPECT_EQ(table.Find(6)->name, "VGAHDMIYPBPRCVBS");
    EXPECT_EQ(table.Find(18)->boardType, 23);
}
