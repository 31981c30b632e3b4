// Applying a plan to the selected processor, the resource check of its
// windows and storing it in a preset slot. The plan's own command text of
// models 1 and 2 is made here too; the other models go through a builder.
#include <algorithm>
#include <string>
#include <vector>

#include "context/context.h"
#include "core/program_log.h"
#include "builder/eight_part_paths.h"
#include "builder/part_wall_paths.h"
#include "builder/plan_builders_install.h"
#include "builder/pro16x16_builder.h"
#include "builder/pro16x16_switch.h"
#include "builder/pro32x32_switch.h"
#include "builder/source_signal.h"
#include "corlane/fstr.h"
#include "model/kinds.h"
#include "model/processor.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/plan_builders.h"
#include "plan/rect_cover.h"

using qz::vok::fstr_format;

namespace {

// One window of a model-1 or model-2 layout.
struct Placement {
    int32_t window = 0;
    int32_t source = 0;
    int32_t scaler = -1;
    Rect rect;
    int32_t sourceType = 0;
    Point offset;
    Size sourceSize;
    Size windowSize;
};

bool UnscaledOnly(int32_t kind)
{
    return kind == kModelOneScaler;
}

// Models 1 (one scaler) and 2 (the processor's source scalers, shared by
// windows of one source at one size).
std::vector<Placement> PlaceOwnText(const CQelPlan& plan, const CQelProcessor& processor)
{
    std::vector<Placement> records;
    const bool oneScaler = UnscaledOnly(processor.GetKind());
    const int32_t scalerCount = oneScaler ? 1 : processor.settings().GetSourceScaler();
    int32_t nextScaler = 0;
    const Rect wall = plan.GetPixelRect();

    std::vector<int32_t> ids;
    plan.GetVisibleWindows(ids);
    for (int32_t id : ids) {
        const auto window = plan.GetWindowById(id);
        if (!window || window->sigsrc < 0)
            continue;
        const auto source = processor.GetSigSrc(static_cast<uint32_t>(window->sigsrc));
        if (!source)
            continue;
        const auto values = source->GetValues();
        // Nothing to place: no scaler is set up for a source without signal.
        if (!HasSignalSize(values.resolution))
            continue;
        Placement r;
        r.window = id;
        r.source = static_cast<int32_t>(values.id);
        r.rect = plan.GetWindowRect(window);
        r.sourceType = values.type;
        r.offset = values.startPoint;
        r.sourceSize = Size{values.resolution.width, values.resolution.height};
        r.windowSize = Size{ClampInt32(RectWidth(r.rect)), ClampInt32(RectHeight(r.rect))};
        if (plan.CheckWindowSource(window) != 0) {
            for (const auto& earlier : records) {
                if (!oneScaler && earlier.scaler >= 0 && earlier.source == r.source &&
                    earlier.windowSize == r.windowSize) {
                    r.scaler = earlier.scaler;
                    break;
                }
            }
            if (r.scaler < 0 && nextScaler < scalerCount)
                r.scaler = nextScaler++;
        }
        if (r.scaler < 0) {
            const Rect own = MakeRect(r.rect.left, r.rect.top, int64_t(r.rect.left) + r.sourceSize.cx,
                                      int64_t(r.rect.top) + r.sourceSize.cy);
            r.rect = IntersectRect(r.rect, own);
        }
        r.rect = IntersectRect(r.rect, wall);
        records.push_back(r);
    }
    return records;
}

std::string Model1Text(const std::vector<Placement>& records, const Resolution& output)
{
    if (records.empty())
        return "INPUT_FPGA CLEAR_OUTPUT_WIN\r\n";
    int32_t scaled = 1;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].scaler >= 0) {
            scaled = static_cast<int32_t>(i) + 1;
            break;
        }
    }
    std::string text = fstr_format("INPUT_FPGA SET_WINDOWS_USE_SCALER %d\r\n", scaled);
    text += fstr_format("INPUT_FPGA SET_WINDOWS_LAYOUT %d %d\r\n", output.width, output.height);
    int32_t n = 1;
    for (const auto& r : records) {
        text += fstr_format("INPUT_FPGA ADD_WINDOWS %d %d %d %d %d %d\r\n", r.source, n++, r.rect.left, r.rect.top,
                            r.rect.right, r.rect.bottom);
    }
    text += "INPUT_FPGA ADD_WINDOWS_END\r\n";
    return text;
}

