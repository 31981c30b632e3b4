#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "plan/plan.h"
#include "plan/plan_builders.h"
#include "plan_test_support.h"
#include "tests/support/scoped_setting.h"

namespace {

using FailRects = std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>>;
using Segments = std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>>;

// Records what the plan hands on and answers with set values.
class FakeBuilders : public IPlanBuilders {
public:
    bool Apply(CQelPlan& plan, int32_t mode, IProgress* receiver) override
    {
        calls.push_back({"apply", &plan, mode, receiver});
        return answer;
    }
    void PlaceWindows(CQelPlan& plan) override
    {
        calls.push_back({"place", &plan, 0, nullptr});
        for (const auto& w : plan.GetWindows())
            okOnEntry.push_back(w->resourceOk);
        plan.GetWindowAt(0)->resourceOk = true;
    }
    bool SaveToProcessor(CQelPlan& plan, int32_t slot, IProgress* receiver) override
    {
        calls.push_back({"save", &plan, slot, receiver});
        return answer;
    }
    FailRects EightPartOverlay(const CQelPlan&) const override { return failRects; }
    Segments EightPartOverlay2(const CQelPlan&) const override { return segments; }

    struct Call {
        const char* what;
        const CQelPlan* plan;
        int32_t value;
        IProgress* receiver;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    std::vector<bool> okOnEntry;
    bool answer = true;
    FailRects failRects{std::make_shared<_8PART_NS::tagFPGAWindowFailRect>()};
    Segments segments{std::make_shared<_8PART_NS::tagMonitorInvalidSegmentWindow>(),
                      std::make_shared<_8PART_NS::tagMonitorInvalidSegmentWindow>()};
};

class Progress : public IProgress {
public:
    void OnProgress(int, int) override {}
};

class PlanBuilders : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 2; ++i) {
            plan.AddWindow(MakeWindow({0, 0, 100, 100}), CurrentPlanSelection());
            plan.GetWindowAt(i)->resourceOk = true;
        }
    }
    CQelPlan plan;
};

TEST_F(PlanBuilders, WithoutBuildersNothingIsAppliedOrRealised)
{
    const ScopedHook none(SetPlanBuilders, nullptr);
    EXPECT_FALSE(plan.Apply(0, nullptr));
    EXPECT_FALSE(plan.SaveToProcessor(1, nullptr));
    EXPECT_TRUE(plan.GetEightPartOverlay().empty());
    EXPECT_TRUE(plan.GetEightPartOverlay2().empty());
    plan.PlaceWindows();
    for (const auto& w : plan.GetWindows())
        EXPECT_FALSE(w->resourceOk);
}

TEST_F(PlanBuilders, PlanHandsItselfAndItsArgumentsToTheInstalledBuilders)
{
    auto builders = std::make_shared<FakeBuilders>();
    const ScopedHook installed(SetPlanBuilders, builders);
    Progress progress;

    EXPECT_TRUE(plan.Apply(1, &progress));
    EXPECT_TRUE(plan.SaveToProcessor(7, &progress));
    builders->answer = false;
    EXPECT_FALSE(plan.Apply(0, nullptr));
    EXPECT_FALSE(plan.SaveToProcessor(2, nullptr));
    plan.PlaceWindows();

    const std::vector<FakeBuilders::Call> expected{{"apply", &plan, 1, &progress},
                                                   {"save", &plan, 7, &progress},
                                                   {"apply", &plan, 0, nullptr},
                                                   {"save", &plan, 2, nullptr},
                                                   {"place", &plan, 0, nullptr}};
    EXPECT_EQ(builders->calls, expected);
    // The plan clears every window's mark before the builders set theirs.
    EXPECT_EQ(builders->okOnEntry, (std::vector<bool>{false, false}));
    EXPECT_TRUE(plan.GetWindowAt(0)->resourceOk);
    EXPECT_FALSE(plan.GetWindowAt(1)->resourceOk);

    EXPECT_EQ(plan.GetEightPartOverlay(), builders->failRects);
    EXPECT_EQ(plan.GetEightPartOverlay2(), builders->segments);
}

} // namespace
