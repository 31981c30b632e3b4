// The context's two plan managers. The context sits below the plan library,
// so it makes them through makers installed from here.
#include "plan/context_plan_managers.h"

#include "context/context.h"
#include "plan/cycle_plan.h"
#include "plan/plan_manager.h"

void InstallPlanManagers()
{
    CQelContext::SetPlanManMakers([] { return std::make_shared<CQelPlanMan>(); },
                                  [] { return std::make_shared<CQelCyclePlanMan>(); });
}
