#include "builder/pro32x32_switch.h"

#include "builder/source_signal.h"
#include "model/board.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/rect_cover.h"

CPro32x32SwitchSender::CPro32x32SwitchSender(CQelPlan* plan) : CPro32x32Builder(plan) {}

CPro32x32SwitchSender::~CPro32x32SwitchSender() = default;

std::string CPro32x32SwitchSender::GetName() const
{
    return "Pro32x32Switch";
}

bool CPro32x32SwitchSender::Send()
{
    if (!processor_ || !plan_)
        return false;
    const int32_t before = RefusedOne();
    LogSeparator();
    const auto map = plan_->GetSwitchMap();
    const auto resolution = processor_->GetOutputResolution();
    const int32_t rw = resolution.width;
    const int32_t rh = resolution.height;
    for (const auto& output : processor_->GetSigOuts()) {
        if (!output)
            continue;
        const uint32_t id = output->GetId();
        const int32_t port = static_cast<int32_t>(id % 100);
        const int32_t o = OutputBoardNumber(id / 100);
        const auto entry = map.find(static_cast<int32_t>(id));
        const int32_t sourceId = entry == map.end() ? -1 : entry->second;
        const auto source = sourceId < 0 ? nullptr : processor_->GetSigSrc(static_cast<uint32_t>(sourceId));
        const auto values = source ? source->GetValues() : CQelSigSrc::Values{};
        if (!source || !values.joined || !HasSignalSize(values.resolution)) {
            CmdOutputClearWindow(o, port);
            continue;
        }
        const int32_t board = static_cast<int32_t>(values.id / 100);
        const int32_t input = static_cast<int32_t>(values.id % 100);
        const int32_t w = values.resolution.width;
        const int32_t h = values.resolution.height;
        const int32_t lastX = ClampInt32(int64_t(w) - 1);
        const int32_t lastY = ClampInt32(int64_t(h) - 1);
        CmdVideoOutputSetup({board, input, input, w, h, 0, lastX, 0, lastY, w, h});
        CmdBackplaneSwitch({board, input, o, port});
        CmdOutputScalerSetup({o, port, port, w, h, 0, lastX, 0, lastY, rw, rh});
        CmdOutputWindowsLayout({o, port, rw, rh});
        CmdOutputAddWindows({port, 1, 0, 0, rw, rh, 0, 0, rw, rh});
        CmdOutputAddWindowsEnd();
    }
    for (const auto& board : processor_->records().GetBoards()) {
        if (!board)
            continue;
        const uint32_t id = board->GetId();
        if (CQelBoard::IsInputType(board->GetType()))
            CmdInputUpdateDisplay(static_cast<int32_t>(id));
        else
            CmdOutputUpdateDisplay(OutputBoardNumber(id));
    }
    CmdCrosspointUpdate(0);
    return ReportRefused(before, "switch");
}
