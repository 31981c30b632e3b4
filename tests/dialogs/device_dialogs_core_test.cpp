// The arithmetic of the output resolution, matrix switch and about
// dialogs, without windows.
#include <gtest/gtest.h>

#include "context/context.h"
#include "corlane/fstr.h"
#include "dialogs/about_text.h"
#include "dialogs/edid_list.h"
#include "dialogs/matrix_switch.h"
#include "dialogs/output_resolution.h"
#include "dialogs/resolution_list.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "platform/clock.h"
#include "tests/builder/sender_test_support.h"
#include "tests/support/test_files.h"

using namespace std::chrono_literals;
using tavrix::test::DatedLog;
using tavrix::test::Occurrences;
using tavrix::test::WriteText;

namespace {

std::string Gb2312(const char* utf8)
{
    std::string ansi;
    EXPECT_TRUE(qz::vok::fstr_utf8toansi(utf8, ansi));
    return ansi;
}

CQelProcessor::ResolutionEntry Entry(uint32_t id, const char* name, Resolution r)
{
    return CQelProcessor::ResolutionEntry{id, name, r};
}

// Every command the processor's queue accepts, with the process clock's time.
struct QueuedLines {
    explicit QueuedLines(CQelProcessor& p) : processor(p)
    {
        processor.link().SetPushObserver([this](std::string_view text, int32_t) {
            lines.emplace_back(text);
            at.push_back(platform::Now());
        });
    }
    ~QueuedLines() { processor.link().SetPushObserver({}); }
    CQelProcessor& processor;
    std::vector<std::string> lines;
    std::vector<platform::TimePoint> at;
};

} // namespace

TEST(OutputResolution, SplitterLabelsShowInterlacedRatesInHertz)
{
    EXPECT_EQ(SplitterResolutionLabel({1920, 1080, 60}), QStringLiteral("1920 x 1080 p60"));
    EXPECT_EQ(SplitterResolutionLabel({1920, 1080, 50000}), QStringLiteral("1920 x 1080 i50"));
    EXPECT_EQ(SplitterResolutionLabel({720, 576, 1000}), QStringLiteral("720 x 576 p1000")); // above 1000 only
    EXPECT_EQ(SplitterResolutionLabel({720, 576, 1001}), QStringLiteral("720 x 576 i1"));
}

