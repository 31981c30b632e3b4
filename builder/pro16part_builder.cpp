#include "builder/pro16part_builder.h"

#include "context/context.h"
#include "core/program_log.h"
#include "corlane/fstr.h"
#include "model/board.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/rect_cover.h"

using qz::vok::fstr_format;

namespace {

constexpr int32_t kPartPlanId = 10000;

Rect AreaOf(const _tagPartWin& r)
{
    return Rect{r.left, r.top, r.right, r.bottom};
}

// One record per port, each covering every area written for that port and
// keeping the window and board of its first area.
void MergeByPort(std::vector<_tagPartWin>& records)
{
    for (size_t i = 0; i < records.size(); ++i) {
        size_t j = i + 1;
        while (j < records.size()) {
            if (records[j].port != records[i].port) {
                ++j;
                continue;
            }
            const Rect u = UnionRect(AreaOf(records[i]), AreaOf(records[j]));
            records[i].left = u.left;
            records[i].top = u.top;
            records[i].right = u.right;
            records[i].bottom = u.bottom;
            records.erase(records.begin() + static_cast<std::ptrdiff_t>(j));
        }
    }
}

// A plan holding the grid of `plan` and none of its windows.
std::shared_ptr<CQelPlan> MakePartPlan(const CQelPlan& plan)
{
    auto part = std::make_shared<CQelPlan>();
    part->SetId(kPartPlanId);
    part->SetName(plan.GetName());
    part->SetGrid(plan.GetRows(), plan.GetCols());
    part->SetCellSplit(plan.GetCellRows(), plan.GetCellCols());
    part->SetResolution(plan.GetResolution());
    part->SetMargin(plan.GetMargin());
    for (const auto& g : plan.GetGroups())
        part->AddGroup(std::make_shared<CQelGroup>(*g));
    part->SetRowHeights(plan.GetRowHeights());
    part->SetColumnWidths(plan.GetColumnWidths());
    part->SetType(kPlanUniform);
    part->SetDirty(false);
    return part;
}

// Appends a copy of the window that keeps its id and name.
void AppendWindowCopy(CQelPlan& part, const CQelWindow& window)
{
    auto copy = std::make_shared<CQelWindow>();
    WindowRecordCopy(*copy, window);
    part.AddWindow(copy, CurrentPlanSelection()); // takes the next layer; id and name are put back
    copy->id = window.id;
    copy->name = window.name;
}

} // namespace

// --- Input-board part ------------------------------------------------------

CPro16PartLEDBuilder::CPro16PartLEDBuilder(CQelPlan* plan) : CPro16x16Builder(plan, kPictureWidth, kPictureHeight) {}

CPro16PartLEDBuilder::~CPro16PartLEDBuilder() = default;

std::string CPro16PartLEDBuilder::GetName() const
{
    return "Pro16PartBuilder";
}

int32_t CPro16PartLEDBuilder::SourceKey(const SourceInfo& source) const
{
    return static_cast<int32_t>(source.id);
}

bool CPro16PartLEDBuilder::PlaceOutput(_tagWindow& window)
{
    return PlaceOnOutputBoards(window, true);
}

void CPro16PartLEDBuilder::InputPass(const _tagBoard*) {}

void CPro16PartLEDBuilder::BackplanePass() {}

void CPro16PartLEDBuilder::OutputPass(const _tagBoard* board)
{
    if (!board || !IsOutputBoardType(board->type))
        return;
    // The parent lays out only the first output board's ports; records of a
    // later board would land on them.
    const _tagBoard* served = nullptr;
    for (const auto& b : context_->boards) {
        if (IsOutputBoardType(b->type)) {
            served = b.get();
            break;
        }
    }
    const bool servesParent = board == served;
    if (servesParent)
        collected_.clear();

    std::vector<std::string> lines;
    for (const auto& use : board->sources) {
        const SourceInfo& source = *use->source;
        const int32_t key = SourceKey(source);
        for (const auto& c : use->scalers) {
            lines.push_back(fstr_format("I_F SCALER_SETUP %d %d %d %d %d %d %d %d %d %d %d\r\n", key / 100, c.number,
                                        key % 100, source.width, source.height, c.source.left, c.source.right - 1,
                                        c.source.top, c.source.bottom - 1, Width32(c.output), Height32(c.output)));
        }
    }
    SendLines(lines);

    std::vector<_tagPartWin> records;
    for (const auto& out : board->outputs) {
        const int32_t port = out->id % 100;
        int32_t n = 1;
        auto addArea = [&](int32_t b, int32_t input, const Rect& from, const Rect& to, int32_t window) {
            if (n == 1)
                lines.push_back(fstr_format("I_F SWL %d %d %d %d\r\n", b, port, kPictureWidth, kPictureHeight));
            lines.push_back(fstr_format("I_F AW %d %d %d %d %d %d %d %d %d %d\r\n", input, n, from.left, from.top,
                                        from.right, from.bottom, to.left, to.top, to.right, to.bottom));
            ++n;
            records.push_back({window, b, port, to.left, to.top, to.right, to.bottom});
        };
        for (const auto& p : out->pieces) {
            if (!p->use)
                continue;
            const SourceInfo& source = *p->use->source;
            const int32_t key = SourceKey(source);
            const int32_t b = key / 100;
            if (p->status == kUnscaled) {
                addArea(b, key % 100, OffsetRect(p->source, source.x, source.y), CutToSource(p->raster, p->source),
                        p->windowId);
            } else if (p->status == kOnOutputScaler) {
                for (const auto& c : p->use->scalers) {
                    Rect from, to;
                    if (ScalerArea(c, *p, from, to))
                        addArea(b, c.number + 4, from, to, p->windowId);
                }
            }
        }
        if (n > 1) {
            lines.push_back("I_F AWE\r\n");
            SendLines(lines);
        }
    }
    if (!servesParent)
        return;
    MergeByPort(records);
    collected_.insert(collected_.end(), records.begin(), records.end());
}

