// The plan's operations that run a builder, forwarded to the builders that
// start-up installed.
#include "plan/plan_builders.h"

#include <utility>

#include "plan/plan.h"

namespace {

std::shared_ptr<IPlanBuilders> g_builders;

} // namespace

void SetPlanBuilders(std::shared_ptr<IPlanBuilders> builders)
{
    g_builders = std::move(builders);
}

IPlanBuilders* GetPlanBuilders()
{
    return g_builders.get();
}

bool CQelPlan::Apply(int32_t mode, IProgress* receiver)
{
    IPlanBuilders* builders = GetPlanBuilders();
    return builders && builders->Apply(*this, mode, receiver);
}

void CQelPlan::PlaceWindows()
{
    for (const auto& w : windows_)
        w->resourceOk = false;
    if (IPlanBuilders* builders = GetPlanBuilders())
        builders->PlaceWindows(*this);
}

bool CQelPlan::SaveToProcessor(int32_t slot, IProgress* receiver)
{
    IPlanBuilders* builders = GetPlanBuilders();
    return builders && builders->SaveToProcessor(*this, slot, receiver);
}

std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>> CQelPlan::GetEightPartOverlay() const
{
    const IPlanBuilders* builders = GetPlanBuilders();
    return builders ? builders->EightPartOverlay(*this)
                    : std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>>{};
}

std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>> CQelPlan::GetEightPartOverlay2() const
{
    const IPlanBuilders* builders = GetPlanBuilders();
    return builders ? builders->EightPartOverlay2(*this)
                    : std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>>{};
}
