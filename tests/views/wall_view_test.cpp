#include "tests/views/wall_view_test.h"

#include "context/context.h"
#include "core/config.h"
#include "plan/plan.h"

std::vector<int> Kinds(const CQelPlan& plan)
{
    std::vector<int> kinds;
    for (int i = 0; i < plan.GetHistoryCount(); ++i)
        kinds.push_back(plan.GetHistoryAt(i)->GetKind());
    return kinds;
}

void SetUpWallViewModel(WallFixture& f)
{
    AddTestSource(*f.processor, 101, 1920, 1080);
    AddTestSource(*f.processor, 102, 1920, 1080);
    CQelContext::SetSelSigSrc(1, 101);
    SetConfigBool("MulSView.AutoExecute", false);
    SetConfigBool("MulSView.FitModule", true);
}
