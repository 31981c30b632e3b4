#include "tests/model/link_fixture.h"

#include "model/osd_item.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_requests.h"
#include "model/processor_settings.h"
#include "model/sig_out.h"
#include "model/sig_src.h"
#include "tests/support/recording_channel.h"
#include "tests/support/test_files.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

namespace {

using tavrix::test::DatedLog;
using Lines = std::vector<std::string>;

void AddResolution(CQelProcessor& processor, uint32_t id, int32_t width, int32_t height)
{
    processor.records().AddResolution({id, "r" + std::to_string(id), {width, height, 60}});
}

std::shared_ptr<CQelSigSrc> AddSource(CQelProcessor& processor, uint32_t id, int32_t type)
{
    auto source = std::make_shared<CQelSigSrc>(id);
    source->SetType(type);
    processor.AddSigSrc(source, false, false);
    return source;
}

Lines Repeat(const std::string& format, int from, int to)
{
    Lines lines;
    for (int i = from; i <= to; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, format.c_str(), i);
        lines.push_back(line);
    }
    return lines;
}

Lines Concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace

TEST(DeviceRequests, SimpleSendersFormTheDeviceText)
{
    platform::ScaledClock clock(1); // echo windows at full length: replies cross threads
    LinkFixture link(clock, 8, 1);
    EXPECT_EQ(link.processor->requests().SetBackgroundColor(1, 2, 3), 0);
    EXPECT_EQ(link.processor->requests().SendRawText("GP TYPE"), 0);
    EXPECT_EQ(link.processor->requests().WriteBackgroundYuv(1, 0, 0, 0), 0);
    EXPECT_EQ(link.processor->requests().SetClock(2024, 5, 6, 10, 20, 30), 0);
    EXPECT_EQ(link.processor->requests().SendQuery(16), 0);
    EXPECT_EQ(link.processor->requests().SendQuery(21), 1);
    const Lines expected = {
        "GP SODC 66051\r\n",
        "GP TYPE \r\n",
        "OUTPUT_FPGA WRITE 9 5152 2147516416\r\n",
        "OUTPUT_FPGA WRITE 9 5153 2147516416\r\n",
        "OUTPUT_FPGA WRITE 9 5154 2147516416\r\n",
        "OUTPUT_FPGA WRITE 9 5155 2147516416\r\n",
        "K_P TIME_SET 2024 5 6 10 20 30\r\n",
        "GP GIP1A 1\r\n",
    };
    EXPECT_EQ(link.SentBefore(), expected);
    // Queued requests write no sender-log line; confirmed ones follow a separator.
    EXPECT_EQ(DatedLog("Pro8x8Sender"), Separator() + expected[0] + Separator() + expected[1] + Separator() +
                                            expected[2] + expected[3] + expected[4] + expected[5]);
}

TEST(DeviceRequests, OutputTimingFollowsTheModel)
{
    platform::ScaledClock clock(20);
    LinkFixture link(clock, 7, 0);
    AddResolution(*link.processor, 5, 1280, 720);
    for (int32_t kind : {7, 8, 9, 10, 5}) {
        link.processor->SetKind(kind);
        EXPECT_EQ(link.processor->requests().SetOutputTiming(5), kind == 5 ? 1 : 0);
        EXPECT_EQ(link.processor->requests().SetOutputTiming(6), 1); // not in the list
    }
    EXPECT_EQ(link.SentBefore(false), (Lines{"GP SOT 2 1 5 1280 720 0 1 1\r\n", "GP SOT 9 1 5 1280 720 0 1 1\r\n",
                                             "GP SOT 0 0 5 1280 720 0 1 1\r\n", "GP SOT 9 1 5 1280 720 0 1 1\r\n"}));
}

