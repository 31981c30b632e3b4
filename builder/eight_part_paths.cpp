#include "builder/eight_part_paths.h"

#include <string>
#include <vector>

#include "builder/pro8part_sender.h"
#include "model/kinds.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/processor_settings.h"
#include "plan/plan.h"
#include "plan/window.h"

using _8PART_NS::CPro8PartSender;

namespace {

int32_t AlgorithmOf(const CQelProcessor& processor)
{
    return processor.settings().GetAppOptions().algorithmId;
}

} // namespace

bool Apply8PartPlan(CQelPlan& plan, CQelProcessor& processor, int32_t mode, IProgress* receiver)
{
    if (mode != 0 && mode != 1)
        return false;
    CPro8PartSender sender(AlgorithmOf(processor));
    sender.SetPlan(&plan);
    if (mode == 1)
        return sender.SendOsdWindows(receiver) == 0;
    if (plan.GetType() == kPlanSwitch)
        return sender.SendSwitch() == 0;
    return sender.SendLayout() == 0;
}

bool Save8PartPlan(CQelPlan& plan, CQelProcessor& processor, int32_t slot, IProgress* receiver)
{
    processor.settings().SetStatusPoll(false);
    std::vector<std::string> lines;
    {
        CPro8PartSender sender(&plan, AlgorithmOf(processor));
        sender.BuildCommands(lines);
    }
    const int result = processor.jobs().SwitchDisplayModeRequest(lines, slot, receiver);
    processor.settings().SetStatusPoll(true);
    return result == 0;
}

void Check8PartPlan(CQelPlan& plan, const CQelProcessor& processor)
{
    CPro8PartSender sender(&plan, AlgorithmOf(processor));
    for (const auto& w : plan.GetWindows())
        w->resourceOk = true;
}

std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>> EightPartOverlay(const CQelPlan& plan)
{
    std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>> out;
    const auto processor = SelectedProcessor();
    if (!processor || !IsEightPartModel(processor->GetKind()))
        return out;
    CPro8PartSender sender(AlgorithmOf(*processor));
    // The query reads the plan; the sender only keeps it as a pointer.
    sender.CheckPlacement(const_cast<CQelPlan*>(&plan), out);
    return out;
}

std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>> EightPartOverlay2(const CQelPlan& plan)
{
    std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>> out;
    const auto processor = SelectedProcessor();
    if (!processor || !IsEightPartModel(processor->GetKind()))
        return out;
    CPro8PartSender sender(const_cast<CQelPlan*>(&plan), AlgorithmOf(*processor));
    sender.CheckPlacementBySplit(out);
    return out;
}
