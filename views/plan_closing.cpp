#include "views/plan_closing.h"

#include "core/language_tr.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"

QString UnsavedPlanQuestion(const std::string& name)
{
    return QStringLiteral("\"%1\" %2").arg(QString::fromStdString(name), Tr(viewtext::kPlanUnsaved));
}

ClosingPlanStep ClosingPlanStepFor(const CQelPlan& plan, const std::vector<std::string>& savedNames)
{
    if (plan.IsDirty())
        return ClosingPlanStep::Ask;
    return CQelPlanMan::PlanNameInList(savedNames, plan.GetName()) ? ClosingPlanStep::Keep : ClosingPlanStep::Drop;
}

bool SavePlanTelling(CQelPlanMan& manager, const std::shared_ptr<CQelPlan>& plan, const PlanPrompts& prompts)
{
    if (manager.SavePlanFile(plan))
        return true;
    if (prompts.inform)
        prompts.inform(Tr(viewtext::kPlanSaveFailed));
    return false;
}

void ResolveUnsavedPlan(CQelPlanMan& manager, const std::shared_ptr<CQelPlan>& plan, const PlanPrompts& prompts)
{
    const bool save = prompts.askYesNo && prompts.askYesNo(UnsavedPlanQuestion(plan->GetName()));
    if (save)
        SavePlanTelling(manager, plan, prompts);
    else
        manager.RemovePlanFromList(plan);
}

void DisposeClosingPlan(CQelPlanMan& manager, const std::shared_ptr<CQelPlan>& plan, const PlanPrompts& prompts)
{
    if (!plan)
        return;
    switch (ClosingPlanStepFor(*plan, manager.GetSavedNames())) {
    case ClosingPlanStep::Ask: ResolveUnsavedPlan(manager, plan, prompts); break;
    case ClosingPlanStep::Drop: manager.RemovePlanFromList(plan); break;
    case ClosingPlanStep::Keep: break;
    }
}