TEST(DeviceRequests, NetworkSettersByModel)
{
    {
        platform::ScaledClock clock(20);
        LinkFixture link(clock, 6, 0);
        EXPECT_TRUE(link.processor->requests().SetNetwork("10.0.0.7", "5000")); // queued counts as done
        EXPECT_TRUE(link.processor->requests().SetGateway("10.0.1"));
        EXPECT_EQ(link.SentBefore(), (Lines{"GP SIPA 10 0 0 7\r\n", "GP STPN 5000\r\n", "GP SGW 10 0 1 0\r\n"}));
    }
    platform::ScaledClock clock(1); // echo windows at full length: replies cross threads
    LinkFixture link(clock, 8, 1);
    EXPECT_TRUE(link.processor->requests().SetNetwork("10.0.0.7", "5000"));
    EXPECT_TRUE(link.processor->requests().SetNetwork2("not an address", "8978"));
    EXPECT_TRUE(link.processor->requests().SetSubnetMask("255.255.255.0"));
    EXPECT_TRUE(link.processor->requests().SetGateway2("0.0.0.0"));
    EXPECT_EQ(link.SentBefore(), (Lines{"GP SIATP 10 0 0 7 5000\r\n", "GP SI1ATP 192 0 0 0 8978\r\n",
                                        "GP SSM 255 255 255 0 255\r\n", "GP SN1GW 192 0 0 0 0\r\n"}));
    link.simulator.SetEchoAll(false);
    EXPECT_FALSE(link.processor->requests().SetSubnetMask2("255.0.0.0"));
    link.processor->SetKind(3);
    EXPECT_FALSE(link.processor->requests().SetNetwork("10.0.0.7", "5000"));
}

TEST(DeviceRequests, StatusPollRotatesOverAllProcessors)
{
    platform::ScaledClock clock(20);
    LinkFixture link(clock, 7, 0);
    for (uint32_t id : {100, 101, 102})
        AddSource(*link.processor, id, 101);
    link.processor->settings().SetStatusPoll(false);
    link.processor->requests().QueryStatus();
    EXPECT_TRUE(link.SentBefore().empty());

    link.processor->settings().SetStatusPoll(true);
    auto other = std::make_shared<CQelProcessor>();
    other->SetKind(7);
    other->settings().SetChannelId(link.processor->settings().GetChannelId());
    for (uint32_t id : {200, 201, 202})
        AddSource(*other, id, 101);
    link.processor->requests().QueryStatus();
    other->requests().QueryStatus();
    link.processor->requests().QueryStatus();
    // Each processor's sender keeps its own order; sort the lines by board.
    Lines lines = link.Lines(3);
    std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a[9] < b[9]; });
    int first = -1;
    ASSERT_EQ(std::sscanf(lines[0].c_str(), "I_F RISR 1 %d", &first), 1);
    EXPECT_EQ(lines[1], "I_F RISR 1 " + std::to_string((first + 2) % 3) + "\r\n");
    EXPECT_EQ(lines[2], "I_F RISR 2 " + std::to_string((first + 1) % 3) + "\r\n");
}

TEST(DeviceRequests, StatusPollFormsByModel)
{
    platform::ScaledClock clock(20);
    LinkFixture link(clock, 3, 0);
    AddSource(*link.processor, 124, 101); // port 24: none
    link.processor->requests().QueryStatus();
    EXPECT_TRUE(link.SentBefore().empty());

    link.processor->RemoveSigSrc(124);
    link.processor->SetKind(2);
    auto source = AddSource(*link.processor, 301, CQelSigSrc::kTypeVideo4);
    source->AddChild(7, 0, "video 3", {704, 474, 60}, 2);
    source->SelectChild(7);
    link.processor->requests().QueryStatus();
    const Lines expected = Concat({Repeat("BOARD RISR 3 %d\r\n", 0, 3),
                                   {"BOARD GET_INPUT_VIDEO_SWITCH 3\r\n"},
                                   Repeat("BOARD TVP5158_GET_CTRL 3 2 %d\r\n", 0, 3)});
    EXPECT_EQ(link.SentBefore(), expected);
}

