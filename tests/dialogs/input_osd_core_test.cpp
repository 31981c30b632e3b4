// The input OSD editor's decisions without a window: the name command, the
// number fields, the items, the previews, the job progress and OsdName.pro.
#include <gtest/gtest.h>

#include <filesystem>

#include "corlane/app_path.h"
#include "corlane/fstr.h"
#include "dialogs/input_osd_edit.h"
#include "dialogs/osd_name_file.h"
#include "model/input_osd.h"
#include "model/model_log.h"
#include "model/sig_src.h"
#include "tests/support/scoped_setting.h"
#include "tests/support/test_files.h"

using namespace inputosd;
using tavrix::test::ReadFolderText;
using tavrix::test::ReadText;
using tavrix::test::WriteText;

namespace {

// The model's log lines, in a folder of their own.
class ModelLog {
public:
    std::string Text() const { return ReadFolderText("osdlogs"); }

private:
    static bool EmptyFolder()
    {
        std::filesystem::remove_all("osdlogs");
        return std::filesystem::create_directory("osdlogs");
    }
    bool created_ = EmptyFolder();
    ScopedHook<std::shared_ptr<qz::vok::logfile>> log_{
        SetModelLog, std::make_shared<qz::vok::logfile>("model", qz::vok::logfile::LOG_WARN, "osdlogs", false)};
};

tagOSD_DATA_EX2_S Item(int input, int item, int width, int height)
{
    tagOSD_DATA_EX2_S record;
    record.input = input;
    record.item = item;
    record.inputWidth = width;
    record.inputHeight = height;
    record.inputRate = 60;
    return record;
}

void AddSource(CQelProcessor& processor, uint32_t id, int32_t width, int32_t height)
{
    CQelSigSrc::Values values;
    values.id = id;
    values.resolution = {width, height, 60};
    processor.AddSigSrc(std::make_shared<CQelSigSrc>(values), false, false);
}

std::string Ansi(const std::string& utf8)
{
    std::string ansi;
    EXPECT_TRUE(qz::vok::fstr_utf8toansi(utf8, ansi));
    return ansi;
}

} // namespace

TEST(InputOsdEdit, NameCommandCarriesAtMost24BytesPaddedToOneWidth)
{
    // Three bytes: their tokens, then 25 - 3 blanks.
    EXPECT_EQ(SourceNameCommand(0, 0, "中"), "I_F SIPN 0 0 3 0xe4 0xb8 0xad " + std::string(22, ' '));
    EXPECT_EQ(SourceNameCommand(1, 3, ""), "I_F SIPN 1 3 0 " + std::string(25, ' '));

    // 24 bytes and more: no padding, the full count, only 24 tokens.
    std::string tokens;
    for (int i = 0; i < 24; ++i)
        tokens += "0x41 ";
    EXPECT_EQ(SourceNameCommand(2, 1, std::string(24, 'A')), "I_F SIPN 2 1 24 " + tokens);
    EXPECT_EQ(SourceNameCommand(2, 1, std::string(30, 'A')), "I_F SIPN 2 1 30 " + tokens);
}

