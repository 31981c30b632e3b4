#include "dialogs/cycle_plan_actions.h"

#include <memory>

#include "context/context.h"
#include "dialogs/cycle_plan_edit.h"
#include "dialogs/dialog_support.h"
#include "dialogs/run_cycle_plan_dlg.h"
#include "dialogs/set_cycle_plan_dlg.h"
#include "plan/cycle_plan.h"
#include "platform/ui/modal.h"

namespace {

std::shared_ptr<CQelCyclePlan> CyclePlanAt(int index)
{
    const auto plans = CQelContext::GetCyclePlanMan()->GetPlans();
    if (index < 0 || index >= int(plans.size()))
        return nullptr;
    return plans[size_t(index)];
}

void SaveList(QWidget* parent)
{
    if (!CQelContext::GetCyclePlanMan()->SaveList())
        ui::inform(parent, Tr(cycletext::kListNotSaved));
}

} // namespace

bool NewCyclePlan(QWidget* parent)
{
    auto cycle = std::make_shared<CQelCyclePlan>();
    CSetCyclePlanDlg dialog(parent, cycle);
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    SaveList(parent);
    return true;
}

bool EditCyclePlanAt(QWidget* parent, int index)
{
    const auto listed = CyclePlanAt(index);
    if (!listed)
        return false;
    // Cancel must leave the listed cycle plan as it was.
    auto copy = std::make_shared<CQelCyclePlan>();
    copy->CopyFrom(*listed);
    CSetCyclePlanDlg dialog(parent, copy);
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    listed->CopyFrom(*copy);
    SaveList(parent);
    return true;
}

void RunCyclePlanAt(QWidget* parent, int index)
{
    const auto cycle = CyclePlanAt(index);
    if (!cycle)
        return;
    CRunCyclePlanDlg dialog(cycle, parent);
    dialog.DoModal();
}
