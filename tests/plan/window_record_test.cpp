#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "model/osd_record.h"
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
    w.fullscreen = w.active = w.resourceOk = true;
    w.scaled = false;
    w.status = 1;
    w.is4k = 1;
    w.group = 4;
    EXPECT_TRUE(OsdRecordSetBitmap(*w.osd, std::vector<uint8_t>(800, 0x5A), 0, 0, 100, 50));
    return w;
}

} // namespace

TEST(WindowRecord, CopyLeavesDestinationPartNumberAndOsd)
{
    const CQelWindow src = Filled();
    CQelWindow dst;
    WindowRecordCopy(dst, src);
    EXPECT_FALSE(WindowRecordDiffers(dst, src));
    EXPECT_TRUE(dst.active);
    EXPECT_EQ(dst.group, 4);
    EXPECT_EQ(dst.is4k, 0);
    EXPECT_EQ(dst.osd->bitmap, std::vector<uint8_t>(4096, 0xFF));

    CQelWindow self = Filled();
    WindowRecordCopy(self, self);
    EXPECT_EQ(self.name, "台标");
    EXPECT_EQ(self.osd->bitmap.size(), 800u);
}

TEST(WindowRecord, CompareSeesEveryFieldButActiveGroupPartAndOsd)
{
    const CQelWindow base = Filled();
    EXPECT_FALSE(WindowRecordDiffers(base, base));
    CQelWindow same = base;
    same.active = false;
    same.group = 99;
    same.is4k = 3;
    OsdRecordInit(*same.osd);
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
        [](CQelWindow& w) { w.fullscreen = false; },
        [](CQelWindow& w) { w.status = 0; },
        [](CQelWindow& w) { w.scaled = true; },
        [](CQelWindow& w) { w.resourceOk = false; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        CQelWindow other = base;
        changes[i](other);
        EXPECT_TRUE(WindowRecordDiffers(base, other)) << "change " << i;
    }
}
