#include <chrono>
#include <thread>

#include "comm/net_manager.h"
#include "core/events.h"
#include "model/board.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "replies/port_names.h"
#include "tests/replies/reply_test_support.h"
#include "tests/support/queued_events.h"
#include "tests/support/recording_channel.h"
#include "tests/support/test_files.h"

using namespace std::chrono_literals;
using tavrix::test::DatedLog;

namespace {

std::vector<uint32_t> SourceIds(const CQelProcessor& processor)
{
    std::vector<uint32_t> ids;
    for (const auto& source : processor.GetSigSrcs())
        ids.push_back(source->GetId());
    return ids;
}

std::vector<std::string> Outputs(const CQelProcessor& processor)
{
    std::vector<std::string> outputs;
    for (const auto& output : processor.GetSigOuts())
        outputs.push_back(std::to_string(output->GetId()) + " " + output->GetName());
    return outputs;
}

std::vector<uint32_t> Range(uint32_t first, uint32_t last)
{
    std::vector<uint32_t> ids;
    for (uint32_t id = first; id <= last; ++id)
        ids.push_back(id);
    return ids;
}

using Texts = std::vector<std::string>;

} // namespace

TEST_F(ReplyTest, InputSlotReplyMakesAndRemovesAMultiViewBoard)
{
    EXPECT_TRUE(Reply("GP RISMG 2 1"));
    ASSERT_NE(processor_->GetBoard(2), nullptr);
    EXPECT_EQ(processor_->GetBoard(2)->GetName(), "Video_2");
    EXPECT_EQ(SourceIds(*processor_), Range(200, 227));
    const auto tile = processor_->GetSigSrc(205)->GetValues();
    EXPECT_EQ(tile.name, "Video2_6");
    EXPECT_EQ((std::pair{tile.startPoint.x, tile.startPoint.y}), (std::pair{1280, 540}));
    EXPECT_EQ(tile.resolution, (Resolution{640, 540, 60}));
    EXPECT_EQ(processor_->GetSigSrc(201)->GetValues().startPoint.x, 640);
    EXPECT_EQ(processor_->GetSigSrc(224)->GetName(), "6Videos2_1");
    EXPECT_EQ(processor_->GetSigSrc(227)->GetName(), "6Videos2_4");
    auto events = DrainEvents();
    EXPECT_EQ(EventsOf<CSigSrcAddedEvent>(events).size(), 28u);
    EXPECT_TRUE(Reply("GP RISMG 2 1")); // the same board again changes nothing
    EXPECT_TRUE(DrainEvents().empty());

    EXPECT_TRUE(Reply("GP RISMG 2 7"));
    EXPECT_EQ(processor_->GetBoard(2), nullptr);
    EXPECT_EQ(processor_->records().GetSigSrcCount(), 0u);
    events = DrainEvents();
    EXPECT_EQ(EventsOf<CSigSrcRemovedEvent>(events).size(), 28u);

    // Ids past the 32-bit range make nothing.
    EXPECT_FALSE(Reply("GP RISMG 42949673 0"));
    EXPECT_FALSE(Reply("GP RISMG 4294967295 0"));
    EXPECT_EQ(processor_->records().GetBoardCount(), 0u);
}

TEST_F(ReplyTest, OutputSlotReplyMakesFourOutputs)
{
    EXPECT_TRUE(Reply("GP ROSMG 1 0"));
    ASSERT_NE(processor_->GetBoard(11), nullptr);
    EXPECT_EQ(processor_->GetBoard(11)->GetType(), 21);
    EXPECT_EQ(Outputs(*processor_), (Texts{"1100 输出11", "1101 输出12", "1102 输出13", "1103 输出14"}));
    EXPECT_TRUE(Reply("GP ROSMG 1 1"));
    EXPECT_EQ(processor_->GetBoard(11), nullptr);
    EXPECT_EQ(processor_->GetSigOutCount(), 0u);
}

TEST_F(ReplyTest, SlotMessageDescribesBoardsByDescriptor)
{
    processor_->SetKind(8);
    EXPECT_TRUE(Reply("GP RSMG 9 15 3 4")); // an output board: id 100 + slot
    const auto board = processor_->GetBoard(109);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->GetName(), "DVI");
    EXPECT_EQ(Outputs(*processor_), (Texts{"10900 输出 1_1", "10901 输出 1_2", "10902 输出 1_3"}));
    const auto before = processor_->GetSigOuts();
    EXPECT_TRUE(Reply("GP RSMG 9 15 3 4"));
    EXPECT_EQ(processor_->GetSigOuts(), before); // the very same records
    EXPECT_EQ(processor_->GetBoard(109), board);

    // Input boards; a CVBS board's ports 4 and up skip four ids.
    EXPECT_TRUE(Reply("GP RSMG 1 2 4 0"));
    EXPECT_TRUE(Reply("GP RSMG 3 4 6 0"));
    EXPECT_EQ(SourceIds(*processor_), (std::vector<uint32_t>{100, 101, 102, 103, 300, 301, 302, 303, 308, 309}));
    EXPECT_EQ(processor_->GetSigSrc(101)->GetName(), "2_2 Signal");
    EXPECT_TRUE(Reply("GP RSMG 3 255 0 0"));
    EXPECT_EQ(processor_->GetBoard(3), nullptr);
    EXPECT_EQ(SourceIds(*processor_), Range(100, 103));
    EXPECT_FALSE(Reply("GP RSMG 1 8 4 2")); // no such descriptor

    // A port count that runs into the next board's ids is refused whole.
    LogEverything();
    DrainEvents();
    EXPECT_FALSE(Reply("GP RSMG 1 2 2147483647 0"));
    EXPECT_FALSE(Reply("GP RSMG 5 4 97 0")); // CVBS port 96 would be id 600
    EXPECT_EQ(SourceIds(*processor_), Range(100, 103));
    EXPECT_TRUE(DrainEvents().empty());
    EXPECT_NE(DatedLog("TAVRIX").find("slot message: port count 2147483647 refused"), std::string::npos);
    EXPECT_TRUE(Reply("GP RSMG 5 4 96 0"));
    EXPECT_NE(processor_->GetSigSrc(599), nullptr);
}

