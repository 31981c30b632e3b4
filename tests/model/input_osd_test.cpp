#include "model/input_osd.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model_test_support.h"

namespace fs = std::filesystem;

namespace {

std::shared_ptr<CQelProcessor> LoadStore(int32_t kind)
{
    auto p = std::make_shared<CQelProcessor>();
    p->SetKind(kind);
    p->GetInputOsd().Load();
    return p;
}

// A version 1 record with a 32 x 1 bitmap.
void PutV1Record(Image& out, int32_t board, int32_t item, uint32_t color)
{
    out.Word(board).Word(item).Word(3).Word(4).Word(32).Word(1).Word(color).Word(0x00FF00).Word(0).Word(0);
    out.Bytes(4, 0x42);
}

} // namespace

TEST(InputOsd, ShapeFollowsTheModelAndItemsStartAtDefaults)
{
    fs::remove(CQelProcessor::CInputOSD::FilePath());
    EXPECT_EQ(LoadStore(7)->GetInputOsd().GetItemCount(), 8u);
    EXPECT_EQ(LoadStore(10)->GetInputOsd().GetItemCount(), 36u);
    EXPECT_EQ(LoadStore(9)->GetInputOsd().GetItemCount(), 4u);
    EXPECT_EQ(LoadStore(0)->GetInputOsd().GetItemCount(), 8u);

    auto p = LoadStore(8);
    std::vector<std::shared_ptr<tagOSD_DATA_EX2_S>> items;
    p->GetInputOsd().CopyItems(items);
    ASSERT_EQ(items.size(), 16u);
    for (size_t n = 0; n < items.size(); ++n) {
        const auto& r = *items[n];
        EXPECT_EQ(r.input, static_cast<int32_t>(n / 4));
        EXPECT_EQ(r.item, static_cast<int32_t>(n % 4));
        EXPECT_EQ(r.osd.captionColor, 0xFFFFFF);
        EXPECT_EQ(r.timeRectRight, 255);
        EXPECT_EQ(r.timeRectBottom, 127);
        EXPECT_EQ(r.fontSize, 1);
        EXPECT_EQ(r.inputWidth, 0);
        EXPECT_EQ(r.inputHeight, 0);
        EXPECT_EQ(r.inputRate, 60);
        EXPECT_EQ(r.timeMode, 0);
        EXPECT_EQ(r.osd.bitmap, std::vector<uint8_t>(4096, 0xFF));
    }

    // Each flat record owns its bitmap.
    items[0]->osd.bitmap[0] = 0;
    EXPECT_EQ(p->GetInputOsd().FindItem(0, 0)->osd.bitmap[0], 0xFF);
    EXPECT_EQ(p->GetInputOsd().FindItem(4, 0), nullptr);
    EXPECT_EQ(p->GetInputOsd().FindItem(0, 4), nullptr);
}

TEST(InputOsd, FileRecordsFillTheirItemsOnly)
{
    Image image;
    image.Word(4);
    PutV1Record(image, 1, 2, 0x111111);
    PutV1Record(image, 1, 2, 0x222222); // repeated: the first wins
    PutV1Record(image, 2, 0, 0x333333); // outside a model-7 store
    PutV1Record(image, 0, 4, 0x444444); // no such item
    const std::string file = image.Text();
    WriteText(CQelProcessor::CInputOSD::FilePath(), file);

    auto p = LoadStore(7);
    auto& store = p->GetInputOsd();
    EXPECT_EQ(store.GetItemCount(), 8u);
    const auto item = store.FindItem(1, 2);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->osd.background, 0x111111);
    EXPECT_EQ(item->osd.captionColor, 0x00FF00);
    EXPECT_EQ(item->left, 3);
    EXPECT_EQ(item->top, 4);
    EXPECT_EQ(item->osd.right, 32);
    EXPECT_EQ(item->osd.bitmap, std::vector<uint8_t>(4, 0x42));
    EXPECT_EQ(item->fontSize, 1);
    EXPECT_EQ(item->timeWidth, 255);
    EXPECT_EQ(item->timeHeight, 127);
    EXPECT_EQ(store.FindItem(1, 1)->osd.background, 0);
    EXPECT_EQ(store.FindItem(1, 1)->osd.bitmap.size(), 4096u);

    // A cut file gives what it holds and is kept aside.
    const std::string cut = file.substr(0, 4 + 44 + 20);
    WriteText(CQelProcessor::CInputOSD::FilePath(), cut);
    store.Load();
    EXPECT_EQ(store.FindItem(1, 2)->osd.background, 0x111111);
    EXPECT_EQ(ReadText(CQelProcessor::CInputOSD::FilePath() + ".bad"), cut);

    // Loading again replaces what the store held.
    store.SetItemColorA(1, 1, 0x999999);
    fs::remove(CQelProcessor::CInputOSD::FilePath());
    store.Load();
    EXPECT_EQ(store.GetItemCount(), 8u);
    EXPECT_EQ(store.FindItem(1, 1)->osd.background, 0);
    EXPECT_EQ(store.FindItem(1, 2)->osd.background, 0);
}

