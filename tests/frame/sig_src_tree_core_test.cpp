// The signal-source page's decisions without the tree widget: node texts,
// menus, where new inputs go, what a type reply queues and what a reset
// report means.
#include <gtest/gtest.h>

#include "core/language_tr.h"
#include "frame/sig_src_tree_core.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "tests/frame/sig_src_sources.h"
#include "tests/model/link_fixture.h"
#include "tests/support/test_files.h"

namespace {

// The captions of a menu in order, "-" for a separator.
std::vector<std::string> Captions(const ui::MenuSpec& menu)
{
    std::vector<std::string> captions;
    for (const auto& item : menu.items)
        captions.push_back(item.separator ? "-" : item.text.toStdString());
    return captions;
}

std::shared_ptr<CQelProcessor> Unlinked(int32_t kind)
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(2);
    processor->SetKind(kind);
    return processor;
}

// What QueueTypeFollowUp queues on the processor.
std::vector<std::string> FollowUp(CQelProcessor& processor)
{
    std::vector<std::string> queued;
    processor.link().SetPushObserver([&](std::string_view text, int32_t) { queued.emplace_back(text); });
    QueueTypeFollowUp(processor);
    processor.link().SetPushObserver({});
    return queued;
}

} // namespace

TEST(SigSrcTreeCore, NodeTextsShowStatusDeviceAndCurrentChild)
{
    auto processor = Unlinked(7);
    processor->SetName("8x8处理器");
    EXPECT_EQ(ProcessorNodeText(*processor, LinkStatus::Disconnected), "8x8处理器(未连接)");
    EXPECT_EQ(ProcessorNodeText(*processor, LinkStatus::Connecting), "8x8处理器(正在连接)");
    EXPECT_EQ(ProcessorNodeText(*processor, LinkStatus::Connected), "8x8处理器(已经连接)");
    auto connection = processor->settings().GetConnection();
    connection.type = 2;
    connection.serialDevice = "/dev/pts/7";
    connection.serialAutoDetect = 0;
    processor->settings().SetConnection(connection);
    EXPECT_EQ(ProcessorNodeText(*processor, LinkStatus::Connected), "8x8处理器(已经连接/dev/pts/7)");
    EXPECT_EQ(ProcessorNodeText(*processor, LinkStatus::Connecting), "8x8处理器(正在连接)");

    AddPlainSource(*processor, 100);
    auto dviVga = AddDviVgaSource(*processor, 101);
    EXPECT_EQ(InputNodeText(*processor, 100), "IN100(1920x1080)");
    EXPECT_EQ(InputNodeText(*processor, 101), "IN101(1920x1080)");
    ASSERT_TRUE(dviVga->SelectChild(1));
    EXPECT_EQ(InputNodeText(*processor, 101), "IN101(DVI)(1920x1080)");
    EXPECT_EQ(InputNodeText(*processor, 102), std::nullopt);
    processor->link().StopSender();
}

TEST(SigSrcTreeCore, MenusFollowLinkModelApplicationTypeEdidAndObm)
{
    platform::SteadyClock clock;
    LinkFixture link(clock, 2, 0);
    ASSERT_TRUE(tavrix::test::WaitFor([&] { return link.processor->IsConnected(); }, 20s));
    EXPECT_EQ(Captions(ProcessorMenu(*link.processor, 1)),
              (std::vector<std::string>{"断开连接", "初始化处理器", "-", "设置", "更改处理器日期和时间",
                                        "显示处理器保存方案", "设置输出板底色"}));

    auto model7 = Unlinked(7);
    const std::vector<std::string> fullMenu = {"Tcp连接",
                                               "串口连接",
                                               "-",
                                               "设置",
                                               "-",
                                               "设置屏幕墙",
                                               "-",
                                               "测试输出端口",
                                               "-",
                                               "处理器参数复位",
                                               "更改处理器日期和时间",
                                               "显示处理器保存方案",
                                               "设置输出板底色"};
    EXPECT_EQ(Captions(ProcessorMenu(*model7, 1)), fullMenu);
    EXPECT_EQ(ProcessorMenu(*model7, 1).items[9].id, sigsrcmenu::kReset);
    std::vector<std::string> noWall = fullMenu;
    noWall.erase(noWall.begin() + 4, noWall.begin() + 6);
    EXPECT_EQ(Captions(ProcessorMenu(*model7, 0)), noWall);
    // The wall set-up without the LED items for the 16x16 model; neither
    // for a model without a wall editor.
    EXPECT_EQ(Captions(ProcessorMenu(*Unlinked(3), 1)),
              (std::vector<std::string>{"Tcp连接", "串口连接", "-", "设置", "-", "设置屏幕墙", "更改处理器日期和时间",
                                        "显示处理器保存方案", "设置输出板底色"}));
    EXPECT_EQ(ProcessorMenu(*Unlinked(1), 1).items.size(), 7u);
    for (int32_t kind = 1; kind <= 10; ++kind)
        EXPECT_EQ(ModelHasReset(kind), kind == 4 || kind >= 7) << kind;

    // Input menus: EDID only with a setting and a link, the parameters only
    // for the LED kinds of the wall editor with OBM other than 1.
    auto source = AddPlainSource(*link.processor, 100);
    source->SetEdid(1);
    EXPECT_EQ(Captions(InputMenu(*link.processor, *source, 1)), (std::vector<std::string>{"重命名", "设置EDID"}));
    source->SetEdid(kNoId);
    EXPECT_EQ(Captions(InputMenu(*link.processor, *source, 1)), (std::vector<std::string>{"重命名"}));
    auto led = AddPlainSource(*model7, 100);
    EXPECT_EQ(Captions(InputMenu(*model7, *led, 1)), (std::vector<std::string>{"重命名", "设置输入信号源参数"}));
    EXPECT_EQ(Captions(InputMenu(*model7, *led, 0)), (std::vector<std::string>{"重命名"}));
    model7->settings().SetObm(1);
    EXPECT_EQ(Captions(InputMenu(*model7, *led, 1)), (std::vector<std::string>{"重命名"}));
    EXPECT_EQ(Captions(ChildMenu()), (std::vector<std::string>{"切换"}));
    model7->link().StopSender();
}

