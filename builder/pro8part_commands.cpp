// The command lines of an 8-part layout: the input boards' scalers and
// frame-buffer layouts, the backplane routes, the output boards' scalers
// and window layouts, the clearing of idle outputs and the closing lines,
// and how the finished list reaches the processor.
#include "builder/pro8part_sender.h"

#include <algorithm>
#include <functional>
#include <set>
#include <tuple>

#include "builder/fpga_lines.h"
#include "corlane/fstr.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/processor_settings.h"
#include "plan/plan.h"

using qz::vok::fstr_format;

namespace _8PART_NS {

namespace {

constexpr int32_t kFrameWidth = 1920; // the input boards' frame-buffer layout
constexpr int32_t kFrameHeight = 2400;
constexpr int32_t kSerialConnection = 2;
constexpr const char* kOutputClearText = "OUTPUT_FPGA CLEAR_OUTPUT_WIN";
constexpr const char* kCrosspointUpdate = "K40750 UPDATA 0\r\n";
// Wakes a serial line before the list; sent as one byte without a line end.
constexpr const char* kSerialWake = "\x01";

bool HasBackplane(int32_t kind)
{
    return kind == 8 || kind == 10;
}

void Append(std::vector<std::string>& lines, std::vector<std::string>&& more)
{
    lines.insert(lines.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

} // namespace

std::string WindowLine(const char* side, int32_t input, int32_t layer, const ::Rect& s, const ::Rect& d)
{
    const int64_t width = std::min(RectWidth(s), RectWidth(d));
    const int64_t height = std::min(RectHeight(s), RectHeight(d));
    return fstr_format("%s AW %d %d %d %d %d %d %d %d %d %d\r\n", side, input, layer, s.left, s.top,
                       ClampToInt(s.left + width), ClampToInt(s.top + height), d.left, d.top,
                       ClampToInt(d.left + width), ClampToInt(d.top + height));
}

std::string ScalerLine(const char* side, int32_t board, int32_t scaler, int32_t input, const ::Rect& from,
                       const ::Rect& part, const ::Rect& to)
{
    return fstr_format("%s SCALER_SETUP %d %d %d %d %d %d %d %d %d %d %d\r\n", side, board, scaler, input,
                       ClampToInt(RectWidth(from)), ClampToInt(RectHeight(from)), part.left,
                       ClampToInt(int64_t(part.right) - 1), part.top, ClampToInt(int64_t(part.bottom) - 1),
                       ClampToInt(RectWidth(to)), ClampToInt(RectHeight(to)));
}

void AppendWindowGroup(const char* side, const PS_NS::tagMonitor& output, const std::vector<std::string>& group,
                       std::vector<std::string>& lines)
{
    if (group.empty())
        return;
    lines.push_back(
        fstr_format("%s SWL %d %d %d %d\r\n", side, output.board, output.port, output.cellWidth, output.cellHeight));
    lines.insert(lines.end(), group.begin(), group.end());
    lines.push_back(fstr_format("%s AWE\r\n", side));
}

void AppendSusdLines(const char* side, const std::set<int32_t>& boards, std::vector<std::string>& lines)
{
    for (int32_t board : boards)
        lines.push_back(fstr_format("%s SUSD %d\r\n", side, board));
}

int CPro8PartSender::BuildCommands(std::vector<std::string>& lines)
{
    lines.clear();
    CollectBoards();
    CollectWindows();
    CollectWatchCells();
    AddMonitors();
    if (processor_ && processor_->GetKind() == 9) {
        SplitPlanWindows();
        SplitWatchCells();
        InputOnlyCommandPass(lines);
        ledWindows_.clear();
        return 0;
    }
    PlaceAllWindows();
    PlaceWatchCells();
    CommandPass(lines);
    fpgaWindows_.clear();
    return 0;
}

int CPro8PartSender::SendLayout()
{
    std::vector<std::string> lines;
    BuildCommands(lines);
    return HandOver(lines);
}

int CPro8PartSender::SendSwitch()
{
    std::vector<std::string> lines;
    BackplaneSwitchCommands(lines);
    return HandOver(lines);
}

int CPro8PartSender::HandOver(const std::vector<std::string>& lines)
{
    // A refused list (the processor busy with a job, the queue full) is a
    // failure the caller reports, not a success.
    if (!processor_ || processor_->jobs().QueueCommandListRequest(lines) != 0)
        return 1;
    return 0;
}

void CPro8PartSender::BackplaneSwitchCommands(std::vector<std::string>& lines)
{
    lines.clear();
    if (plan_) {
        for (const auto& [output, input] : plan_->GetSwitchMap()) {
            // -1 routes nothing; a negative id is no board and port.
            if (input < 0 || output < 0)
                continue;
            lines.push_back(
                fstr_format("GP BPSW %d %d %d %d\r\n", input / 100, input % 100, BoardOf(output), PortOf(output)));
        }
    }
    lines.emplace_back(kCrosspointUpdate);
}

void CPro8PartSender::CommandPass(std::vector<std::string>& lines)
{
    lines.clear();
    if (!processor_)
        return;
    const int32_t kind = processor_->GetKind();
    if (g_NetType != 1 && processor_->settings().GetConnection().type == kSerialConnection)
        lines.push_back(kSerialWake);
    // Models 8 and 10 route through the backplane; model 7 has none.
    const bool backplane = HasBackplane(kind);
    using Lines = std::vector<std::string>;
    const std::pair<std::function<void(Lines&)>, bool> passes[] = {
        {[this](Lines& l) { InputScalerSetupCommands(l); }, true},
        {[this](Lines& l) { InputWindowCommands(l); }, true},
        {[this](Lines& l) { BackplaneRouteCommands(l); }, backplane},
        {[this](Lines& l) { OutputScalerSetupCommands(l); }, true},
        {[this](Lines& l) { OutputWindowCommands(l); }, true},
        {[this](Lines& l) { ClearOutputWindowCommands(l); }, true},
        {[this](Lines& l) { InputSusdCommands(l); }, true},
        {[this](Lines& l) { CrosspointUpdateCommand(l); }, backplane},
        {[this](Lines& l) { OutputSusdCommands(l); }, true},
    };
    Lines part;
    for (const auto& [pass, runs] : passes) {
        if (!runs)
            continue;
        pass(part);
        Append(lines, std::move(part));
    }
}

void CPro8PartSender::InputScalerSetupCommands(std::vector<std::string>& lines) const
{
    lines.clear();
    for (const auto& w : fpgaWindows_) {
        if (!w->scaler || w->scalerShared == 1 || !w->gArea || !w->gArea->rect)
            continue;
        lines.push_back(ScalerLine("I_F", w->board, w->scaler->index, w->port, {0, 0, w->sourceWidth, w->sourceHeight},
                                   w->crop, *w->gArea->rect));
    }
}

void CPro8PartSender::NumberInputWindows()
{
    for (int32_t b = 0; b < partCount_; ++b) {
        for (int32_t g = 0; g < cellsPerPart_; ++g) {
            int32_t n = 1;
            for (const auto& w : fpgaWindows_)
                if (w->board == b && w->gArea && w->gArea->index == g && w->gShared != 1)
                    w->layer = n++;
        }
    }
}

void CPro8PartSender::InputWindowCommands(std::vector<std::string>& lines)
{
    lines.clear();
    NumberInputWindows();
    for (int32_t b = 0; b < partCount_; ++b) {
        for (int32_t g = 0; g < cellsPerPart_; ++g) {
            std::vector<std::string> group;
            for (const auto& w : fpgaWindows_) {
                if (w->board != b || !w->gArea || !w->gArea->rect || w->gArea->index != g || w->gShared == 1)
                    continue;
                const ::Rect& area = *w->gArea->rect;
                const bool scaled = w->scaler != nullptr;
                const int32_t input = scaled ? w->scaler->index + kScalerInputBase : w->port;
                const ::Rect source =
                    scaled ? ::Rect{0, 0, ClampToInt(RectWidth(area)), ClampToInt(RectHeight(area))} : w->crop;
                group.push_back(WindowLine("I_F", input, w->layer, source, area));
            }
            if (group.empty())
                continue;
            lines.push_back(fstr_format("I_F SWL %d %d %d %d\r\n", b, g, kFrameWidth, kFrameHeight));
            Append(lines, std::move(group));
            lines.push_back("I_F AWE\r\n");
        }
    }
}

void CPro8PartSender::BackplaneRouteCommands(std::vector<std::string>& lines) const
{
    lines.clear();
    std::set<std::tuple<int32_t, int32_t, int32_t, int32_t>> routes;
    for (const auto& w : fpgaWindows_) {
        if (!w->gArea)
            continue;
        for (const auto& [board, obip] : w->obips)
            if (obip && obip->port)
                routes.emplace(w->board, w->gArea->index, obip->board, obip->port->index);
    }
    for (const auto& [inBoard, inIndex, outBoard, outPort] : routes)
        lines.push_back(fstr_format("GP BPSW %d %d %d %d\r\n", inBoard, inIndex, outBoard, outPort));
}

void CPro8PartSender::CrosspointUpdateCommand(std::vector<std::string>& lines) const
{
    lines.assign(1, kCrosspointUpdate);
}

void CPro8PartSender::OutputScalerSetupCommands(std::vector<std::string>& lines) const
{
    lines.clear();
    std::set<std::pair<int32_t, int32_t>> used;
    for (const auto& w : fpgaWindows_) {
        for (const auto& s : w->outScalers) {
            if (s->shared == 1 || !s->scaler || !s->feed || !s->feed->port)
                continue;
            used.emplace(s->board, s->scaler->index);
            const ::Rect& area = s->feed->inputArea;
            lines.push_back(ScalerLine("O_F", s->board, s->scaler->index, s->feed->port->index, area,
                                       MapScaledRectEven(s->scale, area), s->dest));
        }
    }
    if (!processor_)
        return;
    // An output whose scaler number no window set up gets a neutral one.
    for (const auto& [cell, output] : processor_->GetWall().cells) {
        // 0 and negative ids are no output; board 0 is an input board.
        if (output <= 0)
            continue;
        const int32_t board = BoardOf(output);
        const int32_t port = PortOf(output);
        if (!used.count({board, port}))
            lines.push_back(fstr_format("O_F SCALER_SETUP %d %d 0 320 240 0 319 0 239 320 240\r\n", board, port));
    }
}

void CPro8PartSender::OutputWindowCommands(std::vector<std::string>& lines) const
{
    lines.clear();
    for (const auto& monitor : Monitors()) {
        std::vector<std::string> group;
        for (const auto& w : fpgaWindows_) {
            for (const auto& line : w->outWindows) {
                if (line->board != monitor->board || line->port != monitor->port)
                    continue;
                int32_t input = 0;
                ::Rect area;
                if (line->kind == tagFPGAWindowDestRect::kScaled) {
                    if (!line->scaler || !line->scaler->scaler)
                        continue;
                    input = line->scaler->scaler->index + kScalerInputBase;
                    area = line->scaler->dest;
                } else {
                    if (!line->obip || !line->obip->port)
                        continue;
                    input = line->obip->port->index;
                    area = line->obip->inputArea;
                }
                group.push_back(
                    WindowLine("O_F", input, line->layer, MapScaledRectEven(line->scale, area), line->dest));
            }
        }
        AppendWindowGroup("O_F", *monitor, group, lines);
    }
}

std::set<int32_t> CPro8PartSender::MonitorBoards() const
{
    std::set<int32_t> boards;
    for (const auto& monitor : Monitors())
        boards.insert(monitor->board);
    return boards;
}

void CPro8PartSender::ClearOutputWindowCommands(std::vector<std::string>& lines) const
{
    ClearOutputWindowLines(*this, kOutputClearText, fpgaWindows_, lines);
}

void CPro8PartSender::InputSusdCommands(std::vector<std::string>& lines) const
{
    lines.clear();
    std::set<int32_t> boards;
    for (const auto& w : fpgaWindows_)
        boards.insert(w->board);
    AppendSusdLines("I_F", boards, lines);
}

void CPro8PartSender::OutputSusdCommands(std::vector<std::string>& lines) const
{
    lines.clear();
    AppendSusdLines("O_F", MonitorBoards(), lines);
}

} // namespace _8PART_NS
