// The shortcut-key layouts and the wall editors' working copy, without
// windows.
#include <gtest/gtest.h>

#include "dialogs/key_layouts.h"
#include "dialogs/wall_setup_core.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "tests/builder/sender_test_support.h"

namespace {

std::string Lines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

} // namespace

TEST(KeyLayouts, FullOutputKeyIsOneCommandOfSixLines)
{
    EXPECT_EQ(
        KeyLayoutCommand(1, 1920, 1080, {KeyInput{0, 1920, 1080}}, FullKeyWindows(1920, 1080)),
        Lines({"INPUT_FPGA SET_KEY_MODE 1", "INPUT_FPGA SCALER_SETUP 0 0 0 1920 1080 0 1919 0 1079 1920 1080",
               "INPUT_FPGA SET_WINDOWS_LAYOUT 0 0 1920 1080", "INPUT_FPGA ADD_WINDOWS 4 1 0 0 1920 1080 0 0 1920 1080",
               "INPUT_FPGA ADD_WINDOWS_END", "INPUT_FPGA SET_KEY_MODE 0"}));
    // The quarter layout scales every input to half the output, also where
    // an odd output leaves the right and bottom windows a pixel larger.
    const auto quad = QuadKeyWindows(1921, 1081);
    ASSERT_EQ(quad.size(), 4u);
    EXPECT_EQ(quad[1], (KeyWindow{960, 0, 1921, 540, 960, 540}));
    EXPECT_EQ(quad[3], (KeyWindow{960, 540, 1921, 1081, 960, 540}));
    const std::string text = KeyLayoutCommand(
        5, 1921, 1081,
        {KeyInput{0, 1920, 1080}, KeyInput{1, 1280, 720}, KeyInput{2, 1920, 1080}, KeyInput{3, 1920, 1080}}, quad);
    EXPECT_NE(text.find("INPUT_FPGA SCALER_SETUP 0 1 1 1280 720 0 1279 0 719 960 540\r\n"), std::string::npos);
    EXPECT_NE(text.find("INPUT_FPGA ADD_WINDOWS 7 4 0 0 960 540 960 540 1921 1081\r\n"), std::string::npos);
}

