#include "tests/views/wall_fixture.h"

#include "core/event_queue.h"
#include "model/processor.h"
#include "plan/plan.h"

WallFixture::WallFixture() : processor(std::make_shared<CQelProcessor>()), plan(MakeTestPlan(2, 2, kPlanUniform))
{
    CEvtQueue::get_instance().Clear();
    processor->SetKind(3);
    SetTestOutputs(*processor, {101, 102, 103, 104}, {{{0, 0}, 101}, {{0, 1}, 102}, {{1, 0}, 103}, {{1, 1}, 104}});
    SelectTestProcessor(processor);
    plan->SetId(7);
    plan->SetCellSplit(2, 2);
}

WallFixture::~WallFixture()
{
    CEvtQueue::get_instance().Clear();
}

std::shared_ptr<CQelPlan> WallFixture::WatchPlan(const std::vector<int32_t>& watched)
{
    std::shared_ptr<CQelPlan> p = MakeTestPlan(1, 2, kPlanSizedGrid);
    p->BuildWatchWindows(watched, CurrentPlanSelection());
    return p;
}

std::shared_ptr<CQelPlan> UnplaceablePlan(FixtureF& f)
{
    AddTestBoards(*f.processor, {{5, 1}});
    AddTestSource(*f.processor, 500, 1920, 1080);
    std::shared_ptr<CQelPlan> plan = std::move(f.plan);
    AddTestWindow(*plan, 500, {0, 0, 1920, 1080});
    return plan;
}

CoreProbe::CoreProbe(Size client)
{
    geometry().SetClientSize(client);
}

void CoreProbe::InvalidateView()
{
    ++invalidations;
}

void CoreProbe::ExecutePlan(ExecMode mode, int withProgress)
{
    executed.push_back({mode, withProgress});
}
