#pragma once
// The wall view's fixture: processor 1 of model 3, selected, whose wall map
// gives each cell of a 2 x 2 wall an output, and a type-0 plan of 2 x 2
// screens of 1920 x 1080 @ 60, each split 2 x 2, without margins.
#include <memory>
#include <vector>

#include "core/event_queue.h"
#include "model/processor.h"
#include "tests/builder/sender_test_support.h"
#include "views/wall_view_core.h"

struct WallFixture {
    WallFixture()
    {
        CEvtQueue::get_instance().Clear();
        processor->SetKind(3);
        SetTestOutputs(*processor, {101, 102, 103, 104}, {{{0, 0}, 101}, {{0, 1}, 102}, {{1, 0}, 103}, {{1, 1}, 104}});
        SelectTestProcessor(processor);
        plan->SetId(7);
        plan->SetCellSplit(2, 2);
    }
    ~WallFixture() { CEvtQueue::get_instance().Clear(); }

    // A type-1 plan of one row of two 1920 x 1080 screens watching
    // `watched` outputs.
    static std::shared_ptr<CQelPlan> WatchPlan(const std::vector<int32_t>& watched)
    {
        std::shared_ptr<CQelPlan> p = MakeTestPlan(1, 2, kPlanSizedGrid);
        p->BuildWatchWindows(watched, CurrentPlanSelection());
        return p;
    }

    SenderContextGuard guard;
    std::shared_ptr<CQelProcessor> processor = std::make_shared<CQelProcessor>();
    std::shared_ptr<CQelPlan> plan = MakeTestPlan(2, 2, kPlanUniform);
};

// On fixture F (model 8, one row of two screens): a window the 8-part
// placement cannot realise, on source 500 of input board 5.
inline std::shared_ptr<CQelPlan> UnplaceablePlan(FixtureF& f)
{
    AddTestBoards(*f.processor, {{5, 1}});
    AddTestSource(*f.processor, 500, 1920, 1080);
    std::shared_ptr<CQelPlan> plan = std::move(f.plan);
    AddTestWindow(*plan, 500, {0, 0, 1920, 1080});
    return plan;
}

// The core with its hooks recorded.
class CoreProbe : public WallViewCore {
public:
    explicit CoreProbe(Size client = Size{1000, 600}) { geometry().SetClientSize(client); }
    void InvalidateView() override { ++invalidations; }
    void ExecutePlan(ExecMode mode, int withProgress) override { executed.push_back({mode, withProgress}); }

    int invalidations = 0;
    std::vector<std::pair<int, int>> executed;
};
