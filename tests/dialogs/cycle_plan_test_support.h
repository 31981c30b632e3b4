#pragma once
// What the cycle-plan dialog tests share: saved plans in a fresh plan
// folder, and cells of the sheets as the mouse reaches them.
#include <QPoint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "context/context.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "plan/cycle_plan.h"
#include "plan/plan_manager.h"
#include "uikit/ui_sheet_ctrl.h"

namespace cycletest {

inline void FreshPlanFolder()
{
    std::filesystem::remove_all(qz::vok::path::GetPlanPath());
    std::filesystem::create_directories(qz::vok::path::GetPlanPath());
}

// A saved 1 x 1 plan of one screen; `windows` are (source, wall rectangle).
inline std::shared_ptr<CQelPlan> SavePlan(const std::string& name, ResolutionTriple screen = {1920, 1080, 60},
                                          const std::vector<std::pair<int32_t, Rect>>& windows = {})
{
    const auto plans = CQelContext::GetPlanMan();
    auto plan = plans->CreatePlan(name);
    plan->SetGrid(1, 1);
    plan->SetResolution(screen);
    for (const auto& [source, rect] : windows) {
        auto window = std::make_shared<CQelWindow>();
        window->processor = 1;
        window->sigsrc = source;
        window->rect = rect;
        plan->AddWindow(window, CurrentPlanSelection());
    }
    EXPECT_TRUE(plans->SavePlanFile(plan)) << name;
    CEvtQueue::get_instance().Clear();
    return plan;
}

// A listed cycle plan with cells of the given plans and seconds.
inline std::shared_ptr<CQelCyclePlan> ListCycle(const std::string& name,
                                                const std::vector<std::pair<std::string, int32_t>>& cells)
{
    auto cycle = std::make_shared<CQelCyclePlan>(name);
    for (const auto& [plan, seconds] : cells) {
        EXPECT_TRUE(cycle->AddCell(plan)) << plan;
        cycle->SetCellSeconds(int32_t(cycle->GetCells().size()) - 1, seconds);
    }
    EXPECT_TRUE(CQelContext::GetCyclePlanMan()->Add(cycle));
    EXPECT_TRUE(cycle->Save());
    return cycle;
}

inline std::vector<std::pair<std::string, int32_t>> CellsOf(const CQelCyclePlan& cycle)
{
    std::vector<std::pair<std::string, int32_t>> out;
    for (const auto& c : cycle.GetCells())
        out.emplace_back(c->planName, c->seconds);
    return out;
}

inline QPoint CellCentre(const CUiSheetCtrl& sheet, int row, int column)
{
    Rect r;
    EXPECT_TRUE(sheet.GetCellRect(row, column, r)) << row << "," << column;
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Column 0 and column 1 of every row.
inline std::vector<std::pair<QString, QString>> Rows(const CUiSheetCtrl& sheet, int second = 1)
{
    std::vector<std::pair<QString, QString>> out;
    for (int r = 0; r < sheet.GetRowCount(); ++r)
        out.emplace_back(sheet.GetItemText(r, 0), sheet.GetItemText(r, second));
    return out;
}

} // namespace cycletest
