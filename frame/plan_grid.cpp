#include "frame/plan_grid.h"

#include "model/processor.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"

namespace {
constexpr int kCellSplit = 2;
}

void FillPlanGridFromProcessor(CQelPlan& plan, const CQelProcessor& processor)
{
    const CQelProcessor::Wall wall = processor.GetWall();
    plan.SetGrid(wall.rows, wall.cols);
    plan.SetCellSplit(kCellSplit, kCellSplit);
    plan.SetResolution(processor.GetOutputResolution());
    plan.SetMargin(wall.margin);
    if (!CQelProcessor::HasCellSizes(processor.GetKind()))
        return;
    plan.SetType(1);
    plan.SetRowHeights(wall.rowHeights);
    plan.SetColumnWidths(wall.colWidths);
    plan.BuildWatchWindows(wall.watch, CurrentPlanSelection());
}

std::string FirstFreePlanName(CQelPlanMan& plans, const std::string& prefix)
{
    for (int n = 1;; ++n) {
        std::string name = prefix + "_" + std::to_string(n);
        if (!plans.PlanNameExists(name))
            return name;
    }
}
