#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "context/context.h"
#include "core/event_queue.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_src.h"

namespace {

using Posted = std::vector<std::pair<int, int>>;

// (processor, source) of a selection event, or (plan, 0) of a plan event.
Posted TakeEvents()
{
    Posted seen;
    EventPtr e;
    while (CEvtQueue::get_instance().TryPop(e)) {
        if (auto* sel = dynamic_cast<const CSigSrcSelChangedEvent*>(e.get()))
            seen.emplace_back(sel->processorId, sel->sourceId);
        else if (auto* plan = dynamic_cast<const CPlanSelChangedEvent*>(e.get()))
            seen.emplace_back(plan->planId, 0);
    }
    return seen;
}

class Context : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto processor = std::make_shared<CQelProcessor>();
        processor->SetId(1);
        processor->AddSigSrc(std::make_shared<CQelSigSrc>(101), false, false);
        processor->AddSigSrc(std::make_shared<CQelSigSrc>(102), false, false);
        ASSERT_TRUE(CQelContext::GetProMan()->AddProcessor(processor));
        TakeEvents();
    }
    void TearDown() override { CQelContext::Destroy(); }
};

} // namespace

TEST_F(Context, SelectionPostsOnlyOnChangeAndStoresUnknownIdsAsNone)
{
    EXPECT_EQ(CQelContext::GetSelProcessorId(), -1);
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), -1);
    CQelContext::SetSelSigSrc(1, 101);
    CQelContext::SetSelSigSrc(1, 101);
    EXPECT_EQ(TakeEvents(), (Posted{{1, 101}}));

    // A source the processor lacks becomes -1, once.
    CQelContext::SetSelSigSrc(1, 999);
    CQelContext::SetSelSigSrc(1, 998);
    EXPECT_EQ(TakeEvents(), (Posted{{1, -1}}));

    // An unknown processor becomes -1; the source stays as passed.
    CQelContext::SetSelSigSrc(7, 102);
    CQelContext::SetSelSigSrc(8, 102);
    EXPECT_EQ(TakeEvents(), (Posted{{-1, 102}}));
    EXPECT_EQ(CQelContext::GetSelProcessorId(), -1);
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), 102);

    EXPECT_EQ(CQelContext::GetSelPlanId(), 0);
    CQelContext::SetSelPlan(0);
    CQelContext::SetSelPlan(4);
    CQelContext::SetSelPlan(4);
    CQelContext::SetSelPlan(0);
    EXPECT_EQ(TakeEvents(), (Posted{{4, 0}, {0, 0}}));
}

TEST_F(Context, DestroyReleasesTheManagersAndTheNextUseStartsAfresh)
{
    EXPECT_NE(CQelContext::GetLog(), nullptr);
    const std::weak_ptr<CQelProMan> old = CQelContext::GetProMan();
    CQelContext::SetSelSigSrc(1, 101);
    CQelContext::SetSelPlan(3);
    CQelContext::Destroy();
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(CQelContext::GetSelProcessorId(), -1);
    EXPECT_EQ(CQelContext::GetSelPlanId(), 0);
    EXPECT_TRUE(CQelContext::GetProMan()->GetProcessors().empty());
    TakeEvents();
}