TEST(InputOsdEdit, BlankFieldsTakeTheirFallbackOthersNotNumbersAreRefused)
{
    struct Case {
        const char* text;
        int max;
        int fallback;
        FieldValue expected;
    };
    const Case cases[] = {
        {"12", 255, 255, {12, false}},  {" 7 ", 255, 255, {7, false}},       {"x", 255, 255, {255, true}},
        {"", 255, 255, {255, false}},   {"1x", 2000, 0, {0, true}},          {"-", 127, 127, {127, true}},
        {"zz9", 255, 255, {255, true}}, {"  ", 255, 255, {255, false}},      {"255", 255, 255, {255, false}},
        {"256", 255, 255, {255, true}}, {"-1", 2000, 0, {0, true}},          {"2000", 2000, 0, {2000, false}},
        {"2001", 2000, 0, {0, true}},   {"99999999999", 2000, 0, {0, true}}, {"+5", 127, 127, {5, false}},
        {"128", 127, 127, {127, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const FieldValue v = ReadField(c.text, 0, c.max, c.fallback);
        EXPECT_EQ(v.value, c.expected.value);
        EXPECT_EQ(v.refused, c.expected.refused);
    }
}

TEST(InputOsdEdit, TitleLabelsAndRadios)
{
    const std::pair<int, std::pair<int, int>> titles[] = {{7, {8, 8}},    {8, {16, 16}},   {9, {4, 4}},
                                                          {10, {36, 16}}, {3, {250, 250}}, {0, {250, 250}}};
    for (const auto& [model, size] : titles)
        EXPECT_EQ(TitleSize(model), size) << model;
    EXPECT_EQ(SlotLabel(0, 0), "1_1");
    EXPECT_EQ(SlotLabel(8, 3), "9_4");
    EXPECT_EQ(SlotIndex(8, 3), 35);
    EXPECT_EQ(SlotIndex(9, 0), -1);
    EXPECT_EQ(SlotIndex(0, 4), -1);
    EXPECT_EQ(ItemKey(2, 3), 0x20003u);
    for (int mode = 0; mode < 3; ++mode)
        EXPECT_EQ(TimeModeOfRadio(TimeRadioOfMode(mode)), mode);
    EXPECT_EQ(TimeModeOfRadio(0), 1); // "启用" first
}

TEST(InputOsdEdit, ItemsKeepTheirOwnPlaceWhenBuiltSyncedOrSwitched)
{
    EditValues values = ValuesOf(Item(0, 0, 1920, 1080));
    values.left = 100;
    values.top = 50;
    values.captionColour = PackColour(255, 12, 1);
    values.backColour = PackColour(1, 2, 3);
    values.transparent = 0;
    values.timeLeft = 7;
    values.timeWidth = 200;
    values.timeHeight = 100;
    values.fontSize = 2;
    values.timeMode = 1;
    EXPECT_EQ(values.captionColour, 0x010CFF);

    Items items = {std::make_shared<tagOSD_DATA_EX2_S>(Item(0, 0, 1920, 1080)),
                   std::make_shared<tagOSD_DATA_EX2_S>(Item(1, 3, 1280, 720))};
    SyncToAll(items, values);
    for (const auto& item : items) {
        EXPECT_EQ(item->left, 100);
        EXPECT_EQ(item->osd.captionColor, 0x010CFF);
        EXPECT_EQ(item->osd.background, 0x030201);
        EXPECT_EQ(item->osd.transparent, 0);
        EXPECT_EQ(item->timeLeft, 7);
        EXPECT_EQ(item->timeRectRight, 200);
        EXPECT_EQ(item->timeRectBottom, 100);
        EXPECT_EQ(item->fontSize, 2);
    }
    EXPECT_EQ(items[1]->input, 1);
    EXPECT_EQ(items[1]->item, 3);
    EXPECT_EQ(items[1]->inputWidth, 1280);
    EXPECT_EQ(items[1]->inputHeight, 720);

    SetAllModes(items, 2);
    EXPECT_EQ(items[1]->osd.shown, 2);
    EXPECT_EQ(items[1]->timeShown, 2);
    EXPECT_EQ(items[1]->timeMode, 2);

    // Writing them into a store reaches every field the store keeps.
    CQelProcessor processor;
    processor.SetKind(7);
    processor.GetInputOsd().Load();
    StoreItems(processor, items);
    const auto stored = processor.GetInputOsd().FindItem(1, 3);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->left, 100);
    EXPECT_EQ(stored->top, 50);
    EXPECT_EQ(stored->osd.captionColor, 0x010CFF);
    EXPECT_EQ(stored->osd.background, 0x030201);
    EXPECT_EQ(stored->osd.transparent, 0);
    EXPECT_EQ(stored->osd.shown, 2);
    EXPECT_EQ(stored->timeShown, 2);
    EXPECT_EQ(stored->timeLeft, 7);
    EXPECT_EQ(stored->timeWidth, 200);
    EXPECT_EQ(stored->timeHeight, 100);
    EXPECT_EQ(stored->fontSize, 2);
    EXPECT_EQ(StoredItemOf(*items[1]).timeHeight, 100);

    // An input's size: its source's, or 1920 x 1080 without one.
    AddSource(processor, 101, 1280, 720);
    AddSource(processor, 102, 0, 0);
    EXPECT_EQ(InputSize(processor, 0, 1), (Resolution{1280, 720, 60}));
    EXPECT_EQ(InputSize(processor, 0, 2), kDefaultInput);
    EXPECT_EQ(InputSize(processor, 1, 0), kDefaultInput);
    // Input boards from slot 0: the first input is slot 0's.
    AddSource(processor, 1, 800, 600);
    AddSource(processor, 100, 640, 480);
    EXPECT_EQ(InputSize(processor, 0, 1), (Resolution{800, 600, 60}));
    EXPECT_EQ(InputSize(processor, 1, 0), (Resolution{640, 480, 60}));
    EXPECT_EQ(InputSize(processor, 1, 1), (Resolution{1280, 720, 60}));
}

TEST(InputOsdEdit, PreviewsMapInputPixelsOntoTheMonitor)
{
    const Rect monitor{10, 20, 330, 200}; // 320 x 180
    tagOSD_DATA_EX2_S item = Item(0, 0, 1920, 1080);
    item.left = 960;
    item.top = 540;
    const Rect caption = CaptionPreviewRect(monitor, item);
    EXPECT_EQ(caption.left, 10 + 160); // the middle
    EXPECT_EQ(caption.top, 20 + 90);
    EXPECT_EQ(caption.right, 10 + 320 * (960 + 256) / 1920);
    EXPECT_EQ(caption.bottom, 20 + 180 * (540 + 128) / 1080);
    item.timeLeft = 1920 - 255;
    item.timeRectRight = 255;
    item.timeRectBottom = 127;
    EXPECT_EQ(TimePreviewRect(monitor, item).right, 330);
    // Values from IOSD.dat beyond any input stay on the monitor.
    item.left = INT32_MAX;
    item.top = INT32_MIN;
    item.timeLeft = INT32_MAX;
    item.timeRectLeft = INT32_MIN;
    EXPECT_EQ(CaptionPreviewRect(monitor, item), (Rect{330, 20, 330, 20}));
    EXPECT_EQ(TimePreviewRect(monitor, item).right, 330);

    // Back: the monitor's left edge is 0, its middle the input's middle.
    EXPECT_EQ(FromMonitor(10, 10, 320, 1920), 0);
    EXPECT_EQ(FromMonitor(170, 10, 320, 1920), 960);
    EXPECT_EQ(FromMonitor(110, 20, 180, 1080), 540);
    EXPECT_EQ(ToMonitor(5, 10, 320, 0), 10); // no input size: no division
    EXPECT_EQ(FromMonitor(50, 10, 0, 1920), 0);
}

TEST(InputOsdEdit, ProgressEndsDoneOrFailedPastTheCount)
{
    EXPECT_EQ(SendingProgress(0, 8), Progress::Running);
    EXPECT_EQ(SendingProgress(7, 8), Progress::Running);
    EXPECT_EQ(SendingProgress(8, 8), Progress::Done);
    EXPECT_EQ(SendingProgress(9, 8), Progress::Failed); // the job's failure report
    EXPECT_EQ(SavingProgress(49, 50), Progress::Running);
    EXPECT_EQ(SavingProgress(50, 50), Progress::Done);
    EXPECT_EQ(SavingProgress(51, 50), Progress::Failed);
}

TEST(OsdNameFile, KeepsCodePageBytesAndSurvivesBadFiles)
{
    ModelLog log;
    std::filesystem::remove_all(qz::vok::path::GetHardwarePath());
    std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
    const std::string path = OsdNameFilePath();

    // Missing: blanks, quietly.
    std::vector<std::string> names = ReadOsdNames();
    ASSERT_EQ(names.size(), 36u);
    EXPECT_EQ(names[0], " ");
    EXPECT_EQ(log.Text(), "");

    // Written as GB2312 bytes under a "utf-8" declaration, read back as UTF-8.
    std::string error;
    ASSERT_TRUE(WriteOsdName("1_1", "中", error)) << error;
    ASSERT_TRUE(WriteOsdName("2_4", "Cam <2> & \"x\"", error)) << error;
    ASSERT_TRUE(WriteOsdName("1_1", "中文", error)) << error;
    const std::string text = ReadText(path);
    EXPECT_TRUE(text.starts_with("<?xml version=\"1.0\" encoding=\"utf-8\"?>")) << text;
    EXPECT_NE(text.find("\t<1_1 name=\"\xD6\xD0\xCE\xC4\"/>"), std::string::npos) << text;
    EXPECT_EQ(text.find("中"), std::string::npos);
    ASSERT_TRUE(WriteOsdName("1_1", "中文", error)) << error;
    EXPECT_EQ(ReadText(path), text); // laid out afresh, never growing
    names = ReadOsdNames();
    EXPECT_EQ(names[0], "中文");
    EXPECT_EQ(names[7], "Cam <2> & \"x\"");
    EXPECT_EQ(names[1], " ");

    // A file of the original program, names in code page 936.
    WriteText(path, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<OsdSigName>\n\t<1_2 name=\"" + Ansi("北门") +
                        "\"/>\n\t<3_1/>\n</OsdSigName>\n");
    names = ReadOsdNames();
    EXPECT_EQ(names[1], "北门");
    EXPECT_EQ(names[8], " ");

    // A name that code page 936 cannot hold is refused; the file stays.
    const std::string before = ReadText(path);
    EXPECT_FALSE(CanStoreOsdName("😀"));
    EXPECT_TRUE(CanStoreOsdName("北门 1"));
    EXPECT_FALSE(WriteOsdName("1_1", "x😀", error));
    EXPECT_EQ(ReadText(path), before);

    // Bytes that are not code page 936: blank, one log line.
    WriteText(path, "<OsdSigName><1_1 name=\"\xFF\xFF\"/><1_2 name=\"ok\"/></OsdSigName>");
    names = ReadOsdNames();
    EXPECT_EQ(names[0], " ");
    EXPECT_EQ(names[1], "ok");
    EXPECT_EQ(tavrix::test::Occurrences(log.Text(), "not code page 936"), 1u);

    // Damaged: blanks and a log line; kept as it is until a name is written,
    // which sets it aside first.
    const std::string damaged = "<OsdSigName><1_1 name=\"a\">";
    WriteText(path, damaged);
    names = ReadOsdNames();
    EXPECT_EQ(names[0], " ");
    EXPECT_EQ(ReadText(path), damaged);
    EXPECT_EQ(tavrix::test::Occurrences(log.Text(), "damaged"), 1u);
    ASSERT_TRUE(WriteOsdName("1_3", "B", error)) << error;
    EXPECT_EQ(ReadText(path + ".bad"), damaged);
    names = ReadOsdNames();
    EXPECT_EQ(names[2], "B");
    EXPECT_EQ(names[0], " ");

    // Something that cannot be read as a file is left alone.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(WriteOsdName("1_1", "A", error));
    EXPECT_NE(error.find("OsdName.pro"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(ReadOsdNames()[0], " ");
}
