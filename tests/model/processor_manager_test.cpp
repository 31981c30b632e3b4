#include "model/processor.h"
#include "model/board.h"
#include "model/processor_manager.h"

#include <gtest/gtest.h>

#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "model_test_support.h"
#include "model/shared_lookup.h"

namespace {

const std::string kFileStart = "<?xml version=\"1.0\"?><Processor version=\"V1\" protype=\"8\" Authorization=\"0\">"
                               "<App/><Connect/><Boards/><SignalOut/><VideoWall/><OutResolutions/><PlanNameSet/>";

struct Selection {
    int calls = 0;
    uint32_t processor = 0;
    uint32_t source = 0;
};

CQelProMan::SelectSource Recorder(Selection& s)
{
    return [&s](uint32_t processor, uint32_t source) {
        ++s.calls;
        s.processor = processor;
        s.source = source;
    };
}

} // namespace

TEST(ProcessorManager, DefaultProcessorSelectsItsFirstSource)
{
    WriteText(CQelProcessor::ProFilePath(),
              kFileStart + "<SignalSource><SigSrc id=\"300\"/><SigSrc id=\"200\"/></SignalSource></Processor>");
    CQelProMan man;
    Selection selection;
    EXPECT_TRUE(man.CreateDefaultProcessor(Recorder(selection)));
    EXPECT_EQ(selection.calls, 1);
    EXPECT_EQ(selection.processor, 1u);
    EXPECT_EQ(selection.source, 300u);
    ASSERT_NE(man.FindById(1), nullptr);
    EXPECT_EQ(man.FindById(1)->GetKind(), 8);
    EXPECT_EQ(man.GetSigSrcOf(1, 200)->GetId(), 200u);
    EXPECT_EQ(man.GetSigSrcOf(1, 7), nullptr);
    EXPECT_EQ(man.GetSigSrcOf(2, 200), nullptr);

    auto second = std::make_shared<CQelProcessor>();
    second->SetId(1);
    EXPECT_FALSE(man.AddProcessor(second));
    EXPECT_FALSE(man.AddProcessor(nullptr));
    EXPECT_EQ(man.GetProcessors().size(), 1u);

    second->SetId(2);
    second->settings().SetChannelId(5);
    EXPECT_TRUE(man.AddProcessor(second));
    EXPECT_EQ(man.FindByChannel(5), second);
    EXPECT_EQ(man.FindByChannel(6), nullptr);
}

TEST(ProcessorManager, DefaultProcessorExistsWhateverTheFile)
{
    for (const std::string& text :
         {kFileStart + "<SignalSource/></Processor>", std::string("<Processor version=\"V2\"/>")}) {
        WriteText(CQelProcessor::ProFilePath(), text);
        CQelProMan man;
        Selection selection;
        EXPECT_TRUE(man.CreateDefaultProcessor(Recorder(selection)));
        EXPECT_EQ(selection.calls, 0);
        ASSERT_EQ(man.GetProcessors().size(), 1u);
        EXPECT_EQ(man.GetProcessors()[0]->GetId(), 1u);
    }
}

TEST(ProcessorManager, SharedLookupsCopyOrGiveEmpty)
{
    std::vector<std::shared_ptr<CQelBoard>> boards{std::make_shared<CQelBoard>(3), std::make_shared<CQelBoard>(4),
                                                   std::make_shared<CQelBoard>(3)};
    const auto found = FindSharedById(3u, boards);
    EXPECT_EQ(found, boards[0]);
    EXPECT_EQ(boards[0].use_count(), 2);
    EXPECT_EQ(FindSharedById(9u, boards), nullptr);
    EXPECT_EQ(SharedAtIndex(1, boards), boards[1]);
    EXPECT_EQ(SharedAtIndex(-1, boards), nullptr);
    EXPECT_EQ(SharedAtIndex(3, boards), nullptr);
}