TEST(DeviceRequests, SlotDiscoveryByModel)
{
    platform::ScaledClock clock(20);
    LinkFixture link(clock, 3, 0);
    // The device answers these with slot replies, never with echoes: an
    // echo would reach the slot parsers and change the model under test.
    for (const char* query : {"GP RISMG", "GP ROSMG", "GP READ_SLOT_MESSAGE"})
        link.simulator.Silence(query);
    link.processor->requests().RequestSlotDiscovery(); // resolution 3 is not listed
    AddResolution(*link.processor, 3, 1920, 1080);
    link.processor->requests().RequestSlotDiscovery();
    EXPECT_EQ(link.SentBefore(), Concat({Repeat("GP RISMG %d\r\n", 0, 3), Repeat("GP ROSMG %d\r\n", 0, 3)}));
    EXPECT_EQ(link.channel->Units().size(), 3u); // two joined commands and the marker

    link.processor->SetKind(9);
    link.processor->requests().RequestSlotDiscovery();
    EXPECT_EQ(link.SentBefore(), (Lines{"GP SOT 0 0 3 1920 1080 0 1 1\r\n", "GP READ_SLOT_MESSAGE 0xFF\r\n"}));

    link.processor->SetKind(6);
    AddResolution(*link.processor, 7, 1280, 720);
    for (uint32_t id : {10100, 10101}) {
        auto output = std::make_shared<CQelSigOut>(id);
        output->SetResolution(id == 10100 ? Resolution{1920, 1080, 60} : Resolution{1280, 720, 60});
        link.processor->AddSigOut(output);
    }
    const platform::TimePoint start = clock.Now();
    link.processor->requests().RequestSlotDiscovery(); // the gap lies between queueing the two
    EXPECT_GE(clock.Now() - start, 500ms);
    EXPECT_EQ(link.SentBefore(), (Lines{"GP SOT 4 0 3\r\n", "GP SOT 4 1 7\r\n", "GP READ_SLOT_MESSAGE 0xFF\r\n"}));

    link.processor->SetKind(4);
    link.processor->records().SetOutputResolutionId(kNoId);
    link.processor->requests().RequestSlotDiscovery();
    EXPECT_EQ(link.SentBefore(), (Lines{"BOARD READ_SLOT_MESSAGE 0x0F\r\n", "BOARD GET_OUTPUT_RESOLUTION\r\n"}));
}

TEST(DeviceRequests, CommandListReplacesUnsentEchoedCommands)
{
    platform::SteppedClock clock;
    LinkFixture link(clock, 8, 0);
    link.processor->link().QueueEchoedCommand("GP SDMI 1\r\n");
    link.processor->QueueCommand("I_F RISR 1 0\r\n");
    link.processor->link().QueueEchoedCommand("GP SDMI 2\r\n");
    EXPECT_EQ(link.processor->requests().QueueCommandList({"I_F SWL 1 2\r\n", "I_F AW 1 2\r\n"}), 0);
    EXPECT_EQ(link.processor->link().GetQueuedCommandCount(), 3u);

    Lines lines;
    {
        ClockPump pump(clock);
        lines = link.Lines(3);
    }
    EXPECT_EQ(lines, (Lines{"I_F RISR 1 0\r\n", "I_F SWL 1 2\r\n", "I_F AW 1 2\r\n"}));
    EXPECT_EQ(DatedLog("Pro8x8Sender"), Separator() + "I_F SWL 1 2\r\nI_F AW 1 2\r\n");
}