TEST(KeyLayouts, PairsFitEachInputToItsHalf)
{
    const KeyInput wide{0, 1920, 1080};
    const KeyInput tall{1, 1080, 1920};
    struct Case {
        const char* name;
        std::vector<KeyWindow> got;
        std::vector<KeyWindow> want;
    };
    const Case cases[] = {
        // Centred vertically at rows 270 to 810.
        {"wide side by side",
         PairKeyWindows(1920, 1080, wide, wide),
         {{0, 270, 960, 810, 960, 540}, {960, 270, 1920, 810, 960, 540}}},
        // Too tall for its half: full height, narrowed against the middle.
        {"tall side by side",
         PairKeyWindows(1920, 1080, tall, tall),
         {{353, 0, 960, 1080, 607, 1080}, {960, 0, 1567, 1080, 607, 1080}}},
        {"mixed side by side",
         PairKeyWindows(1920, 1080, wide, tall),
         {{0, 270, 960, 810, 960, 540}, {960, 0, 1567, 1080, 607, 1080}}},
        // Transposed as the device has always had it: rows 353 to 960 and
        // 960 to 1567, past the output's bottom.
        {"wide transposed",
         PairKeyWindowsTransposed(1920, 1080, wide, wide),
         {{0, 353, 1080, 960, 1080, 607}, {0, 960, 1080, 1567, 1080, 607}}},
        {"tall transposed",
         PairKeyWindowsTransposed(1920, 1080, tall, tall),
         {{270, 0, 810, 960, 540, 960}, {270, 960, 810, 1920, 540, 960}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.got, c.want);
    }
    const std::string key6 = KeyLayoutCommand(6, 1920, 1080, {wide, KeyInput{1, 1920, 1080}}, cases[0].got);
    for (const char* line : {"INPUT_FPGA SCALER_SETUP 0 0 0 1920 1080 0 1919 0 1079 960 540\r\n",
                             "INPUT_FPGA SCALER_SETUP 0 1 1 1920 1080 0 1919 0 1079 960 540\r\n",
                             "INPUT_FPGA ADD_WINDOWS 4 1 0 0 960 540 0 270 960 810\r\n",
                             "INPUT_FPGA ADD_WINDOWS 5 2 0 0 960 540 960 270 1920 810\r\n"})
        EXPECT_NE(key6.find(line), std::string::npos) << line;
}

TEST(KeyLayouts, SourcesWithoutASizeCountAsFullHd)
{
    CQelProcessor processor;
    AddTestSource(processor, 0, 1280, 720);
    AddTestSource(processor, 1, 0, 0);
    AddTestSource(processor, 2, 0, 1080);
    struct Case {
        uint32_t id;
        int64_t width;
        int64_t height;
    };
    for (const Case c : {Case{0, 1280, 720}, Case{1, 1920, 1080}, Case{2, 1920, 1080}, Case{7, 1920, 1080}}) {
        const KeyInput input = KeyInputOf(processor, c.id);
        EXPECT_EQ(input.id, c.id);
        EXPECT_EQ(input.width, c.width) << c.id;
        EXPECT_EQ(input.height, c.height) << c.id;
    }
    // Nothing a caller passes divides by zero.
    const auto windows = PairKeyWindows(1920, 1080, KeyInput{0, 0, 0}, KeyInput{1, 0, 0});
    EXPECT_EQ(windows[0], (KeyWindow{0, 540, 960, 540, 960, 0}));
}

TEST(KeyLayouts, DisconnectedProcessorGetsNothing)
{
    CQelProcessor processor;
    processor.SetKind(kKeyLayoutKind);
    for (const KeyStep& key : KeySteps())
        EXPECT_FALSE(key.build(processor, key.keyMode, key.inputs)) << key.keyMode;
    EXPECT_EQ(processor.link().GetQueuedCommandCount(), 0u);
}

TEST(VideoWallMargins, LeftAndRightMustBeEven)
{
    EXPECT_EQ(MarginProblem({3, 0, 0, 0}), QStringLiteral("左边距必须为偶数值！"));
    EXPECT_EQ(MarginProblem({4, 0, 3, 0}), QStringLiteral("右边距必须为偶数值！"));
    EXPECT_EQ(MarginProblem({3, 0, 3, 0}), QStringLiteral("左边距必须为偶数值！"));
    EXPECT_EQ(MarginProblem({4, 3, 2, 5}), std::nullopt);
    EXPECT_EQ(MarginProblem({-2, 0, 0, 0}), std::nullopt);
}

class LedWall : public testing::Test {
protected:
    void SetUp() override
    {
        processor.SetKind(7);
        processor.SetOutputResolution(1920, 1080, 60);
        SetTestOutputs(processor, {201, 202, 203, 204, 205, 206, 207, 208},
                       {{{0, 0}, 201}, {{0, 1}, 202}, {{1, 0}, 203}, {{1, 1}, 204}});
        auto wall = processor.GetWall();
        wall.rows = 2;
        wall.cols = 2;
        wall.rowHeights = {1200, 500};
        wall.colWidths = {1920};
        wall.watch = {205, -1};
        processor.SetWall(wall);
    }
    LedWallDraft Started()
    {
        LedWallDraft draft = DraftOf(processor);
        StartDraft(draft, processor.GetOutputResolution());
        return draft;
    }
    CQelProcessor processor;
};

TEST_F(LedWall, StartCutsSizesToTheOutputAndSizesEveryRowAndColumn)
{
    const LedWallDraft draft = Started();
    EXPECT_EQ(draft.rowHeights, (std::vector<int32_t>{1080, 500}));
    EXPECT_EQ(draft.colWidths, (std::vector<int32_t>{1920, 1920}));
    EXPECT_EQ(draft.totalHeight, 1580);
    EXPECT_EQ(draft.totalWidth, 3840);
    EXPECT_EQ(draft.monitors, (std::vector<int32_t>{205, -1}));
    EXPECT_EQ(draft.output, (Resolution{1920, 1080, 60}));
}

TEST_F(LedWall, CountsGrowWithOutputSizesAndDropScreensOutside)
{
    LedWallDraft draft = Started();
    SetDraftCols(draft, 4);
    EXPECT_EQ(draft.colWidths, (std::vector<int32_t>{1920, 1920, 1920, 1920}));
    EXPECT_EQ(draft.totalWidth, 3840 + 3840);
    SetDraftRows(draft, 1);
    EXPECT_EQ(draft.rowHeights, (std::vector<int32_t>{1080}));
    EXPECT_EQ(draft.totalHeight, 1080);
    EXPECT_EQ(draft.screens, (CQelProcessor::WallMap{{{0, 0}, 201}, {{0, 1}, 202}}));
    SetDraftCols(draft, 1);
    EXPECT_EQ(draft.screens, (CQelProcessor::WallMap{{{0, 0}, 201}}));
    EXPECT_EQ(draft.totalWidth, 1920);
}

TEST_F(LedWall, SizesAboveTheOutputAreRefusedAndKept)
{
    LedWallDraft draft = Started();
    EXPECT_EQ(SetDraftColWidth(draft, 1, 2000), QStringLiteral("单个屏幕长度不能超过1920"));
    EXPECT_EQ(SetDraftRowHeight(draft, 0, 1081), QStringLiteral("单个屏幕高度不能超过1080"));
    EXPECT_EQ(draft.colWidths, (std::vector<int32_t>{1920, 1920}));
    EXPECT_EQ(draft.rowHeights, (std::vector<int32_t>{1080, 500}));
    EXPECT_EQ(SetDraftColWidth(draft, 1, 1000), std::nullopt);
    EXPECT_EQ(SetDraftRowHeight(draft, 1, 0), std::nullopt);
    EXPECT_EQ(draft.totalWidth, 2920);
    EXPECT_EQ(draft.totalHeight, 1080);
    for (const char* bad : {"", "abc", "-5", "12px", "1.5"})
        EXPECT_EQ(ParsePixelField(QString::fromLatin1(bad)), std::nullopt) << bad;
    EXPECT_EQ(ParsePixelField(QStringLiteral(" 1918 ")), 1918);
}

TEST_F(LedWall, FinishChecksInTheirOrder)
{
    struct Case {
        const char* name;
        std::function<void(LedWallDraft&)> change;
        std::optional<QString> problem;
    };
    const Case cases[] = {
        {"sound", [](LedWallDraft&) {}, std::nullopt},
        // An output on a screen and a monitor goes before an odd width.
        {"output twice",
         [](LedWallDraft& d) {
             d.monitors = {201};
             d.colWidths[0] = 1919;
         },
         QStringLiteral("输出口重复使用！")},
        {"odd column",
         [](LedWallDraft& d) {
             d.colWidths[0] = 1919;
             d.totalWidth = 3839;
         },
         QStringLiteral("单个屏幕长度必须为偶数")},
        {"odd total", [](LedWallDraft& d) { d.totalWidth = 3841; }, QStringLiteral("屏幕总长度必须为偶数")},
        {"width sum", [](LedWallDraft& d) { d.totalWidth = 3842; },
         QStringLiteral("拼接屏幕总宽度必须为3842,当前为3840")},
        {"height sum", [](LedWallDraft& d) { d.totalHeight = 1000; },
         QStringLiteral("拼接屏幕总高度必须为1000,当前为1580")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LedWallDraft draft = Started();
        c.change(draft);
        EXPECT_EQ(FinishProblem(draft), c.problem);
    }
}

TEST_F(LedWall, MonitorCountTakesDigitsUpToTheOutputCount)
{
    for (const char* bad : {"", "abc", "-1", "1.5", " 2", "+2"}) {
        QString problem;
        EXPECT_EQ(ParseMonitorCount(QString::fromLatin1(bad), 8, problem), std::nullopt) << bad;
        EXPECT_EQ(problem, QStringLiteral("请输入一个正整数！")) << bad;
    }
    for (const char* many : {"9", "99999999", "123456789012345678901234567890"}) {
        QString problem;
        EXPECT_EQ(ParseMonitorCount(QString::fromLatin1(many), 8, problem), std::nullopt) << many;
        EXPECT_EQ(problem, QStringLiteral("监视输出个数不能超过8")) << many;
    }
    QString problem;
    EXPECT_EQ(ParseMonitorCount(QStringLiteral("8"), 8, problem), 8);
    EXPECT_EQ(ParseMonitorCount(QStringLiteral("03"), 8, problem), 3);
    EXPECT_EQ(ParseMonitorCount(QStringLiteral("0"), 8, problem), 0);

    // A one-row grid and the monitor list, -1 for a cell without output.
    EXPECT_EQ(MonitorsOfCells({{{0, 1}, 206}, {{0, 5}, 207}}, 3), (std::vector<int32_t>{-1, 206, -1}));
    EXPECT_EQ(CellsOfMonitors({-1, 206}), (CQelProcessor::WallMap{{{0, 1}, 206}}));
    EXPECT_TRUE(OutputsOverlap({{{1, 1}, 206}}, {-1, 206}));
    EXPECT_FALSE(OutputsOverlap({{{1, 1}, 206}}, {-1, 205}));
}

TEST(LedWallInfo, NamesTheModeOfEachKind)
{
    const struct {
        int32_t kind;
        const char* mode;
    } cases[] = {{7, "8x8"}, {8, "16x16"}, {9, "LED4x4"}, {10, "36x36"}, {4, "n/a"}};
    for (const auto& c : cases)
        EXPECT_STREQ(LedModeName(c.kind), c.mode);
    EXPECT_EQ(LedWallInfoText({1920, 1080, 60}, 8, 7),
              QStringLiteral(
                  "※ 处理器输出分辨率：\n    1920 * 1080\n※ 处理器输出口个数：\n    8\n※ 当前的工作模式：\n    8x8"));
}
