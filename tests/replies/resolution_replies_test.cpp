#include "tests/replies/reply_test_support.h"
#include "core/events.h"
#include "model/processor_records.h"
#include "model/sig_src.h"
#include "tests/support/queued_events.h"
#include "tests/support/test_files.h"

using tavrix::test::DatedLog;

TEST_F(ReplyTest, OutputResolutionRepliesSetTheProcessor)
{
    // Hundredths of a hertz, rounded half up.
    for (const auto& [hundredths, rate] : {std::pair{"5994", 60}, {"2997", 30}, {"2949", 29}}) {
        EXPECT_TRUE(Reply(std::string("BOARD GET_OUTPUT_RESOLUTION 1920 1080 ") + hundredths));
        EXPECT_EQ(processor_->GetOutputResolution(), (Resolution{1920, 1080, rate}));
    }

    // Interlaced timings keep their large rates.
    const auto left = std::make_shared<CQelSigOut>(1200);
    const auto right = std::make_shared<CQelSigOut>(1201);
    processor_->AddSigOut(left);
    processor_->AddSigOut(right);
    EXPECT_TRUE(Reply("GP GOT 2 0 8 0 0 1280 720"));
    EXPECT_TRUE(Reply("GP GOT 2 1 15 0 0 1920 1080"));
    EXPECT_EQ(left->GetResolution(), (Resolution{1280, 720, 30}));
    EXPECT_EQ(right->GetResolution(), (Resolution{1920, 1080, 60000}));
    EXPECT_EQ(processor_->GetOutputResolution(), (Resolution{1920, 1080, 60000}));
    EXPECT_TRUE(Reply("GP GOT 2147483647 0 14 0 0 1 1")); // ids past the range
    EXPECT_EQ(processor_->GetOutputResolution(), (Resolution{0, 0, 50000}));
    EXPECT_FALSE(Reply("GP GOT 2 1 15 0 0 1920 1080", kUnowned));
}

TEST_F(ReplyTest, MultiViewTileResizesItsComposite)
{
    EXPECT_TRUE(Reply("GP RISMG 3 1"));
    EXPECT_TRUE(Reply("GP RISR 3 7 0 0 800 600"));
    EXPECT_EQ(processor_->GetSigSrc(307)->GetResolution(), (Resolution{800, 600, 60}));
    // Width of the top row 306-308, height of the left column 306 and 309.
    EXPECT_EQ(processor_->GetSigSrc(325)->GetResolution(), (Resolution{2080, 1080, 60}));
    EXPECT_TRUE(Reply("GP RISR 3 9 0 0 640 2147483647")); // sum past 32 bits
    EXPECT_EQ(processor_->GetSigSrc(325)->GetResolution(), (Resolution{2080, 1080, 60}));
}

TEST_F(ReplyTest, AdjustRepliesSetIndexesZeroToThree)
{
    EXPECT_TRUE(Reply("GP RISMG 2 2"));
    const auto source = processor_->GetSigSrc(200);
    const auto before = source->GetAdjust();
    EXPECT_TRUE(Reply("BOARD ADV7604_GET_CTRL 2 5 100"));
    EXPECT_TRUE(Reply("BOARD ADV7604_GET_CTRL 2 4294967295 100"));
    EXPECT_EQ(source->GetAdjust(), before);
    EXPECT_TRUE(Reply("BOARD ADV7604_GET_CTRL 2 1 77"));
    EXPECT_TRUE(Reply("BOARD TVP5158_GET_CTRL 2 9 3 50"));
    EXPECT_EQ(source->GetAdjust(), (CQelSigSrc::Adjust{before[0], 77, before[2], 50}));
}

TEST_F(ReplyTest, Model6InputResolutionNeedsItsBoard)
{
    processor_->SetKind(6);
    LogEverything();
    EXPECT_FALSE(Reply("INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION 5 0 0 0 1920 1080 0 0"));
    EXPECT_NE(DatedLog("TAVRIX").find("read_input_source_resolution : board 5 not found"), std::string::npos);

    EXPECT_TRUE(Reply("GP RSMG 2 0 2 0"));
    DrainEvents();
    EXPECT_TRUE(Reply("INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION 2 1 0 0 1920 1080 3 0"));
    const auto source = processor_->GetSigSrc(201);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->GetName(), "输入板2_SDI2");
    EXPECT_TRUE(source->IsJoined());
    EXPECT_TRUE(Reply("INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION 2 1 0 0 0 0 3 0"));
    EXPECT_FALSE(source->IsJoined());
    const auto events = DrainEvents();
    EXPECT_EQ(EventsOf<CSigSrcAddedEvent>(events).size(), 1u);
    EXPECT_EQ(EventsOf<CSigSrcUpdateEvent>(events).size(), 2u);
}

TEST_F(ReplyTest, FpgaInputResolutionMakes4KQuarters)
{
    processor_->SetKind(8);
    EXPECT_TRUE(Reply("GP RSMG 1 7 1 0"));
    DrainEvents();
    EXPECT_TRUE(Reply("I_F RISR 1 0 0 0 3840 2160 7 6000"));
    const auto source = processor_->GetSigSrc(100);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->GetType(), 13);
    EXPECT_EQ(source->GetResolution(), (Resolution{3840, 2160, 60}));
    EXPECT_EQ(processor_->records().GetSigSrcCount(), 1u);
    const auto quarters = processor_->records().GetListBItems();
    ASSERT_EQ(quarters.size(), 4u);
    for (uint32_t q = 0; q < 4; ++q) {
        EXPECT_EQ(quarters[q]->GetId(), 100 + q);
        EXPECT_EQ(quarters[q]->GetResolution(), (Resolution{1920, 1080, 60}));
    }
    const auto events = DrainEvents();
    const auto added = EventsOf<CSigSrcAddedEvent>(events);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0]->sourceId, 100);
}

TEST_F(ReplyTest, FpgaInputResolutionReadsEndCoordinates)
{
    processor_->SetKind(8);
    EXPECT_TRUE(Reply("GP RSMG 1 2 4 0"));
    EXPECT_TRUE(Reply("I_F RISR 1 0 100 50 1380 770 2 6000"));
    const auto source = processor_->GetSigSrc(100);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->GetType(), 6);
    EXPECT_EQ(source->GetResolution(), (Resolution{1280, 720, 60}));
    EXPECT_EQ((std::pair{source->GetStartPoint().x, source->GetStartPoint().y}), (std::pair{100, 50}));
    EXPECT_TRUE(source->IsJoined());

    // The same reply again keeps the source: no removal, no new one.
    DrainEvents();
    EXPECT_TRUE(Reply("I_F RISR 1 0 100 50 1380 770 2 6000"));
    EXPECT_EQ(processor_->GetSigSrc(100), source);
    EXPECT_TRUE(DrainEvents().empty());

    // A size past 32 bits, a cut reply and the poll's own echo change
    // nothing.
    for (const char* bad :
         {"I_F RISR 1 0 2147483648 0 2147483647 10 2 6000", "I_F RISR 1 0 100 50 1380", "I_F RISR 1 0"}) {
        EXPECT_FALSE(Reply(bad)) << bad;
        EXPECT_EQ(processor_->GetSigSrc(100), source) << bad;
        EXPECT_TRUE(DrainEvents().empty()) << bad;
    }
}