TEST(DeviceRequests, OsdLinesGoInGroupsWithProgress)
{
    const Lines five = Repeat("I_F OSDWS 1 %d 0\r\n", 1, 5);
    {
        platform::ScaledClock clock(20);
        LinkFixture link(clock, 8, 0);
        RecordingProgress progress;
        EXPECT_EQ(link.processor->requests().SendOsdLines(&progress, five, 2, 0), 0);
        link.Lines(5);
        EXPECT_EQ(link.channel->Texts(), (Lines{five[0] + five[1], five[2] + five[3], five[4]}));
        EXPECT_EQ(progress.reports, (std::vector<std::pair<int, int>>{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {4, 5}, {5, 5}}));
    }
    platform::ScaledClock clock(1); // echo windows at full length: replies cross threads
    LinkFixture link(clock, 8, 1);
    RecordingProgress whole;
    // Groups of one end without an empty last send, which nothing would echo.
    EXPECT_EQ(link.processor->requests().SendOsdLines(&whole, {five[0], five[1]}, 1, 0), 0);
    EXPECT_EQ(whole.reports, (std::vector<std::pair<int, int>>{{1, 2}, {1, 2}, {2, 2}}));
    EXPECT_EQ(link.channel->Texts().size(), 2u);
    // A two-line buffer never matches the line-by-line echo.
    RecordingProgress grouped;
    EXPECT_EQ(link.processor->requests().SendOsdLines(&grouped, five, 2, 0), 1);
    EXPECT_EQ(grouped.reports, (std::vector<std::pair<int, int>>{{1, 5}, {6, 5}}));
}

TEST(DeviceRequests, DisplayModeStoreCompletesOnTheDevicesWord)
{
    platform::ScaledClock clock(1); // echo windows at full length: replies cross threads
    LinkFixture link(clock, 8, 1);
    link.simulator.AnswerDisplayModeStoredFrom(3);
    RecordingProgress progress;
    const Lines layout = {"I_F SWL 1 2\r\n", "O_F AW 3 4\r\n"};
    EXPECT_EQ(link.processor->requests().SwitchDisplayMode(4, &progress, true, layout), 0);
    Lines bpsw;
    for (int board = 9; board <= 12; ++board)
        for (const auto& line : Repeat("GP BPSW 0xFF 0xFF " + std::to_string(board) + " %d\r\n", 0, 3))
            bpsw.push_back(line);
    const Lines expected = Concat({{"GP SDMI 4\r\n"},
                                   bpsw,
                                   layout,
                                   Repeat("GP CDMS %d\r\n", 1, 1),
                                   Repeat("GP CDMS %d\r\n", 1, 1),
                                   Repeat("GP CDMS %d\r\n", 1, 1),
                                   {"GP SDMI 0\r\n"}});
    EXPECT_EQ(link.Lines(expected.size()), expected);
    EXPECT_EQ(progress.reports, (std::vector<std::pair<int, int>>{{0, 200}, {1, 200}, {2, 200}, {199, 200}}));
    const std::string timeLog = DatedLog("SysTimeLog");
    EXPECT_NE(timeLog.find("bRt:0\r\n"), std::string::npos);
    EXPECT_NE(timeLog.find("receive: GP CDMS 0\r\n"), std::string::npos);
}

TEST(DeviceRequests, DisplayModeStoreGivesUpAfterTwentySeconds)
{
    for (uint8_t netType : {1, 0}) {
        platform::ScaledClock clock(netType ? 4 : 50);
        LinkFixture link(clock, 8, netType);
        link.simulator.SetEchoAll(netType == 1); // echoes, or stays silent
        const platform::TimePoint start = clock.Now();
        EXPECT_EQ(link.processor->requests().SwitchDisplayMode(2, nullptr, true, {}), 1);
        EXPECT_GE(clock.Now() - start, 20s);
        const Lines lines = link.SentBefore(false);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "GP SDMI 0\r\n");
        EXPECT_NE(DatedLog("SysTimeLog").find("bRt:1\r\n"), std::string::npos);
    }
}