// --- Parent ----------------------------------------------------------------

CPro16PartBuilder::CPro16PartBuilder(CQelPlan* plan) : CPro16x16Builder(plan) {}

// The part builders point at the part plans; members go in reverse order,
// so the plans are released first and neither is used by then.
CPro16PartBuilder::~CPro16PartBuilder() = default;

std::string CPro16PartBuilder::GetName() const
{
    return "Pro16PartBuilder";
}

void CPro16PartBuilder::Build()
{
    if (!plan_ || !processor_)
        return;
    CollectBoards();
    CollectWindows();
    for (const auto& [number, builder] : partBuilders_)
        builder->Build();
}

void CPro16PartBuilder::CollectWindows()
{
    std::vector<int32_t> ids;
    plan_->GetVisibleWindows(ids);
    for (const auto& board : processor_->records().GetBoards()) {
        if (IsInputBoardType(board->GetType()))
            partPlans_[board->GetId()] = MakePartPlan(*plan_);
    }
    for (int32_t id : ids) {
        const auto window = plan_->GetWindowById(id);
        if (!window || window->sigsrc < 0)
            continue;
        const auto source = processor_->GetSigSrc(static_cast<uint32_t>(window->sigsrc));
        if (!source || !source->GetBoard())
            continue;
        const auto part = partPlans_.find(source->GetBoard()->GetId());
        if (part == partPlans_.end())
            continue;
        AppendWindowCopy(*part->second, *window);
    }
    for (const auto& [number, part] : partPlans_)
        partBuilders_[number] = std::make_shared<CPro16PartLEDBuilder>(part.get());
}

bool CPro16PartBuilder::IsWindowRealized(int32_t windowId) const
{
    for (const auto& [number, builder] : partBuilders_) {
        if (builder->IsWindowRealized(windowId))
            return true;
    }
    return false;
}

bool CPro16PartBuilder::Send()
{
    if (!processor_)
        return false;
    bool partsSent = true;
    std::vector<_tagPartWin> records;
    for (const auto& [number, builder] : partBuilders_) {
        partsSent = builder->Send() && partsSent;
        const auto& collected = builder->Collected();
        records.insert(records.end(), collected.begin(), collected.end());
    }
    const int32_t refusedBefore = RefusedLines();
    processor_->settings().SetStatusPoll(false);
    OutputWindowPass(0, records);
    OutputWindowPass(1, records);

    std::vector<std::string> lines;
    const auto boards = processor_->records().GetBoards();
    for (const auto& board : boards) {
        if (IsInputBoardType(board->GetType()))
            lines.push_back(fstr_format("I_F SUSD %d\r\n", int32_t(board->GetId())));
    }
    for (const auto& board : boards) {
        if (IsOutputBoardType(board->GetType()))
            lines.push_back(fstr_format("O_F SUSD %d\r\n", int32_t(board->GetId()) - 10));
    }
    SendLines(lines);
    processor_->settings().SetStatusPoll(true);
    const int32_t refused = RefusedLines() - refusedBefore;
    if (refused > 0) {
        CQelContext::GetLog()->warn("%s: the command queue refused %d of the output lines", GetName().c_str(), refused);
    }
    return partsSent && refused == 0;
}

void CPro16PartBuilder::OutputWindowPass(int32_t port, const std::vector<_tagPartWin>& records)
{
    if (!processor_ || !plan_)
        return;
    std::shared_ptr<CQelBoard> board;
    for (const auto& b : processor_->records().GetBoards()) {
        if (IsOutputBoardType(b->GetType())) {
            board = b;
            break;
        }
    }
    if (!board)
        return;
    const int32_t o = int32_t(board->GetId()) - 10;
    const auto output = processor_->GetSigOut(board->GetId() * 100 + static_cast<uint32_t>(port));
    if (!output)
        return;
    const auto size = output->GetResolution();
    const Rect bounds{0, 0, size.width, size.height};

    std::vector<int32_t> ids;
    plan_->GetVisibleWindows(ids);
    std::vector<std::string> lines;
    int32_t n = 1;
    for (int32_t id : ids) {
        for (const auto& r : records) {
            if (r.window != id || r.port != port)
                continue;
            const Rect area = IntersectRect(AreaOf(r), bounds);
            if (RectEmpty(area))
                continue;
            if (n == 1)
                lines.push_back(fstr_format("O_F SWL %d %d %d %d\r\n", o, port, size.width, size.height));
            const int32_t picture = port != 0 ? r.board + 4 : r.board;
            lines.push_back(fstr_format("O_F AW %d %d %d %d %d %d %d %d %d %d\r\n", picture, n, area.left, area.top,
                                        area.right, area.bottom, area.left, area.top, area.right, area.bottom));
            ++n;
        }
    }
    if (n == 1)
        lines.push_back(fstr_format("OUTPUT_FPGA CLEAR_OUTPUT_WIN %d %d\r\n", o, port));
    else
        lines.push_back("O_F AWE\r\n");
    SendLines(lines);
}
