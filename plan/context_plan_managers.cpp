// The context's two plan managers. The context sits below the plan library,
// so their accessors live here, where the managers' types are complete.
#include "app/context.h"
#include "plan/cycle_plan.h"
#include "plan/plan_manager.h"

std::shared_ptr<CQelPlanMan> CQelContext::GetPlanMan()
{
    return PlanManSlot([] { return std::make_shared<CQelPlanMan>(); });
}

std::shared_ptr<CQelCyclePlanMan> CQelContext::GetCyclePlanMan()
{
    return CyclePlanManSlot([] { return std::make_shared<CQelCyclePlanMan>(); });
}