TEST(DeviceRequests, ClearListsByModel)
{
    const std::pair<int32_t, Lines> lists[] = {
        {7, Concat({Repeat("OUTPUT_FPGA CLEAR_OUTPUT_WIN 2 %d\r\n", 0, 3),
                    Repeat("OUTPUT_FPGA CLEAR_OUTPUT_WIN 3 %d\r\n", 0, 3),
                    {"O_F SUSD 2\r\n", "O_F SUSD 3\r\n"}})},
        {10, Concat({Repeat("OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 %d\r\n", 0, 3),
                     Repeat("OUTPUT_FPGA CLEAR_OUTPUT_WIN 10 %d\r\n", 0, 3),
                     Repeat("OUTPUT_FPGA CLEAR_OUTPUT_WIN 11 %d\r\n", 0, 3),
                     Repeat("OUTPUT_FPGA CLEAR_OUTPUT_WIN 12 %d\r\n", 0, 3), Repeat("O_F SUSD %d\r\n", 9, 12)})},
        {9, {"INTPUT_FPGA CLEAR_OUTPUT_WIN 0 0\r\n", "I_F SUSD 0\r\n"}},
    };
    for (const auto& [kind, list] : lists) {
        platform::ScaledClock clock(20);
        LinkFixture link(clock, kind, 0);
        link.simulator.SetEchoAll(false);
        link.simulator.AnswerDisplayModeStoredFrom(1);
        link.processor->requests().ClearOutputWindows(1, nullptr);
        const Lines lines = link.SentBefore(false);
        ASSERT_GT(lines.size(), 17u);
        const auto poll = std::find(lines.begin(), lines.end(), "GP CDMS 1\r\n");
        EXPECT_EQ(Lines(lines.begin() + 17, poll), list) << kind;
    }
    platform::ScaledClock clock(20);
    LinkFixture link(clock, 5, 0);
    EXPECT_EQ(link.processor->requests().ClearOutputWindows(1, nullptr), 1);
    EXPECT_TRUE(link.SentBefore().empty());
}

TEST(DeviceRequests, TimeOverlayAndDecoderChannelReadings)
{
    platform::ScaledClock clock(1); // echo windows at full length: replies cross threads
    LinkFixture link(clock, 8, 1);
    tagOSD_DATA_EX2_S item;
    item.input = 2;
    item.item = 1;
    item.timeMode = 2;
    item.timeLeft = 10;
    item.timeTop = 20;
    item.inputWidth = 1920;
    item.inputHeight = 1080;
    item.fontSize = 1;
    EXPECT_EQ(link.processor->requests().SetTimeOsd(item), 0);
    AddSource(*link.processor, 501, 101);
    EXPECT_EQ(link.processor->requests().ProgramEdid(501, 2), 0); // confirmed, ahead of the queued ones

    auto video = AddSource(*link.processor, 401, CQelSigSrc::kTypeVideo4);
    video->AddChild(1, 0, "video 2", {704, 474, 60}, 3);
    EXPECT_TRUE(link.processor->requests().SetPictureControl(401, 1, 200)); // no child selected: channel 0
    video->SelectChild(1);
    EXPECT_TRUE(link.processor->requests().SetPictureControl(401, 2, 100));
    EXPECT_TRUE(link.processor->requests().SetPictureControl(501, 0, 50));
    EXPECT_FALSE(link.processor->requests().SetPictureControl(999, 0, 50));
    EXPECT_EQ(link.processor->requests().SetTestPattern(10203, 4, 0x00FF00), 0);

    const Lines expected = {
        "I_F TIME_WE 2 1 2\r\n",
        "I_F TIME_WS 2 1 10 20 1910 1060\r\n",
        "I_F TIME_F 2 1 1\r\n",
        "INPUT_FPGA SET_INPUT_PORT_EDID 5 1 2 1\r\n",
        "BOARD TVP5158_SET_CTRL 4 0 1 200\r\n",
        "BOARD TVP5158_SET_CTRL 4 3 2 100\r\n",
        "BOARD ADV7604_SET_CTRL 5 0 50\r\n",
        "OUTPUT_FPGA SET_TEST_PATTERN_COLOR 2 3 4 0x00FF00\r\n",
    };
    EXPECT_EQ(link.SentBefore(), expected);

    // Models a sender does not serve get nothing and a failure.
    link.processor->SetKind(3);
    EXPECT_EQ(link.processor->requests().ProgramEdid(401, 2), 1); // not a kind-101 source
    EXPECT_EQ(link.processor->requests().SetTestPattern(10203, 4, 0), 1);
    EXPECT_EQ(link.processor->requests().WriteBackgroundYuv(1, 0, 0, 0), 1);
    EXPECT_FALSE(link.processor->requests().SetInputRouting(401, 1));
}
