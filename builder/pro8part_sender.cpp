#include "builder/pro8part_sender.h"

#include <algorithm>

#include "builder/gsys_manager.h"
#include "builder/resource_allocer.h"
#include "builder/source_signal.h"
#include "model/kinds.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "plan/plan.h"

namespace _8PART_NS {

CPro8PartSender::CPro8PartSender(CQelPlan* plan, int32_t mode) : CPro8x8Sender(plan), mode_(mode)
{
    ResetResources();
}

CPro8PartSender::CPro8PartSender(int32_t mode) : CPro8PartSender(nullptr, mode) {}

CPro8PartSender::~CPro8PartSender() = default;

void CPro8PartSender::ResetResources()
{
    auto& resources = C8PartResourceAllocer::Instance();
    resources.ClearTable();
    resources.Init();
    auto& gsystems = C8PartGSysManager::Instance();
    gsystems.SetMode(mode_);
    gsystems.Clear();
    gsystems.Build();
}

void CPro8PartSender::CollectBoards()
{
    CPro8x8Sender::CollectBoards();
    const int32_t kind = processor_ ? processor_->GetKind() : 0;
    cellsPerPart_ = 4;
    switch (kind) {
    case kModel8PartTwo: partCount_ = 2; break;
    case kModel8PartFour: partCount_ = 4; break;
    case kModel8PartNine: partCount_ = 9; break;
    default: partCount_ = 1; break;
    }
}

void CPro8PartSender::CollectWindows()
{
    CollectPlanWindows();
    CollectOsdWindows();
}

void CPro8PartSender::CollectOsdWindows()
{
    if (!plan_)
        return;
    std::vector<int32_t> ids;
    plan_->GetVisibleWindows(ids);
    for (int32_t id : ids) {
        const auto window = plan_->GetWindowById(id);
        if (!window || window->sigsrc != kLogoSigSrc)
            continue;
        auto record = std::make_shared<tagWindowRecord>();
        record->window = window;
        record->rect = plan_->GetWindowRect(window);
        record->planValue = plan_->CheckWindowSource(window);
        records_.push_back(record);
    }
}

void CPro8PartSender::CollectWatchCells()
{
    if (!plan_)
        return;
    const auto resolution = plan_->GetResolution();
    for (const auto& watch : plan_->GetWatchWindows()) {
        // A split below one cell a side has no cells to size.
        if (!watch || watch->row < 1 || watch->col < 1)
            continue;
        const int32_t cellHeight = resolution.height / watch->row;
        const int32_t cellWidth = resolution.width / watch->col;
        int32_t serial = 1;
        // Cells past the list are empty, so the list bounds the walk.
        const int64_t cellCount = std::min<int64_t>(int64_t(watch->row) * watch->col, int64_t(watch->cells.size()));
        for (int64_t n = 0; n < cellCount; ++n) {
            const int32_t sourceId = IntListAt(*watch, int32_t(n));
            if (sourceId == -1)
                continue;
            const int32_t r = int32_t(n / watch->col);
            const int32_t c = int32_t(n % watch->col);

            auto window = std::make_shared<CQelWindow>();
            window->sigsrc = sourceId;
            window->layer = serial++;
            int32_t w = std::min(cellWidth, 1920);
            int32_t h = std::min(cellHeight, 2160);
            if (const auto known = processor_ ? processor_->GetSigSrc(uint32_t(sourceId)) : nullptr) {
                const auto size = SignalSizeOf(known->GetResolution());
                w = std::min(std::max(size.width, 2), cellWidth);
                h = std::min(std::max(size.height, 2), cellHeight);
            }
            window->rcsigsrc = {0, 0, w, h};
            window->scaled = false;

            auto record = std::make_shared<tagWindowRecord>();
            record->window = window;
            record->source = std::make_shared<CQelSigSrc>(uint32_t(sourceId));
            record->rect = {ClampToInt(int64_t(c) * cellWidth), ClampToInt(int64_t(r) * cellHeight),
                            ClampToInt(int64_t(c + 1) * cellWidth), ClampToInt(int64_t(r + 1) * cellHeight)};
            record->fixedOutput = 1;
            record->fixedBoard = BoardOf(watch->sigout);
            record->fixedPort = PortOf(watch->sigout);
            watchCells_.push_back(record);
        }
    }
}

} // namespace _8PART_NS
