// The frame's plan operations: new plans with their standard layouts,
// opening, renaming, deleting and saving plans under new names.
#include <QDialog>
#include <optional>

#include "context/context.h"
#include "core/language_tr.h"
#include "dialogs/name_dlg.h"
#include "dialogs/new_win_plan_dlg.h"
#include "frame/main_frame.h"
#include "frame/plan_grid.h"
#include "frame/plan_layout.h"
#include "plan/cycle_plan.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "platform/ui/modal.h"
#include "views/multi_screen_view.h"
#include "views/switch_view.h"
#include "views/view_manager.h"
#include "views/view_tab_container.h"

namespace {

// The index of the first tab whose view shows a plan that `matches`; -1
// when none.
template <class Match>
int FindPlanTab(CViewTabContainer* container, Match matches)
{
    if (!container)
        return -1;
    CUiTabWnd& tabs = container->Tabs();
    for (int i = 0; i < tabs.TabCount(); ++i) {
        const auto tab = tabs.GetTab(i);
        const auto plan = tab ? CViewTabContainer::PlanOfView(container->RecordedView(unsigned(tab->id))) : nullptr;
        if (plan && matches(*plan))
            return i;
    }
    return -1;
}

int FindPlanTabByName(CViewTabContainer* container, const std::string& name)
{
    return FindPlanTab(container, [&](const CQelPlan& plan) { return plan.GetName() == name; });
}

// The name dialog for a plan: the entered name when it differs from
// `current` and can name a new plan; the problem is told otherwise.
std::optional<std::string> AskNewPlanName(QWidget* parent, const char* title, const std::string& current)
{
    CNameDlg dialog(parent);
    dialog.m_strCaption = Tr(title);
    dialog.m_strPrompt = Tr(plantext::kNameLabel) + QStringLiteral(":");
    dialog.m_strName = QString::fromStdString(current);
    if (dialog.DoModal() != QDialog::Accepted)
        return std::nullopt;
    const std::string name = dialog.GetName().toStdString();
    if (name == current)
        return std::nullopt;
    const PlanNameProblem problem = CheckNewPlanName(*CQelContext::GetPlanMan(), name);
    if (problem != PlanNameProblem::None) {
        ui::inform(parent, PlanNameMessage(problem));
        return std::nullopt;
    }
    return name;
}

} // namespace

int32_t CMainFrame::GetLayoutSourceId(int position)
{
    return LayoutSourceId(CurrentProcessor().get(), position);
}

void CMainFrame::BuildPlanLayout(int layoutTemplate, CQelPlan& plan) const
{
    BuildStandardLayout(layoutTemplate, plan, CurrentProcessor().get());
}

QWidget* CMainFrame::ShowPlanView(const std::shared_ptr<CQelPlan>& plan, int kind, const QString& switchName)
{
    if (!plan || !container_)
        return nullptr;
    ++viewCount_;
    CViewManager& views = CViewManager::get_instance();
    const QString tab = QString::fromStdString(plan->GetName());
    QWidget* shown = nullptr;
    if (kind == kViewWall) {
        auto* view = static_cast<CMultiScreenView*>(views.CreateView(container_,
                                                                     QStringLiteral("VMultiScreen_%1").arg(viewCount_),
                                                                     CViewManager::FactoryOf<CMultiScreenView>()));
        if (!view)
            return nullptr;
        view->geometry().SetReferenceLineStyleProvider(
            [frame = QPointer<CMainFrame>(this)] { return frame ? frame->ReferenceLineStyle() : 1; });
        container_->AddView(unsigned(viewCount_), tab, view);
        view->SetPlan(plan);
        shown = view;
    } else {
        auto* view = static_cast<CSwitchView*>(
            views.CreateView(container_, switchName.arg(viewCount_), CViewManager::FactoryOf<CSwitchView>()));
        if (!view)
            return nullptr;
        container_->AddView(unsigned(viewCount_), tab, view);
        view->SetSwitchPlan(plan);
        shown = view;
    }
    CQelContext::SetSelPlan(plan->GetId());
    return shown;
}

