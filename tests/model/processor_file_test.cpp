#include "model/processor.h"
#include "model/processor_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/events.h"
#include "model/input_osd.h"
#include "model/model_log.h"
#include "model/net_type.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model_test_support.h"
#include "tests/support/scoped_setting.h"

namespace fs = std::filesystem;

using tavrix::test::Occurrences;
using tavrix::test::ReadFolderText;

namespace {

const std::string kData = MODEL_TEST_DATA;

// A file with every required item and the given parts.
std::string MinimalFile(int kind, const std::string& sources, const std::string& outputs = "",
                        const std::string& wall = "<VideoWall/>", const std::string& version = "V1",
                        const std::string& boards = "")
{
    return "<?xml version=\"1.0\"?>\n<Processor version=\"" + version + "\" protype=\"" + std::to_string(kind) +
           "\" Authorization=\"0\"><App/><Connect/><Boards>" + boards + "</Boards><SignalSource>" + sources +
           "</SignalSource><SignalOut>" + outputs + "</SignalOut>" + wall +
           "<OutResolutions/><PlanNameSet/></Processor>\n";
}

std::shared_ptr<CQelProcessor> Load(const std::string& text, bool* ok = nullptr)
{
    const std::string path = CQelProcessor::ProFilePath();
    WriteText(path, text);
    auto p = std::make_shared<CQelProcessor>();
    p->SetId(1);
    const bool loaded = p->LoadPro(path);
    if (ok)
        *ok = loaded;
    return p;
}

void ExpectDefaults(const CQelProcessor& p)
{
    EXPECT_EQ(p.GetKind(), 0);
    EXPECT_EQ(p.GetName(), "");
    EXPECT_EQ(p.settings().GetObm(), 10000);
    EXPECT_EQ(p.records().GetBoardCount(), 0u);
    EXPECT_EQ(p.records().GetSigSrcCount(), 0u);
    EXPECT_EQ(p.settings().GetConnection(), CQelProcessor::Connection{});
    EXPECT_EQ(p.GetWall(), CQelProcessor::Wall{});
    EXPECT_EQ(p.settings().GetPlanName(1), "1");
}

} // namespace

