#include "frame/plan_layout.h"

#include "core/language_tr.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "plan/plan_store.h"

namespace {

constexpr char kPlanExtension[] = ".plan";

// `count` equal bands of `length`, the last one taking the remainder.
std::vector<std::pair<int, int>> Bands(int length, int count)
{
    std::vector<std::pair<int, int>> bands;
    const int step = length / count;
    for (int i = 0; i < count; ++i)
        bands.emplace_back(step * i, i + 1 == count ? length : step * (i + 1));
    return bands;
}

} // namespace

std::vector<Rect> StandardLayoutRects(int layoutTemplate, const Size& wall)
{
    int rows = 0;
    int cols = 0;
    switch (layoutTemplate) {
    case 12:
    case 13:
    case 14:
        rows = 1;
        cols = layoutTemplate - 10;
        break;
    case 21:
    case 31:
    case 41:
        rows = layoutTemplate / 10;
        cols = 1;
        break;
    case 22:
        rows = 2;
        cols = 2;
        break;
    default: return {};
    }
    std::vector<Rect> rects;
    for (const auto& [top, bottom] : Bands(wall.cy, rows))
        for (const auto& [left, right] : Bands(wall.cx, cols))
            rects.push_back(Rect{left, top, right, bottom});
    return rects;
}

int32_t LayoutSourceId(const CQelProcessor* processor, int position)
{
    if (!processor || position < 0)
        return -1;
    if (const auto source = processor->records().GetSigSrcAt(size_t(position)))
        return int32_t(source->GetId());
    if (const auto first = processor->records().GetSigSrcAt(0))
        return int32_t(first->GetId());
    return -1;
}

void BuildStandardLayout(int layoutTemplate, CQelPlan& plan, const CQelProcessor* processor)
{
    const std::vector<Rect> rects = StandardLayoutRects(layoutTemplate, plan.GetPixelSize());
    const PlanSelection selection = CurrentPlanSelection();
    for (size_t i = 0; i < rects.size(); ++i) {
        auto window = std::make_shared<CQelWindow>();
        window->processor = processor ? int32_t(processor->GetId()) : -1;
        window->sigsrc = LayoutSourceId(processor, int(i));
        window->rect = rects[i];
        plan.AddWindow(window, selection);
    }
    plan.PlaceWindows();
}

PlanNameProblem CheckNewPlanName(CQelPlanMan& plans, const std::string& name)
{
    if (name.empty())
        return PlanNameProblem::Empty;
    if (!plan_store::IsSafeName(name, kPlanExtension))
        return PlanNameProblem::Unsafe;
    if (plans.PlanNameExists(name))
        return PlanNameProblem::Taken;
    return PlanNameProblem::None;
}

QString PlanNameMessage(PlanNameProblem problem)
{
    switch (problem) {
    case PlanNameProblem::Empty: return Tr(plantext::kNameEmpty);
    case PlanNameProblem::Taken: return Tr(plantext::kNameTaken);
    case PlanNameProblem::Unsafe: return Tr(plantext::kNameUnsafe);
    case PlanNameProblem::None: break;
    }
    return {};
}