std::string Model2Text(const std::vector<Placement>& records, const Resolution& output)
{
    std::string text;
    std::vector<int32_t> setUp;
    for (const auto& r : records) {
        if (r.scaler < 0 || std::find(setUp.begin(), setUp.end(), r.scaler) != setUp.end())
            continue;
        setUp.push_back(r.scaler);
        text += fstr_format("INPUT_FPGA SCALER_SETUP 0 %d %d %d %d %d %d %d %d %d %d\r\n", r.scaler, r.source / 100,
                            r.sourceSize.cx, r.sourceSize.cy, r.offset.x, r.offset.x + r.sourceSize.cx - 1, r.offset.y,
                            r.offset.y + r.sourceSize.cy - 1, r.windowSize.cx, r.windowSize.cy);
    }
    if (records.empty())
        return text + "INPUT_FPGA CLEAR_OUTPUT_WINDOW 0 0\r\n";
    text += fstr_format("INPUT_FPGA SET_WINDOWS_LAYOUT 0 0 %d %d\r\n", output.width, output.height);
    int32_t n = 1;
    for (const auto& r : records) {
        const bool scaled = r.scaler >= 0;
        const int32_t channel = scaled ? r.scaler + 4 : r.source / 100;
        int32_t x = 0, y = 0;
        if (!scaled && r.sourceType == 8) {
            x = r.offset.x;
            y = r.offset.y;
        }
        text += fstr_format("INPUT_FPGA ADD_WINDOWS %d %d %d %d %d %d %d %d %d %d\r\n", channel, n++, x, y,
                            ClampInt32(RectWidth(r.rect) + x), ClampInt32(RectHeight(r.rect) + y), r.rect.left,
                            r.rect.top, r.rect.right, r.rect.bottom);
    }
    text += "INPUT_FPGA ADD_WINDOWS_END\r\n";
    return text;
}

// Queues the text as commands of at most one queue slot each, cut at line
// ends (the bytes on the link stay the same); the number refused.
int32_t QueueText(CQelProcessor& processor, const std::string& text)
{
    constexpr size_t kSlot = 1024;
    int32_t refused = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size()) {
            size_t lineEnd = text.find('\n', end);
            lineEnd = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
            if (end > start && lineEnd - start > kSlot)
                break;
            end = lineEnd; // a single line longer than a slot goes alone and is refused
        }
        if (!processor.QueueCommand(std::string_view(text).substr(start, end - start)))
            ++refused;
        start = end;
    }
    return refused;
}

bool ReportRefused(int32_t refused, int32_t kind)
{
    if (refused == 0)
        return true;
    CQelContext::GetLog()->warn("Model %d processor: the command queue refused %d of the plan's commands", kind,
                                refused);
    return false;
}

std::shared_ptr<CQelProcessor> ConnectedProcessor()
{
    auto processor = SelectedProcessor();
    if (!processor || !processor->IsConnected())
        return nullptr;
    return processor;
}