void CMainFrame::NewPlan()
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    const auto plans = CQelContext::GetPlanMan();
    CNewWinPlanDlg dialog(this);
    dialog.m_strName = QString::fromStdString(FirstFreePlanName(*plans, Tr(plantext::kNewPlan).toStdString()));
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    const std::string name = dialog.GetName().toStdString();
    const PlanNameProblem problem = CheckNewPlanName(*plans, name);
    if (problem != PlanNameProblem::None) {
        ui::inform(this, PlanNameMessage(problem));
        return;
    }
    std::shared_ptr<CQelPlan> plan;
    if (!plans->OpenPlan(name, plan) || !plan)
        return;
    FillPlanGridFromProcessor(*plan, *processor);
    BuildPlanLayout(dialog.m_nLayout, *plan);
    const bool wall = GetAppType() == 1;
    if (!wall)
        plan->SetType(2);
    ShowPlanView(plan, wall ? kViewWall : kViewSwitch);
}

bool CMainFrame::NewPlanFromView(const std::shared_ptr<CQelPlan>& plan)
{
    if (!ActiveWallView() || !plan)
        return false;
    std::shared_ptr<CQelPlan> derived;
    if (!CQelContext::GetPlanMan()->NewPlan(derived, plan) || !derived)
        return false;
    return ShowPlanView(derived, kViewWall) != nullptr;
}

void CMainFrame::CreatePlanViews(const std::string& name)
{
    const auto plans = CQelContext::GetPlanMan();
    if (!plans->PlanNameExists(name))
        return;
    const int tab = FindPlanTabByName(container_, name);
    if (tab >= 0) {
        container_->Tabs().SelectTab(tab);
        return;
    }
    std::shared_ptr<CQelPlan> plan;
    if (!plans->LoadPlanFile(name, plan) || !plan) {
        // A damaged file is set aside and logged; the operator who asked
        // for it hears why nothing opened.
        ui::inform(this, Tr(plantext::kOpenFailed));
        return;
    }
    ShowPlanView(plan, GetAppType() == 1 ? kViewWall : kViewSwitch);
}

void CMainFrame::RenamePlan(const std::string& name)
{
    const auto newName = AskNewPlanName(this, plantext::kRenameTitle, name);
    if (!newName)
        return;
    const int tab = FindPlanTabByName(container_, name);
    // The files move first: a refused move leaves every name as it was.
    if (!CQelContext::GetPlanMan()->RenamePlanFile(*newName, name)) {
        ui::inform(this, Tr(plantext::kRenameFailed));
        return;
    }
    if (tab >= 0)
        container_->Tabs().SetTabText(tab, QString::fromStdString(*newName));
    CQelContext::GetCyclePlanMan()->RenamePlanInCells(name, *newName);
}

void CMainFrame::DeletePlan(const std::string& name)
{
    const auto plans = CQelContext::GetPlanMan();
    // The files go first: a plan whose file stays keeps its tab.
    if (!plans->DeletePlanFile(name)) {
        ui::inform(this, Tr(plantext::kDeleteFailed));
        return;
    }
    const int tab = FindPlanTabByName(container_, name);
    if (tab >= 0) {
        if (const auto tabInfo = container_->Tabs().GetTab(tab))
            if (const auto plan = CViewTabContainer::PlanOfView(container_->RecordedView(unsigned(tabInfo->id))))
                plan->SetDirty(false);
        container_->Tabs().CloseTab(tab);
    }
    CQelContext::GetCyclePlanMan()->RemovePlanFromCells(name);
}

bool CMainFrame::SavePlanAs(QWidget* parent, const std::shared_ptr<CQelPlan>& plan, std::string& name)
{
    if (!plan)
        return false;
    const auto newName = AskNewPlanName(parent ? parent : this, plantext::kSaveAsTitle, name);
    if (!newName)
        return false;
    const int tab = FindPlanTab(container_, [&](const CQelPlan& shown) { return &shown == plan.get(); });
    std::shared_ptr<CQelPlan> copy = plan;
    if (!CQelContext::GetPlanMan()->SavePlanAs(copy, *newName)) {
        ui::inform(parent ? parent : this, Tr(plantext::kSaveAsFailed));
        return false;
    }
    if (tab >= 0)
        container_->Tabs().SetTabText(tab, QString::fromStdString(*newName));
    name = *newName;
    return true;
}