TEST_F(ReplyTest, Model6SlotMessageQueuesItsQueries)
{
    auto channel = std::make_shared<CRecordingChannel>(&CNetManager::get_instance(), "PRO_Tcp_1");
    const uint32_t id = CNetManager::get_instance().Register(channel);
    processor_->settings().SetChannelId(id);
    channel->Open(); // no address: records without sending
    processor_->link().SetSenderPause(0);
    processor_->SetKind(6);

    EXPECT_TRUE(Reply("GP RSMG 1 6 2 0", id));
    EXPECT_EQ(Outputs(*processor_), (Texts{"1100 DVI1/SDI1", "1101 DVI2/SDI2"}));
    const auto wall = processor_->GetWall();
    EXPECT_EQ((std::pair{wall.rows, wall.cols}), (std::pair{1, 2}));
    EXPECT_EQ(wall.cells, (CQelProcessor::WallMap{{{0, 0}, 1100}, {{0, 1}, 1101}}));
    EXPECT_EQ(processor_->GetOutputResolution(), (Resolution{1920, 1080, 60}));
    EXPECT_TRUE(Reply("GP RSMG 2 0 2 0", id));
    EXPECT_FALSE(Reply("GP RSMG 1 255 0 0", id));

    const Texts expected{"GP GOT 1 0\r\n", "GP GOT 1 1\r\n", "INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION 2 0\r\n",
                         "INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION 2 1\r\n"};
    for (int i = 0; i < 500 && channel->Texts().size() < expected.size(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(channel->Texts(), expected);
    CNetManager::get_instance().CloseAndRemove(id);
}

TEST_F(ReplyTest, PortNamesComeFromTheProcessorFileOrTheirNumbers)
{
    EXPECT_EQ(LoadProcessorPortNames(100, 6, 3), "");
    EXPECT_EQ(LoadProcessorPortNames(10902, 7, 0), "输出 8_3");
    EXPECT_EQ(LoadProcessorPortNames(100, 8, 3), "2_1 HDMI");
    EXPECT_EQ(LoadProcessorPortNames(205, 9, 11), "3_10 CVBS");
    EXPECT_EQ(LoadProcessorPortNames(203, 10, 42), "3_4 Signal");

    ASSERT_TRUE(tavrix::test::ReplaceText(CQelProcessor::ProFilePath(),
                                          "<Processor version=\"V1\"><SignalSource><SigSrc name=\"无号\"/>"
                                          "<SigSrc id=\"100\" name=\"主输入\"/><SigSrc id=\"100\" name=\"second\"/>"
                                          "<SigSrc id=\"101\" name=\"\"/></SignalSource></Processor>"));
    EXPECT_EQ(LoadProcessorPortNames(100, 8, 3), "主输入");
    EXPECT_EQ(LoadProcessorPortNames(0, 8, 3), "无号"); // no id reads as 0
    EXPECT_EQ(LoadProcessorPortNames(101, 8, 3), "2_2 HDMI");
    ASSERT_TRUE(tavrix::test::ReplaceText(CQelProcessor::ProFilePath(), "<Processor><Sig"));
    EXPECT_EQ(LoadProcessorPortNames(100, 8, 3), "2_1 HDMI");
}

TEST_F(ReplyTest, FourWayInputFollowsItsSelectedPicture)
{
    processor_->SetKind(4);
    EXPECT_TRUE(Reply("BOARD READ_SLOT_MESSAGE 2 6"));
    const auto source = processor_->GetSigSrc(200);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->GetName(), "输入2_1");
    EXPECT_EQ(source->GetChildCount(), 4u);
    DrainEvents();
    EXPECT_TRUE(Reply("BOARD GET_INPUT_VIDEO_SWITCH 2 3"));
    EXPECT_EQ(source->GetCurChildId(), 3u);
    const auto events = DrainEvents();
    EXPECT_EQ(EventsOf<CSigSrcChildChangedEvent>(events).size(), 1u);

    // Each picture reports its size; only the selected one sizes the input.
    EXPECT_TRUE(Reply("BOARD READ_INPUT_SOURCE_RESOLUTION 2 1 5 6 720 576"));
    EXPECT_EQ(source->GetChild(1)->GetResolution(), (Resolution{720, 576, 60}));
    EXPECT_EQ(source->GetResolution(), (Resolution{704, 474, 60}));
    EXPECT_TRUE(Reply("BOARD READ_INPUT_SOURCE_RESOLUTION 2 3 5 6 720 480"));
    EXPECT_EQ(source->GetResolution(), (Resolution{720, 480, 60}));
}
