#include <gtest/gtest.h>

#include "tests/builder/sender_test_support.h"

#include "builder/pro8part_sender.h"
#include "builder/resource_allocer.h"
#include "model/processor.h"
#include "plan/plan.h"

using namespace _8PART_NS;

namespace {

using Invalid = std::vector<Rect>;
using Results = std::vector<std::shared_ptr<tagMonitorInvalidSegmentWindow>>;

Results Query(CQelPlan& plan)
{
    CPro8PartSender sender(&plan, 0);
    Results out;
    EXPECT_EQ(sender.CheckPlacementBySplit(out), 0);
    return out;
}

Invalid Rects(const tagMonitorInvalidSegmentWindow& record)
{
    Invalid rects;
    for (const auto& i : record.invalid) {
        EXPECT_EQ(i.value, 0);
        rects.push_back(i.rect);
    }
    return rects;
}

class SplitQuery : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto processor = std::make_shared<CQelProcessor>();
        BuildFixtureS(*processor);
        SelectTestProcessor(processor);
        plan = MakeTestPlan(1, 2);
    }

    SenderContextGuard guard;
    std::unique_ptr<CQelPlan> plan;
};

} // namespace

TEST_F(SplitQuery, BandHoldsFourCoveredCells)
{
    for (int32_t x = 0; x < 1000; x += 200)
        AddTestWindow(*plan, 100, {x, 0, x + 100, 1080});
    // An OSD window in a gap neither cuts nor covers.
    AddTestWindow(*plan, kLogoSigSrc, {120, 0, 180, 1080});

    const auto out = Query(*plan);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(std::tie(out[0]->row, out[0]->col), std::make_tuple(0, 0));
    EXPECT_EQ(out[0]->rect, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(Rects(*out[0]), (Invalid{{700, 0, 800, 1080}, {800, 0, 900, 1080}, {900, 0, 1920, 1080}}));
    EXPECT_EQ(std::tie(out[1]->row, out[1]->col), std::make_tuple(0, 1));
    EXPECT_EQ(out[1]->rect, (Rect{1920, 0, 3840, 1080}));
    EXPECT_TRUE(out[1]->invalid.empty());
}

TEST_F(SplitQuery, HiddenEdgesCutNothing)
{
    // The bottom window's left edge at 650 lies under the window at
    // 600..700; only its part from 700 on makes the fifth covered cell.
    AddTestWindow(*plan, 100, {650, 0, 1920, 1080});
    for (int32_t x = 0; x < 800; x += 200)
        AddTestWindow(*plan, 100, {x, 0, x + 100, 1080});
    const auto out = Query(*plan);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(Rects(*out[0]), (Invalid{{700, 0, 1920, 1080}}));
}

TEST_F(SplitQuery, BandsPastTheNinthAreInvalid)
{
    for (int32_t y = 0; y < 1000; y += 100)
        AddTestWindow(*plan, 100, {0, y, 1920, y + 100});
    const auto out = Query(*plan);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(Rects(*out[0]), (Invalid{{0, 900, 1920, 1000}, {0, 1000, 1920, 1080}}));
    EXPECT_TRUE(out[1]->invalid.empty());
}