bool ApplyPlan(CQelPlan& plan, int32_t mode, IProgress* receiver)
{
    const auto processor = ConnectedProcessor();
    if (!processor)
        return false;
    const int32_t kind = processor->GetKind();
    if (IsEightPartModel(kind))
        return Apply8PartPlan(plan, *processor, mode, receiver);
    if (plan.GetType() == kPlanSwitch) {
        switch (kind) {
        case kModel16x16: {
            CPro16x16SwitchSender sender(&plan);
            return sender.Send();
        }
        case kModel32x32: {
            CPro32x32SwitchSender sender(&plan);
            return sender.Send();
        }
        default: return false;
        }
    }
    switch (kind) {
    case kModelOneScaler:
        return ReportRefused(
            QueueText(*processor, Model1Text(PlaceOwnText(plan, *processor), processor->GetOutputResolution())), kind);
    case kModelSourceScalers:
        return ReportRefused(
            QueueText(*processor, Model2Text(PlaceOwnText(plan, *processor), processor->GetOutputResolution())), kind);
    case kModel16x16: {
        CPro16x16Builder builder(&plan);
        builder.Build();
        return builder.Send();
    }
    case kModel32x32: {
        CPro32x32Builder builder(&plan);
        builder.Build();
        return builder.Send();
    }
    case kModelLed: return ApplyLedPlan(plan);
    case kModel16Part: return Apply16PartPlan(plan, *processor);
    default: return false;
    }
}

void PlaceWindows(CQelPlan& plan)
{
    const auto processor = SelectedProcessor();
    if (!processor)
        return;
    const int32_t kind = processor->GetKind();
    if (IsEightPartModel(kind)) {
        Check8PartPlan(plan, *processor);
        return;
    }
    switch (kind) {
    case kModelOneScaler:
    case kModelSourceScalers:
        for (const auto& r : PlaceOwnText(plan, *processor)) {
            if (r.scaler < 0)
                continue;
            if (auto w = plan.GetWindowById(r.window))
                w->resourceOk = true;
        }
        break;
    case kModel16x16: {
        CPro16x16Builder builder(&plan);
        builder.Build();
        MarkRealized(plan, builder);
        break;
    }
    case kModelLed: CheckLedPlan(plan); break;
    case kModel16Part: Check16PartPlan(plan); break;
    case kModel32x32: {
        CPro32x32Builder builder(&plan);
        builder.Build();
        MarkRealized(plan, builder);
        break;
    }
    default: break; // others have no resources
    }
}

bool SaveToProcessor(CQelPlan& plan, int32_t slot, IProgress* receiver)
{
    const auto processor = ConnectedProcessor();
    if (!processor)
        return false;
    const int32_t kind = processor->GetKind();
    if (IsEightPartModel(kind))
        return Save8PartPlan(plan, *processor, slot, receiver);
    switch (kind) {
    case kModelSourceScalers: {
        int32_t refused = QueueText(*processor, fstr_format("INPUT_FPGA SET_KEY_MODE %d\r\n", slot));
        refused += QueueText(*processor, Model2Text(PlaceOwnText(plan, *processor), processor->GetOutputResolution()));
        refused += QueueText(*processor, "INPUT_FPGA SET_KEY_MODE 0\r\n");
        return ReportRefused(refused, kind);
    }
    case kModelLed: return SaveLedPlan(plan, *processor, slot);
    case kModel16Part: return Save16PartPlan(plan, *processor, slot);
    default:
        // Model 1 has no preset store; 3 and 5 store no plans.
        return false;
    }
}

class CPlanBuilders : public IPlanBuilders {
public:
    bool Apply(CQelPlan& plan, int32_t mode, IProgress* receiver) override { return ApplyPlan(plan, mode, receiver); }
    void PlaceWindows(CQelPlan& plan) override { ::PlaceWindows(plan); }
    bool SaveToProcessor(CQelPlan& plan, int32_t slot, IProgress* receiver) override
    {
        return ::SaveToProcessor(plan, slot, receiver);
    }
    std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>> EightPartOverlay(const CQelPlan& plan) const override
    {
        return ::EightPartOverlay(plan);
    }
    std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>>
    EightPartOverlay2(const CQelPlan& plan) const override
    {
        return ::EightPartOverlay2(plan);
    }
};

} // namespace

void InstallPlanBuilders()
{
    SetPlanBuilders(std::make_shared<CPlanBuilders>());
}
