#include "builder/pro16x16_switch.h"

#include <map>

#include "context/context.h"
#include "core/program_log.h"
#include "builder/pro16x16_builder.h"
#include "builder/source_signal.h"
#include "corlane/fstr.h"
#include "model/board.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "model/sig_src.h"
#include "plan/plan.h"

using qz::vok::fstr_format;

CPro16x16SwitchSender::CPro16x16SwitchSender(CQelPlan* plan) : plan_(plan), processor_(SelectedProcessor()) {}

CPro16x16SwitchSender::~CPro16x16SwitchSender() = default;

void CPro16x16SwitchSender::WriteLog(const std::string& line)
{
    log_.Write(line);
}

void CPro16x16SwitchSender::SendLines(std::vector<std::string>& lines)
{
    if (processor_) {
        for (const auto& line : lines) {
            if (!line.empty() && !QueueBuilderLine(*processor_, line))
                ++refused_;
            log_.Write(line);
        }
    }
    lines.clear();
}

bool CPro16x16SwitchSender::Send()
{
    if (!processor_ || !plan_)
        return false;
    WriteLog("-----------------------------------\r\n");
    std::vector<std::string> routes;
    std::vector<std::string> scalers;
    std::vector<std::string> windows;
    for (const auto& board : processor_->records().GetBoards()) {
        const int32_t type = board->GetType();
        if (type < 12 || type > 23)
            continue;
        const int32_t o = static_cast<int32_t>(board->GetId()) - 10;
        scalers.push_back(fstr_format("OUTPUT_FPGA CSUSE %d\r\n", o));
        for (int i = 0; i < 4; ++i)
            windows.push_back(fstr_format("OUTPUT_FPGA COWIN %d %d\r\n", o, i));
    }

    const auto resolution = processor_->GetOutputResolution();
    const auto map = plan_->GetSwitchMap();
    std::map<int32_t, int32_t> lastSource; // output board index -> window source
    for (const auto& output : processor_->GetSigOuts()) {
        const int32_t id = static_cast<int32_t>(output->GetId());
        const int32_t o = id / 100 - 10;
        const int32_t p = id % 100;
        const auto route = map.find(id);
        if (route == map.end() || route->second < 0)
            continue;
        const auto input = processor_->GetSigSrc(static_cast<uint32_t>(route->second));
        if (!input || !input->IsJoined())
            continue;
        const auto values = input->GetValues();
        if (!HasSignalSize(values.resolution))
            continue;
        const int32_t inputId = static_cast<int32_t>(values.id);
        routes.push_back(fstr_format("GP BPSW %d %d %d %d\r\n", inputId / 100, inputId % 100, o, p));
        auto last = lastSource.find(o);
        const int32_t s = last == lastSource.end() ? 4 : last->second + 1;
        lastSource[o] = s;

        int32_t width = values.resolution.width;
        int32_t height = values.resolution.height;
        int32_t left = 0, right = width - 1, top = 0, bottom = height - 1;
        const int32_t port = inputId % 100;
        if (values.type == 9 && port < 24) {
            const auto carrier = processor_->GetSigSrc(static_cast<uint32_t>(inputId / 100 * 100 + 24 + port / 6));
            const auto frame = carrier ? carrier->GetResolution() : Resolution{};
            if (!HasSignalSize(frame))
                continue;
            left = values.startPoint.x;
            right = values.startPoint.x + width - 1;
            top = values.startPoint.y;
            bottom = values.startPoint.y + height - 1;
            width = frame.width;
            height = frame.height;
        }
        scalers.push_back(fstr_format("OUTPUT_FPGA SCALER_SETUP %d %d %d %d %d %d %d %d %d %d %d\r\n", o, s - 4, p,
                                      width, height, left, right, top, bottom, resolution.width, resolution.height));
        windows.push_back(fstr_format("OUTPUT_FPGA SWL %d %d %d %d\r\n", o, p, resolution.width, resolution.height));
        windows.push_back(fstr_format("OUTPUT_FPGA AW %d %d %d %d %d %d %d %d %d %d\r\n", s, 1, 0, 0, resolution.width,
                                      resolution.height, 0, 0, resolution.width, resolution.height));
        windows.emplace_back("OUTPUT_FPGA ADD_WINDOWS_END\r\n");
    }
    const int32_t before = refused_;
    SendLines(routes);
    SendLines(scalers);
    SendLines(windows);
    if (refused_ > before) {
        CQelContext::GetLog()->warn("Pro16x16Switch: the command queue refused %d of the switch lines",
                                    refused_ - before);
        return false;
    }
    return true;
}