TEST(InputOsd, SaveWritesVersion3AndReloadsEveryField)
{
    fs::remove(CQelProcessor::CInputOSD::FilePath());
    auto p = LoadStore(10);
    auto& store = p->GetInputOsd();
    ASSERT_EQ(store.Save(), 0);
    std::string saved = ReadText(CQelProcessor::CInputOSD::FilePath());
    ASSERT_EQ(saved.size(), 149772u);
    EXPECT_EQ(saved.substr(0, 12), std::string("\xFF\xFF\xFF\xFF\x03\0\0\0\x24\0\0\0", 12));

    store.SetItemColorA(8, 3, 1);
    store.SetItemColorB(8, 3, 2);
    store.SetItemFlagA(8, 3, 3);
    store.SetItemFlagB(8, 3, 4);
    store.SetItemPairE(8, 3, 5, 6);
    store.SetItemValueF(8, 3, 7);
    store.SetItemPairG(8, 3, 8, 9);
    store.SetItemSize(8, 3, 10, 11);
    store.SetItemValueH(8, 3, 2);
    store.SetItemBitmap(8, 3, std::vector<uint8_t>(800, 0x24), 0, 0, 100, 50);
    store.SetItemBitmap(8, 2, std::vector<uint8_t>(8192, 0), 0, 0, 257, 128); // refused
    // Unknown items change nothing.
    store.SetItemColorA(9, 0, 77);
    store.SetItemSize(0, 4, 77, 77);
    ASSERT_EQ(store.Save(), 0);

    auto reloaded = LoadStore(10);
    const auto item = reloaded->GetInputOsd().FindItem(8, 3);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->osd.background, 1);
    EXPECT_EQ(item->osd.captionColor, 2);
    EXPECT_EQ(item->osd.transparent, 3);
    EXPECT_EQ(item->osd.shown, 4);
    EXPECT_EQ(item->left, 5);
    EXPECT_EQ(item->top, 6);
    EXPECT_EQ(item->timeShown, 7);
    EXPECT_EQ(item->timeLeft, 8);
    EXPECT_EQ(item->timeTop, 9);
    EXPECT_EQ(item->timeWidth, 10);
    EXPECT_EQ(item->timeHeight, 11);
    EXPECT_EQ(item->fontSize, 2);
    EXPECT_EQ(item->osd.right, 100);
    EXPECT_EQ(item->osd.bottom, 50);
    EXPECT_EQ(item->osd.bitmap, std::vector<uint8_t>(800, 0x24));
    EXPECT_EQ(reloaded->GetInputOsd().FindItem(8, 2)->osd.bitmap, std::vector<uint8_t>(4096, 0xFF));
    EXPECT_EQ(reloaded->GetInputOsd().FindItem(0, 0)->timeWidth, 255);

    // A store that cannot be written says so.
    fs::remove(CQelProcessor::CInputOSD::FilePath());
    fs::create_directory(CQelProcessor::CInputOSD::FilePath());
    EXPECT_EQ(store.Save(), 1);
    fs::remove(CQelProcessor::CInputOSD::FilePath());
}

TEST(InputOsd, RgbToYuvPacksUYVY)
{
    EXPECT_EQ(RgbToYuv(0, 0, 0), 0x80008000u);
    EXPECT_EQ(RgbToYuv(255, 255, 255), 0x80FF7FFFu);
    EXPECT_EQ(RgbToYuv(255, 0, 0), 0x5A4CFF4Cu);   // V clamps at 255
    EXPECT_EQ(RgbToYuv(0, 255, 255), 0xA5B200B2u); // V clamps at 0
    EXPECT_TRUE(OsdItemPayload(tagOSD_DATA_EX_S{}).empty());
}
