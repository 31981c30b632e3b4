#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "plan/window.h"

namespace {

CQelWindow Filled()
{
    CQelWindow w;
    w.id = 7;
    w.name = "台标";
    w.processor = 1;
    w.sigsrc = 3;
    w.layer = 2;
    w.rectView = {1, 2, 3, 4};
    w.rect = {10, 20, 30, 40};
    w.rcsigsrc = {0, 0, 640, 480};
    w.szsigsrcfull = {1920, 1080};
    w.rcsigsrcinner = {5, 6, 7, 8};
    w.fullscreen = true;
    w.active = true;
    w.status = 1;
    w.scaled = false;
    w.resourceOk = true;
    w.is4k = 1;
    w.group = 4;
    w.osd.background = 0x123456;
    std::vector<uint8_t> bits(800, 0x5A);
    EXPECT_TRUE(OsdRecordSetBitmap(w.osd, bits, 0, 0, 100, 50));
    return w;
}

} // namespace

TEST(WindowRecord, NewRecordHasDefaultsAndWhiteLogo)
{
    const CQelWindow w;
    EXPECT_EQ(w.processor, -1);
    EXPECT_EQ(w.sigsrc, -1);
    EXPECT_TRUE(w.scaled);
    EXPECT_FALSE(w.fullscreen);
    EXPECT_FALSE(w.active);
    EXPECT_FALSE(w.resourceOk);
    EXPECT_EQ(w.is4k, 0);
    EXPECT_EQ(w.group, 0);
    EXPECT_EQ(w.rect, Rect{});
    EXPECT_EQ(w.rectView, Rect{});
    EXPECT_EQ(w.rcsigsrc, Rect{});
    EXPECT_EQ(w.rcsigsrcinner, Rect{});
    EXPECT_EQ(w.szsigsrcfull, Size{});
    EXPECT_EQ(w.osd.left, 0);
    EXPECT_EQ(w.osd.top, 0);
    EXPECT_EQ(w.osd.right, 256);
    EXPECT_EQ(w.osd.bottom, 128);
    ASSERT_EQ(w.osd.bitmap.size(), 4096u);
    for (uint8_t b : w.osd.bitmap)
        ASSERT_EQ(b, 0xFF);
}

TEST(WindowRecord, CopyLeavesDestinationPartNumberAndOsd)
{
    const CQelWindow src = Filled();
    CQelWindow dst;
    WindowRecordCopy(dst, src);
    EXPECT_EQ(dst.id, 7);
    EXPECT_EQ(dst.name, "台标");
    EXPECT_EQ(dst.processor, 1);
    EXPECT_EQ(dst.sigsrc, 3);
    EXPECT_EQ(dst.layer, 2);
    EXPECT_EQ(dst.rectView, src.rectView);
    EXPECT_EQ(dst.rect, src.rect);
    EXPECT_EQ(dst.rcsigsrc, src.rcsigsrc);
    EXPECT_EQ(dst.szsigsrcfull, src.szsigsrcfull);
    EXPECT_EQ(dst.rcsigsrcinner, src.rcsigsrcinner);
    EXPECT_TRUE(dst.fullscreen);
    EXPECT_TRUE(dst.active);
    EXPECT_EQ(dst.status, 1);
    EXPECT_FALSE(dst.scaled);
    EXPECT_TRUE(dst.resourceOk);
    EXPECT_EQ(dst.group, 4);
    // Not copied: the fresh record keeps its own.
    EXPECT_EQ(dst.is4k, 0);
    EXPECT_EQ(dst.osd.background, 0);
    EXPECT_EQ(dst.osd.right, 256);
    EXPECT_EQ(dst.osd.bitmap.size(), 4096u);

    CQelWindow self = Filled();
    WindowRecordCopy(self, self);
    EXPECT_EQ(self.name, "台标");
    EXPECT_EQ(self.osd.bitmap.size(), 800u);
}

TEST(WindowRecord, CompareSeesEveryFieldButActiveGroupPartAndOsd)
{
    const CQelWindow base = Filled();
    EXPECT_FALSE(WindowRecordDiffers(base, base));

    CQelWindow same = base;
    same.active = !same.active;
    same.group = 99;
    same.is4k = 3;
    OsdRecordInit(same.osd);
    EXPECT_FALSE(WindowRecordDiffers(base, same));

    const std::vector<std::function<void(CQelWindow&)>> changes = {
        [](CQelWindow& w) { w.id++; },
        [](CQelWindow& w) { w.name += "x"; },
        [](CQelWindow& w) { w.processor++; },
        [](CQelWindow& w) { w.sigsrc = -2; },
        [](CQelWindow& w) { w.layer++; },
        [](CQelWindow& w) { w.rectView.bottom++; },
        [](CQelWindow& w) { w.rect.left++; },
        [](CQelWindow& w) { w.rcsigsrc.right--; },
        [](CQelWindow& w) { w.szsigsrcfull.cy++; },
        [](CQelWindow& w) { w.rcsigsrcinner.top++; },
        [](CQelWindow& w) { w.fullscreen = !w.fullscreen; },
        [](CQelWindow& w) { w.status = 0; },
        [](CQelWindow& w) { w.scaled = !w.scaled; },
        [](CQelWindow& w) { w.resourceOk = !w.resourceOk; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        CQelWindow other = base;
        changes[i](other);
        EXPECT_TRUE(WindowRecordDiffers(base, other)) << "change " << i;
    }
}