TEST(SigSrcTreeCore, NewInputsKeepIdsAscendingAndOrdinalsCountFourABoard)
{
    const std::vector<int32_t> shown = {100, 101, 103};
    EXPECT_EQ(InsertAfter(shown, 102), 1u);
    EXPECT_EQ(InsertAfter(shown, 99), std::nullopt);
    EXPECT_EQ(InsertAfter(shown, 104), 2u);
    EXPECT_EQ(InsertAfter({}, 5), std::nullopt);
    EXPECT_EQ(InsertAfter({100, 101, 101, 103}, 102), 2u); // the later of equals
    EXPECT_EQ(InsertAfter({100, 101}, 101), 0u);           // an equal id goes after it

    EXPECT_EQ(SourceOrdinal(203), 12);
    EXPECT_EQ(SourceOrdinal(100), 5);
    EXPECT_EQ(SourceOrdinal(0), 1);
}

TEST(SigSrcTreeCore, ResetReportsAboveTheTotalAreFailures)
{
    EXPECT_EQ(ClassifyResetReport(0, 5), ResetReport::Progress);
    EXPECT_EQ(ClassifyResetReport(4, 5), ResetReport::Progress);
    EXPECT_EQ(ClassifyResetReport(5, 5), ResetReport::Done);
    EXPECT_EQ(ClassifyResetReport(0, 0), ResetReport::Done); // a model without steps
    EXPECT_EQ(ClassifyResetReport(6, 5), ResetReport::Failed);
    EXPECT_EQ(ClassifyResetReport(1, 0), ResetReport::Failed);
}

TEST(SigSrcTreeCore, TypeReplyQueuesTimingAndSlotQueriesByModel)
{
    platform::ScaledClock clock(50); // the side-by-side model pauses 500 ms
    platform::ScopedClock scoped(clock);
    const CQelProcessor::ResolutionEntry hd{3, "1080p", {1920, 1080, 60}};
    const CQelProcessor::ResolutionEntry xga{5, "XGA", {1024, 768, 60}};

    auto model7 = Unlinked(7);
    model7->records().SetResolutionList({hd});
    model7->records().SetOutputResolutionId(3);
    EXPECT_EQ(FollowUp(*model7),
              (std::vector<std::string>{"GP SOT 2 1 3 1920 1080 0 1 1\r\n", "GP READ_SLOT_MESSAGE 0xFF\r\n"}));
    // An id the list does not hold: nothing.
    model7->records().SetOutputResolutionId(9);
    EXPECT_TRUE(FollowUp(*model7).empty());

    // Model 4 without a resolution still reads its slots.
    auto model4 = Unlinked(4);
    model4->records().SetOutputResolutionId(kNoId);
    EXPECT_EQ(FollowUp(*model4),
              (std::vector<std::string>{"BOARD READ_SLOT_MESSAGE 0x0F\r\n", "BOARD GET_OUTPUT_RESOLUTION\r\n"}));

    // The side-by-side model times outputs 1400 and 1401 by their own
    // resolutions, whatever other outputs come first.
    auto model6 = Unlinked(6);
    model6->records().SetResolutionList({hd, xga});
    model6->records().SetOutputResolutionId(3);
    for (auto [id, size] :
         {std::pair<uint32_t, Resolution>{100, {1920, 1080, 60}}, {1400, {1024, 768, 60}}, {1401, {1920, 1080, 60}}}) {
        auto output = std::make_shared<CQelSigOut>(id);
        output->SetResolution(size);
        model6->AddSigOut(output);
    }
    EXPECT_EQ(FollowUp(*model6),
              (std::vector<std::string>{"GP SOT 4 0 5\r\n", "GP SOT 4 1 3\r\n", "GP READ_SLOT_MESSAGE 0xFF\r\n"}));
    for (auto* p : {model7.get(), model4.get(), model6.get()})
        p->link().StopSender();
}
