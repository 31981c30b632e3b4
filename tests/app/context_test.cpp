#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/context.h"
#include "app/event_queue.h"
#include "model/processor_manager.h"

namespace {

std::vector<EventPtr> DrainEvents()
{
    std::vector<EventPtr> events;
    EventPtr event;
    while (CEvtQueue::get_instance().TryPop(event))
        events.push_back(event);
    return events;
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
        DrainEvents();
    }
    void TearDown() override
    {
        CQelContext::Destroy();
        DrainEvents();
    }

    // The (processor, source) of every selection event posted since the last call.
    static std::vector<std::pair<int, int>> SelectionEvents()
    {
        std::vector<std::pair<int, int>> seen;
        for (const EventPtr& e : DrainEvents()) {
            EXPECT_EQ(e->GetType(), CSigSrcSelChangedEvent::kType);
            const auto& sel = dynamic_cast<const CSigSrcSelChangedEvent&>(*e);
            seen.emplace_back(sel.processorId, sel.sourceId);
        }
        return seen;
    }
};

using Selection = std::vector<std::pair<int, int>>;

} // namespace

TEST_F(Context, StartsWithNothingSelectedAndKeepsItsManagers)
{
    EXPECT_EQ(CQelContext::GetSelProcessorId(), -1);
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), -1);
    EXPECT_EQ(CQelContext::GetSelPlanId(), 0);
    EXPECT_NE(CQelContext::GetLog(), nullptr);
    EXPECT_EQ(CQelContext::GetProMan(), CQelContext::GetProMan());

    // After Destroy the next use makes a fresh, empty context.
    const std::weak_ptr<CQelProMan> old = CQelContext::GetProMan();
    CQelContext::SetSelSigSrc(1, 101);
    CQelContext::Destroy();
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(CQelContext::GetSelProcessorId(), -1);
    EXPECT_TRUE(CQelContext::GetProMan()->GetProcessors().empty());
}

TEST_F(Context, SelectingASourcePostsOnlyOnChange)
{
    CQelContext::SetSelSigSrc(1, 101);
    CQelContext::SetSelSigSrc(1, 101);
    EXPECT_EQ(SelectionEvents(), (Selection{{1, 101}}));
    EXPECT_EQ(CQelContext::GetSelProcessorId(), 1);
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), 101);

    // A source the processor does not have is stored as -1.
    CQelContext::SetSelSigSrc(1, 999);
    CQelContext::SetSelSigSrc(1, 998);
    EXPECT_EQ(SelectionEvents(), (Selection{{1, -1}}));
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), -1);

    CQelContext::SetSelSigSrc(1, 102);
    EXPECT_EQ(SelectionEvents(), (Selection{{1, 102}}));
}

TEST_F(Context, UnknownProcessorIsStoredAsNoneWithTheSourceAsPassed)
{
    CQelContext::SetSelSigSrc(7, 101);
    EXPECT_EQ(SelectionEvents(), (Selection{{-1, 101}}));
    EXPECT_EQ(CQelContext::GetSelProcessorId(), -1);
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), 101);
    CQelContext::SetSelSigSrc(8, 101);
    EXPECT_TRUE(SelectionEvents().empty());
}

TEST_F(Context, SelectingAPlanPostsOnlyOnChange)
{
    CQelContext::SetSelPlan(0);
    EXPECT_TRUE(DrainEvents().empty());
    CQelContext::SetSelPlan(4);
    CQelContext::SetSelPlan(4);
    CQelContext::SetSelPlan(0);
    const auto events = DrainEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]->GetType(), CPlanSelChangedEvent::kType);
    EXPECT_EQ(dynamic_cast<const CPlanSelChangedEvent&>(*events[0]).planId, 4);
    EXPECT_EQ(dynamic_cast<const CPlanSelChangedEvent&>(*events[1]).planId, 0);
    EXPECT_EQ(CQelContext::GetSelPlanId(), 0);
}