TEST(ProcessorFile, LoadsEveryFieldAndSavesTheGoldenFile)
{
    bool ok = false;
    auto p = Load(ReadText(kData + "/processor_input.pro"), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(p->GetKind(), 8);
    EXPECT_EQ(p->GetName(), "测试处理器");
    EXPECT_EQ(p->settings().GetObm(), 1);
    EXPECT_EQ(p->settings().GetAuthorization(), 7);
    EXPECT_EQ(p->settings().GetAppOptions().videoWindowInvalidRectTip, 5);
    EXPECT_EQ(p->settings().GetInflateRect(), (Rect{21, 22, 23, 24}));
    const auto c = p->settings().GetConnection();
    EXPECT_EQ(c.tcpAddress, "127.0.0.1");
    EXPECT_EQ(c.serialRate, 9600);
    EXPECT_EQ(c.type, 2);
    ASSERT_EQ(p->records().GetBoardCount(), 2u);
    EXPECT_EQ(p->GetBoard(1)->GetName(), "输入板");

    ASSERT_EQ(p->records().GetSigSrcCount(), 2u);
    const auto vga = p->GetSigSrc(101);
    EXPECT_EQ(vga->GetBoard(), p->GetBoard(1));
    EXPECT_EQ(vga->GetResolution(), (Resolution{1280, 1024, 75}));
    EXPECT_EQ(vga->GetCurChildId(), 2u);
    EXPECT_FALSE(vga->IsJoined());
    ASSERT_EQ(vga->GetChildCount(), 2u);
    EXPECT_EQ(vga->GetChild(2)->GetResolution(), (Resolution{1280, 1024, 60}));
    EXPECT_EQ(vga->GetChild(2)->GetName(), "VGA");
    const auto hdmi = p->GetSigSrc(100);
    EXPECT_EQ(hdmi->GetStartPoint(), (Point{10, 20}));
    EXPECT_EQ(hdmi->GetMutualGroupId(), kNoId);
    EXPECT_EQ(hdmi->GetEdid(), 2u);

    EXPECT_EQ(p->records().GetOutputResolutionId(), 5u);
    EXPECT_EQ(p->GetOutputResolution(), (Resolution{1280, 720, 50}));
    ASSERT_EQ(p->GetSigOutCount(), 2u);
    EXPECT_EQ(p->records().GetSigOutAt(0)->GetId(), 10101u); // the file's order is kept
    EXPECT_EQ(p->GetSigOut(10100)->GetBoard(), p->GetBoard(101));

    const auto wall = p->GetWall();
    EXPECT_EQ(wall.colWidths, (std::vector<int32_t>{1920, 1920}));
    EXPECT_EQ(wall.rowHeights, std::vector<int32_t>{1080});
    EXPECT_EQ(wall.watch, std::vector<int32_t>{10100});
    EXPECT_EQ(wall.margin, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(wall.cells.size(), 2u); // no sigout_id, or a negative row: ignored
    EXPECT_EQ(p->records().GetResolutionList().size(), 2u);
    EXPECT_EQ(p->records().GetCustomizeResolutionSwitch(), 2);
    EXPECT_EQ(p->settings().GetPlanName(1), "开场");
    EXPECT_EQ(p->settings().GetPlanName(7), "7");
    EXPECT_EQ(p->settings().GetPlanName(20), "末 & 尾");
    EXPECT_TRUE(DrainEvents().empty()); // loading tells nobody

    const ScopedSetting echoWaits(g_NetType, uint8_t(1));
    ASSERT_TRUE(p->SavePro());
    const std::string golden = ReadText(kData + "/processor_golden.pro");
    EXPECT_EQ(ReadText(CQelProcessor::ProFilePath()), golden);

    // Loading what was saved and saving again changes nothing.
    auto again = Load(golden, &ok);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(again->SavePro());
    EXPECT_EQ(ReadText(CQelProcessor::ProFilePath()), golden);
}

TEST(ProcessorFile, DerivesQuartersAndTheOutputsOfKind9)
{
    auto p = Load(MinimalFile(9, "<SigSrc id=\"20\" type=\"13\" board=\"2\" resolution=\"3840,2160,30\"/>",
                              "<SigOut id=\"5\"/><SigOut id=\"6\"/>", "<VideoWall/>", "V1",
                              "<Board id=\"2\" type=\"4\"/><Board id=\"100\" type=\"12\"/>"));
    ASSERT_EQ(p->records().GetSigSrcCount(), 1u);
    const auto quarters = p->records().GetListBItems();
    ASSERT_EQ(quarters.size(), 4u);
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(quarters[i]->GetId(), 20 + i);
        EXPECT_EQ(quarters[i]->GetType(), 13);
        EXPECT_EQ(quarters[i]->GetBoardId(), 2u);
        EXPECT_EQ(quarters[i]->GetResolution(), (Resolution{1920, 1080, 30}));
    }

    const auto outputs = p->GetSigOuts();
    ASSERT_EQ(outputs.size(), 4u);
    for (uint32_t n = 0; n < 4; ++n) {
        EXPECT_EQ(outputs[n]->GetId(), 10000 + n);
        EXPECT_EQ(outputs[n]->GetName(), "输出 1_" + std::to_string(n + 1));
        EXPECT_EQ(outputs[n]->GetBoardId(), 100u);
        EXPECT_EQ(outputs[n]->GetResolution(), (Resolution{1920, 1080, 60}));
    }
}

TEST(ProcessorFile, CellSizesBelongOnlyToTheKindsThatUseThem)
{
    const std::string wall = "<VideoWall rows=\"2\" rh=\"1080,,1080\" cw=\"5\" watch=\"1,x\"/>";
    auto led = Load(MinimalFile(4, "", "", wall));
    EXPECT_EQ(led->GetWall().rowHeights, (std::vector<int32_t>{1080, 1080}));
    EXPECT_EQ(led->GetWall().watch, (std::vector<int32_t>{1, 0})); // not a number: 0

    auto plain = Load(MinimalFile(1, "", "", wall));
    EXPECT_EQ(plain->GetWall().rows, 2);
    EXPECT_TRUE(plain->GetWall().rowHeights.empty());
    EXPECT_TRUE(plain->GetWall().colWidths.empty());
    EXPECT_TRUE(plain->GetWall().watch.empty());
    ASSERT_TRUE(plain->SavePro());
    const std::string saved = ReadText(CQelProcessor::ProFilePath());
    EXPECT_EQ(saved.find(" rh="), std::string::npos);
    EXPECT_EQ(saved.find(" cw="), std::string::npos);
    EXPECT_EQ(saved.find(" watch="), std::string::npos);
}

TEST(ProcessorFile, MissingBoardIsSavedAsNoId)
{
    auto p = Load(MinimalFile(1, "<SigSrc id=\"7\" board=\"9\"/>", "<SigOut id=\"70\" board=\"9\"/>"));
    ASSERT_NE(p->GetSigSrc(7), nullptr);
    EXPECT_EQ(p->GetSigSrc(7)->GetBoard(), nullptr);
    EXPECT_EQ(p->GetSigOut(70)->GetBoard(), nullptr);
    ASSERT_TRUE(p->SavePro());
    const std::string saved = ReadText(CQelProcessor::ProFilePath());
    EXPECT_NE(saved.find("<SigSrc id=\"7\" type=\"0\" board=\"4294967295\""), std::string::npos);
    EXPECT_NE(saved.find("<SigOut id=\"70\" name=\"\" board=\"4294967295\""), std::string::npos);
}

TEST(ProcessorFile, UnusableFileLeavesDefaultsAndIsKeptAsBad)
{
    const std::string path = CQelProcessor::ProFilePath();
    const std::string good = MinimalFile(8, "<SigSrc id=\"1\"/>");
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"wrong version", MinimalFile(8, "<SigSrc id=\"1\"/>", "", "<VideoWall/>", "V2")},
        {"no version",
         [&] {
             std::string t = good;
             t.erase(t.find("version=\"V1\""), 12);
             return t;
         }()},
        {"malformed", good.substr(0, good.size() / 2)},
        {"no Authorization",
         [&] {
             std::string t = good;
             t.erase(t.find("Authorization=\"0\""), 17);
             return t;
         }()},
        {"missing element",
         [&] {
             std::string t = good;
             t.erase(t.find("<VideoWall/>"), 12);
             return t;
         }()},
        {"not a number", MinimalFile(8, "<SigSrc id=\"1\" type=\"x\"/>")},
        {"number out of range", MinimalFile(8, "<SigSrc id=\"4294967296\"/>")},
        {"not XML", std::string("\xFF\x00junk", 6)},
        {"control character", MinimalFile(8, "<SigSrc id=\"1\" name=\"a\x02\"/>")},
        {"reference to NUL", MinimalFile(8, "<SigSrc id=\"1\" name=\"a&#0;\"/>")},
        {"wrong root", "<Processors version=\"V1\" Authorization=\"0\"/>"},
    };
    fs::create_directory("logs");
    const ScopedHook log(SetModelLog,
                         std::make_shared<qz::vok::logfile>("model", qz::vok::logfile::LOG_ERROR, "logs", false));
    for (const auto& [what, text] : bad) {
        SCOPED_TRACE(what);
        const size_t logged = Occurrences(ReadFolderText("logs"), "ER> processor file " + path);
        fs::remove(path + ".bad");
        bool ok = true;
        auto p = Load(text, &ok);
        EXPECT_FALSE(ok);
        ExpectDefaults(*p);
        EXPECT_EQ(p->GetInputOsd().GetItemCount(), 0u);
        EXPECT_EQ(ReadText(path + ".bad"), text);
        EXPECT_EQ(ReadText(path), text); // untouched until something saves
        EXPECT_EQ(Occurrences(ReadFolderText("logs"), "ER> processor file " + path), logged + 1);
    }
    const std::string logs = ReadFolderText("logs");
    EXPECT_NE(logs.find("the attribute \"type\" of <SigSrc> is not a number: \"x\""), std::string::npos);
    EXPECT_NE(logs.find("the version is not \"V1\""), std::string::npos);
    EXPECT_NE(logs.find("the element <VideoWall> is missing"), std::string::npos);

    // A missing file is a first start, not an error.
    fs::remove(path);
    fs::remove(path + ".bad");
    auto fresh = std::make_shared<CQelProcessor>();
    EXPECT_FALSE(fresh->LoadPro(path));
    EXPECT_FALSE(fs::exists(path + ".bad"));
    EXPECT_FALSE(fs::exists(path));
    ASSERT_TRUE(fresh->SavePro());
    EXPECT_TRUE(fresh->LoadPro(path));
}

