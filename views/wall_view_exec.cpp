// Sending the shown plan to the processor, the tail of every edit, and
// saving the plan to its file, under a new name or in a preset slot.
#include "views/wall_view_core.h"

#include "core/config.h"
#include "context/context.h"
#include "core/language_tr.h"
#include "model/processor.h"
#include "plan/plan_manager.h"
#include "platform/ui/modal.h"
#include "views/view_dialogs.h"

namespace {

void Tell(QWidget* parent, const QString& text)
{
    ui::inform(parent, TranslateText(text));
}

} // namespace

// The plan is sent to the context's selected processor (CQelPlan::Apply),
// so that is the one whose link and resolution are checked.
void WallViewCore::ExecutePlan(ExecMode mode, int withProgress)
{
    // Held: a prompt's nested loop may replace the shown plan.
    const std::shared_ptr<CQelPlan> plan = m_pPlan;
    if (!plan)
        return;
    const auto processor = SelectedProcessor();
    if (!processor)
        return;
    if (!processor->IsConnected()) {
        Tell(DialogParent(), QString::fromUtf8(viewtext::kNotConnected));
        return;
    }
    const Resolution device = processor->GetOutputResolution();
    const ResolutionTriple wanted = plan->GetResolution();
    if (device.width != wanted.width || device.height != wanted.height || device.rate != wanted.rate) {
        if (!ui::askYesNo(DialogParent(),
                          TranslateText(QStringLiteral("当前方案的输出分辨率和设备不匹配，您确定执行该方案吗？"))))
            return;
    }
    IProgress* progress = ProgressReceiver();
    if (progress)
        progress->SetProgress(ProgressNotice::kKindExecute);
    if (!plan->Apply(mode, withProgress == 1 ? progress : nullptr))
        Tell(DialogParent(), QStringLiteral("发送失败!请重试!"));
}

void WallViewCore::OnPlanEdited(int historyKind)
{
    if (m_bAutoExecute)
        ExecutePlan(kExecLayout, 1);
    // A prompt of the send may have let an event replace the windows.
    DropDepartedWindows();
    if (m_pPlan && m_pPlan->CompareHistory())
        m_pPlan->AddHistory(historyKind);
}

void WallViewCore::SavePlan()
{
    if (!m_pPlan)
        return;
    if (!CQelContext::GetPlanMan()->SavePlanFile(m_pPlan))
        Tell(DialogParent(), QString::fromUtf8(viewtext::kPlanSaveFailed));
}

void WallViewCore::SavePlanAs()
{
    if (!m_pPlan)
        return;
    std::string name = m_pPlan->GetName();
    if (!viewDialogs().SavePlanAs(DialogParent(), m_pPlan, name))
        return;
    for (const auto& plan : CQelContext::GetPlanMan()->GetLoadedPlans()) {
        if (plan && plan->GetName() == name) {
            SetPlan(plan);
            break;
        }
    }
    InvalidateView();
}

void WallViewCore::SavePlanToProcessor()
{
    const std::shared_ptr<CQelPlan> plan = m_pPlan;
    if (!plan)
        return;
    // SaveToProcessor stores in the selected processor: that one is asked.
    const auto processor = SelectedProcessor();
    if (!processor)
        return;
    const QString expected = QString::fromStdString(OperationPassword());
    IViewDialogs& dialogs = viewDialogs();
    if (!dialogs.ConfirmPassword(DialogParent(), expected))
        return;
    const std::optional<int> slot = dialogs.ChoosePresetSlot(DialogParent(), processor);
    if (!slot)
        return;
    if (!processor->IsConnected()) {
        Tell(DialogParent(), QString::fromUtf8(viewtext::kNotConnected));
        return;
    }
    IProgress* progress = ProgressReceiver();
    if (progress)
        progress->SetProgress(ProgressNotice::kKindStore);
    const bool ok = plan->SaveToProcessor(*slot, progress);
    RepaintNow();
    Tell(DialogParent(), ok ? QStringLiteral("保存至处理器完毕!") : QStringLiteral("方案保存至处理器失败，请重试!"));
}