TEST(OutputResolution, CustomSizesMustBeWholeNumbersTheTimingCarries)
{
    struct Case {
        const char* width;
        const char* height;
        std::optional<Size> size;
    };
    const Case cases[] = {
        {"1280", "720", Size{1280, 720}}, {" 1 ", "65535", Size{1, 65535}}, {"", "720", std::nullopt},
        {"1280", "", std::nullopt},       {"abc", "720", std::nullopt},     {"12a", "720", std::nullopt},
        {"0", "720", std::nullopt},       {"1280", "-720", std::nullopt},   {"65536", "720", std::nullopt},
        {"1280.5", "720", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseCustomResolution(QString::fromUtf8(c.width), QString::fromUtf8(c.height)), c.size)
            << c.width << " x " << c.height;
}

TEST(OutputResolution, DisconnectedProcessorKeepsItsIdAndSendsNothing)
{
    CQelContext::Destroy();
    std::filesystem::remove(CQelProcessor::ProFilePath());
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(outres::kSplitterKind);
    AddTestBoards(*processor, {{14, 2}});
    SetTestOutputs(*processor, {outres::kFirstOutputId, outres::kSecondOutputId}, {});
    processor->records().SetResolutionList({Entry(3, "1080p", {1920, 1080, 60}), Entry(7, "1440", {2560, 1440, 60})});
    processor->records().SetOutputResolutionId(3);
    processor->SetOutputResolution(1280, 720, 60);
    QueuedLines queued(*processor);

    // The second output is the larger: the output size grows to it.
    StoreOutputResolution(*processor, {7, {1920, 1080, 60}, {2560, 1440, 60}});
    EXPECT_EQ(processor->records().GetOutputResolutionId(), 3u);
    EXPECT_EQ(processor->GetSigOut(outres::kFirstOutputId)->GetResolution(), (Resolution{1920, 1080, 60}));
    EXPECT_EQ(processor->GetSigOut(outres::kSecondOutputId)->GetResolution(), (Resolution{2560, 1440, 60}));
    EXPECT_EQ(processor->GetOutputResolution(), (Resolution{2560, 1440, 60}));
    EXPECT_TRUE(std::filesystem::exists(CQelProcessor::ProFilePath()));

    // The smaller second output leaves the first output's size.
    StoreOutputResolution(*processor, {7, {1920, 1200, 60}, {1280, 720, 60}});
    EXPECT_EQ(processor->GetOutputResolution(), (Resolution{1920, 1200, 60}));

    // Other kinds leave the outputs alone.
    processor->SetKind(7);
    StoreOutputResolution(*processor, {7, {3840, 2160, 30}, {3840, 2160, 30}});
    EXPECT_EQ(processor->GetOutputResolution(), (Resolution{1920, 1200, 60}));
    EXPECT_EQ(processor->GetSigOut(outres::kFirstOutputId)->GetResolution(), (Resolution{1920, 1200, 60}));
    EXPECT_TRUE(queued.lines.empty());
    CQelContext::Destroy();
}

TEST(MatrixSwitch, TokensBecomeLinesOfAtMostSixteen)
{
    EXPECT_EQ(SwitchToken(3, 1), "3D1");
    EXPECT_EQ(SwitchLabel(3, 1), QStringLiteral("输入3至输出1"));
    EXPECT_TRUE(SwitchLines({}).empty());
    EXPECT_EQ(SwitchLines({"1D1", "2D3"}), (std::vector<std::string>{"*1D1;2D3#\r\n"}));

    std::vector<std::string> tokens;
    std::string sixteen = "*";
    for (int i = 1; i <= 16; ++i) {
        tokens.push_back(SwitchToken(i, 1));
        sixteen += (i > 1 ? ";" : "") + tokens.back();
    }
    sixteen += "#\r\n";
    EXPECT_EQ(SwitchLines(tokens), (std::vector<std::string>{sixteen}));
    tokens.push_back("1D1");
    tokens.push_back("1D1"); // the same pair twice is sent twice
    EXPECT_EQ(SwitchLines(tokens), (std::vector<std::string>{sixteen, "*1D1;1D1#\r\n"}));
}

TEST(MatrixSwitch, PausesAfterEveryFullLine)
{
    platform::ScaledClock clock(50);
    platform::ScopedClock scoped(clock);
    CQelProcessor processor;
    QueuedLines queued(processor);
    const std::vector<std::string> sixteen(16, "2D2");

    auto start = platform::Now();
    EXPECT_FALSE(SendSwitchLines(processor, {}));
    EXPECT_TRUE(queued.lines.empty());

    start = platform::Now();
    EXPECT_TRUE(SendSwitchLines(processor, sixteen));
    ASSERT_EQ(queued.lines.size(), 1u);
    EXPECT_GE(platform::Now() - queued.at[0], 500ms); // the pause ends the call
    EXPECT_GE(queued.at[0], start);

    queued.lines.clear();
    queued.at.clear();
    auto seventeen = sixteen;
    seventeen.push_back("5D5");
    EXPECT_TRUE(SendSwitchLines(processor, seventeen));
    ASSERT_EQ(queued.lines.size(), 2u);
    EXPECT_EQ(queued.lines[1], "*5D5#\r\n");
    EXPECT_GE(queued.at[1] - queued.at[0], 500ms);
    processor.link().StopSender();
}

TEST(AboutText, ShowsGb2312TextAsItStands)
{
    const std::string path = "About.CFG";
    WriteText(path, Gb2312("视频处理器\r\n版本 2.1\r\r\n"));
    EXPECT_EQ(ReadAboutText(path), QStringLiteral("视频处理器\n版本 2.1\n"));
    WriteText(path, "");
    EXPECT_EQ(ReadAboutText(path), QString());
    std::filesystem::remove(path);
    EXPECT_EQ(ReadAboutText(path), QString());
    std::filesystem::create_directory(path);
    EXPECT_EQ(ReadAboutText(path), QString());
    std::filesystem::remove(path);
}

TEST(AboutText, BadLinesAndHugeFilesAreCutWithOneLogLine)
{
    WriteText(qz::vok::path::GetSysPath() + "/TOLM.INI", "[LOG]\nLOGLEVEL=5\n");
    CQelContext::Destroy();
    const std::string path = "About.CFG";
    // The second line ends in half a double-byte character.
    WriteText(path, Gb2312("第一行\r\n") + "bad\xC8\r\n" + Gb2312("第三行"));
    EXPECT_EQ(ReadAboutText(path), QStringLiteral("第一行\n第三行"));
    EXPECT_EQ(Occurrences(DatedLog("TAVRIX"), "About.CFG: lines that are not GB2312 text are left out"), 1u);

    // 1 MiB and more: the whole lines of the first 1 MiB.
    const std::string line = Gb2312("关于") + std::string(58, 'x') + "\r\n"; // 64 bytes
    std::string huge;
    while (huge.size() < abouttext::kMaxBytes)
        huge += line;
    huge.insert(0, "a"); // the line at the bound is cut
    WriteText(path, huge);
    const QString text = ReadAboutText(path);
    EXPECT_EQ(text.count(u'\n'), qsizetype(abouttext::kMaxBytes / line.size() - 1));
    EXPECT_TRUE(text.endsWith(QStringLiteral("xx\n")));
    EXPECT_EQ(Occurrences(DatedLog("TAVRIX"), "About.CFG: larger than 1 MiB"), 1u);
    std::filesystem::remove(path);
    CQelContext::Destroy();
}

TEST(LongFirstLine, MakesEdidAndAboutFilesUnreadableAndIsSaid)
{
    const std::string longLine(abouttext::kMaxBytes + 1, '1');
    const struct {
        std::string path;
        bool (*readAsUnreadable)(const std::string&); // under the file's own rule
    } files[] = {
        {"EDID.cfg", [](const std::string& path) { return LoadEdidList(path) == DefaultEdidList(); }},
        {"About.CFG", [](const std::string& path) { return ReadAboutText(path).isEmpty(); }},
    };
    for (const auto& file : files) {
        for (const std::string& text : {longLine, longLine + "=x\n2=y\n"}) {
            SCOPED_TRACE(file.path + " of " + std::to_string(text.size()) + " bytes");
            WriteText(file.path, text);
            testing::internal::CaptureStderr();
            EXPECT_TRUE(file.readAsUnreadable(file.path));
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_TRUE(Occurrences(said, file.path) + Occurrences(said, "first line is longer than") == 2) << said;
        }
        std::filesystem::remove(file.path);
    }
}