TEST(ProcessorFile, FailedSaveIsReported)
{
    const std::string path = CQelProcessor::ProFilePath();
    fs::remove(path);
    fs::create_directory(path); // nothing can be renamed over a folder
    CQelProcessor p;
    EXPECT_FALSE(p.SavePro());
    EXPECT_TRUE(fs::is_directory(path));
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
        EXPECT_EQ(entry.path().filename().string().find("Processor.pro."), std::string::npos)
            << "temporary file left: " << entry.path();
    fs::remove(path);
}

TEST(ProcessorFile, RenamingASourceRewritesOnlyItsElement)
{
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<Processor version=\"V1\" Authorization=\"3\" Extra=\"kept\">\n"
        "\t<App/>\n\t<Connect/>\n\t<Boards/>\n"
        "\t<SignalSource scaler=\"1\">\n"
        "\t\t<SigSrc curchildid=\"2\" name=\"old\" id=\"5\" type=\"101\" board=\"-1\" "
        "resolution=\"800,600\" odd=\"dropped\">\n"
        "\t\t\t<Child id=\"2\" type=\"4\" name=\"VGA\" resolution=\"1,2,3\" routingid=\"1\"/>\n"
        "\t\t</SigSrc>\n"
        "\t\t<SigSrc id=\"6\" name=\"other\"/>\n"
        "\t</SignalSource>\n"
        "\t<SignalOut/>\n\t<VideoWall/>\n\t<OutResolutions/>\n\t<PlanNameSet/>\n\t<Unknown a=\"1\"/>\n"
        "</Processor>\n";
    auto p = Load(text);
    p->SaveSigSrcsToPro("old", 5); // the same name: nothing at all
    EXPECT_TRUE(DrainEvents().empty());
    EXPECT_EQ(ReadText(CQelProcessor::ProFilePath()), text);

    p->SaveSigSrcsToPro("新名", 5);
    EXPECT_EQ(p->GetSigSrc(5)->GetName(), "新名");
    const auto events = DrainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(As<CSigSrcRenameEvent>(events[0]).sourceId, 5);
    EXPECT_EQ(As<CSigSrcRenameEvent>(events[0]).processorId, 1);

    std::string expected = text;
    const size_t start = expected.find("<SigSrc curchildid");
    expected.replace(start, expected.find('>', start) - start,
                     "<SigSrc id=\"5\" type=\"101\" board=\"4294967295\" name=\"新名\" EDID=\"0\" "
                     "resolution=\"800,600,60\" startpt=\"0,0\" mutualgroupid=\"4294967295\" "
                     "curchildid=\"2\"");
    EXPECT_EQ(ReadText(CQelProcessor::ProFilePath()), expected);

    // Without a file the name still changes and the event still comes.
    fs::remove(CQelProcessor::ProFilePath());
    p->SaveSigSrcsToPro("again", 6);
    EXPECT_EQ(DrainEvents().size(), 1u);
    EXPECT_FALSE(fs::exists(CQelProcessor::ProFilePath()));
    p->SaveSigSrcsToPro("x", 99); // no such source
    EXPECT_TRUE(DrainEvents().empty());
}

TEST(ProcessorFile, NamesWithEveryControlCharacterSaveInAFormThatLoads)
{
    std::string every;
    for (int c = 1; c < 0x20; ++c)
        every += char(c);
    const std::string kept = "a\t\n\rb"; // XML carries these three, and the names keep them
    auto p = Load(MinimalFile(8, "<SigSrc id=\"1\"/><SigSrc id=\"2\"/>"));
    p->settings().SetPlanName(3, "a" + every + "b"); // a whole save
    p->SaveSigSrcsToPro("a" + every + "b", 2);       // one element rewritten in place
    ASSERT_EQ(p->GetSigSrc(2)->GetName(), "a" + every + "b");

    bool ok = false;
    auto back = Load(ReadText(CQelProcessor::ProFilePath()), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(back->settings().GetPlanName(3), kept);
    EXPECT_EQ(back->GetSigSrc(2)->GetName(), kept);
}
