#include "builder/part_wall_paths.h"

#include "context/context.h"
#include "core/program_log.h"
#include "builder/led_builder.h"
#include "builder/pro16part_builder.h"
#include "corlane/fstr.h"
#include "model/processor.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "plan/plan.h"

using qz::vok::fstr_format;

namespace {

// Queues one surrounding command; false (with a warning) when refused.
bool QueueStoreCommand(CQelProcessor& processor, const std::string& line)
{
    if (processor.QueueCommand(line))
        return true;
    CQelContext::GetLog()->warn("Model %d processor: the command queue refused \"%s\"", processor.GetKind(),
                                line.substr(0, line.size() - 2).c_str());
    return false;
}

bool Build16PartAndSend(CQelPlan& plan)
{
    CPro16PartBuilder builder(&plan);
    builder.Build();
    return builder.Send();
}

bool BuildLedAndSend(CQelPlan& plan)
{
    CProLEDBuilder builder(&plan, CProLEDBuilder::kMaxScalerWidth, CProLEDBuilder::kMaxScalerHeight);
    builder.Build();
    return builder.Send();
}

// The input-port choice of each window's source, so the stored layout
// shows the picture the source has selected; false when one was refused.
bool QueueInputPorts(const CQelPlan& plan, CQelProcessor& processor)
{
    bool queued = true;
    for (const auto& w : plan.GetWindows()) {
        if (w->sigsrc < 0)
            continue;
        const auto source = processor.GetSigSrc(static_cast<uint32_t>(w->sigsrc));
        if (!source)
            continue;
        const char* format = nullptr;
        if (source->GetType() == CQelSigSrc::kTypeVideo4)
            format = "BOARD SET_INPUT_VIDEO_SWITCH %d %d\r\n";
        else if (source->GetType() == CQelSigSrc::kTypeVgaDvi)
            format = "BOARD ADV7604_SELECT_INPUT_PORT %d %d\r\n";
        const auto child = format ? source->GetChild(source->GetCurChildId()) : nullptr;
        if (!child)
            continue;
        queued = QueueStoreCommand(
                     processor, fstr_format(format, int32_t(source->GetId() / 100), int32_t(child->GetRoutingId()))) &&
                 queued;
    }
    return queued;
}

} // namespace

bool Apply16PartPlan(CQelPlan& plan, CQelProcessor& processor)
{
    const bool leftStore = QueueStoreCommand(processor, "GP SDMI 0\r\n");
    return Build16PartAndSend(plan) && leftStore;
}

bool Save16PartPlan(CQelPlan& plan, CQelProcessor& processor, int32_t slot)
{
    const bool entered = QueueStoreCommand(processor, fstr_format("GP SDMI %d\r\n", slot - 1));
    const bool sent = Build16PartAndSend(plan);
    const bool left = QueueStoreCommand(processor, "GP SDMI 0\r\n");
    return entered && sent && left;
}

void Check16PartPlan(CQelPlan& plan)
{
    CPro16PartBuilder builder(&plan);
    builder.Build();
    MarkRealized(plan, builder);
}

bool ApplyLedPlan(CQelPlan& plan)
{
    return BuildLedAndSend(plan);
}

bool SaveLedPlan(CQelPlan& plan, CQelProcessor& processor, int32_t slot)
{
    processor.settings().SetStatusPoll(false);
    bool queued = QueueStoreCommand(processor, fstr_format("INPUT_FPGA SET_KEY_MODE %d\r\n", slot));
    queued = QueueInputPorts(plan, processor) && queued;
    queued = BuildLedAndSend(plan) && queued;
    queued = QueueStoreCommand(processor, "INPUT_FPGA SET_KEY_MODE 0\r\n") && queued;
    processor.settings().SetStatusPoll(true);
    return queued;
}

void CheckLedPlan(CQelPlan& plan)
{
    CProLEDBuilder builder(&plan, CProLEDBuilder::kMaxScalerWidth, CProLEDBuilder::kMaxScalerHeight);
    builder.Build();
    MarkRealized(plan, builder);
}
