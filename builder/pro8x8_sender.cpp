#include "builder/pro8x8_sender.h"

#include <algorithm>

#include "builder/builder_rects.h"
#include "model/processor.h"
#include "model/sig_out.h"
#include "model/sig_src.h"
#include "plan/plan.h"

namespace PS_NS {

using _8PART_NS::ClampToInt;
using _8PART_NS::tagWindowRecord;

CPro8x8Sender::CResourceAllocer* CPro8x8Sender::CResourceAllocer::instance_ = nullptr;

CPro8x8Sender::CResourceAllocer& CPro8x8Sender::CResourceAllocer::Instance()
{
    if (!instance_)
        instance_ = new CResourceAllocer();
    return *instance_;
}

void CPro8x8Sender::CResourceAllocer::Destroy()
{
    delete instance_;
    instance_ = nullptr;
}

CPro8x8Sender::CPro8x8Sender(CQelPlan* plan) : CPro16x16Builder(plan) {}

CPro8x8Sender::~CPro8x8Sender()
{
    CResourceAllocer::Instance().Map().clear();
}

bool CPro8x8Sender::IsWindowRealized(int32_t) const
{
    return true;
}

std::string CPro8x8Sender::GetName() const
{
    return "Pro8x8Sender";
}

void CPro8x8Sender::CollectBoards()
{
    // The root's collection places outputs on the plan's wall.
    if (processor_ && plan_)
        CPro16x16Builder::CollectBoards();
}

void CPro8x8Sender::CollectPlanWindows()
{
    if (!plan_ || !processor_)
        return;
    std::vector<int32_t> ids;
    plan_->GetVisibleWindows(ids);
    const auto placement = SelectedWallPlacement();
    for (int32_t id : ids) {
        const auto window = plan_->GetWindowById(id);
        if (!window || window->sigsrc < 0)
            continue;
        auto source = processor_->GetSigSrc(uint32_t(window->sigsrc));
        if (!source || !source->GetBoard())
            continue;
        if (!FindBoard(int32_t(source->GetBoardId())))
            continue;
        auto record = std::make_shared<tagWindowRecord>();
        record->window = window;
        record->source = source;
        record->rect = plan_->GetWindowRect(window);
        record->planValue = plan_->CheckWindowSource(window);
        record->outputs = plan_->GetWindowOutputs(window, placement);
        records_.push_back(record);
    }
}

void CPro8x8Sender::CollectWindows()
{
    // The 8x8 form keeps its windows in a set and not in the window list.
    std::vector<_8PART_NS::WindowRecordPtr> collected;
    collected.swap(records_);
    CollectPlanWindows();
    for (const auto& record : records_)
        windowSet_.insert(record);
    records_.swap(collected);
}

void CPro8x8Sender::AddWatchMonitors()
{
    if (!plan_)
        return;
    const auto resolution = plan_->GetResolution();
    for (const auto& watch : plan_->GetWatchWindows()) {
        if (!watch)
            continue;
        auto monitor = std::make_shared<tagMonitor>();
        monitor->board = BoardOf(watch->sigout);
        monitor->port = PortOf(watch->sigout);
        monitor->cellWidth = monitor->width = resolution.width;
        monitor->cellHeight = monitor->height = resolution.height;
        monitor->row = monitor->col = 0;
        // The first watch window of an output stays.
        watchMonitors_.emplace(WatchKey(monitor->board, monitor->port), monitor);
    }
}

void CPro8x8Sender::AddGridMonitors()
{
    if (!plan_ || !processor_)
        return;
    const auto resolution = plan_->GetResolution();
    const auto widths = plan_->GetColumnWidths();
    const auto heights = plan_->GetRowHeights();
    // Only sized-grid plans carry their own lists; a row or column without
    // an entry is as large as a cell of a uniform plan.
    const auto sizeAt = [](const std::vector<int32_t>& sizes, int32_t i, int32_t fallback) {
        return size_t(i) < sizes.size() ? sizes[size_t(i)] : fallback;
    };
    const auto wall = processor_->GetWall();
    // A damaged plan file may claim any count; no wall is that large.
    const int32_t rows = std::min(plan_->GetRows(), kMaxPlanGridSide);
    const int32_t cols = std::min(plan_->GetCols(), kMaxPlanGridSide);
    int64_t y = 0;
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t height = sizeAt(heights, r, resolution.height);
        int64_t x = 0;
        for (int32_t c = 0; c < cols; ++c) {
            const int32_t width = sizeAt(widths, c, resolution.width);
            const auto cell = wall.cells.find({r, c});
            // 0 and -1 both mean the cell shows no output.
            if (cell != wall.cells.end() && cell->second != 0 && cell->second != -1) {
                auto monitor = std::make_shared<tagMonitor>();
                monitor->board = BoardOf(cell->second);
                monitor->port = PortOf(cell->second);
                monitor->cellWidth = resolution.width;
                monitor->cellHeight = resolution.height;
                monitor->x = ClampToInt(x);
                monitor->y = ClampToInt(y);
                monitor->width = width;
                monitor->height = height;
                monitor->row = r;
                monitor->col = c;
                gridMonitors_.push_back(monitor);
            }
            x += width;
        }
        y += height;
    }
}

void CPro8x8Sender::AddMonitors()
{
    AddWatchMonitors();
    AddGridMonitors();
    BuildMonitors();
}

void CPro8x8Sender::BuildMonitors()
{
    monitors_.assign(gridMonitors_.begin(), gridMonitors_.end());
    for (const auto& [key, monitor] : watchMonitors_)
        monitors_.push_back(monitor);
    if (!processor_)
        return;
    for (const auto& output : processor_->GetSigOuts()) {
        if (!output)
            continue;
        const int32_t id = int32_t(output->GetId());
        const int32_t board = BoardOf(id);
        const int32_t port = PortOf(id);
        const bool onWall = std::any_of(monitors_.begin(), monitors_.end(),
                                        [&](const MonitorPtr& m) { return m->board == board && m->port == port; });
        if (onWall)
            continue;
        auto monitor = std::make_shared<tagMonitor>();
        monitor->board = board;
        monitor->port = port;
        idleOutputs_.push_back(monitor);
    }
}

} // namespace PS_NS
