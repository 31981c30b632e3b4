#include "model/processor.h"

#include <algorithm>

#include "model/input_osd.h"
#include "model/kinds.h"
#include "model/model_types.h"
#include "model/processor_jobs.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_requests.h"
#include "model/processor_settings.h"
#include "model/processor_store.h"

namespace {

using Guard = std::lock_guard<std::mutex>;

// The size of row or column `index`: its own when the list has one, else
// one output's, as the wall size counts a grid without sizes.
int32_t CellSize(const std::vector<int32_t>& sizes, int32_t index, int32_t unit)
{
    return static_cast<size_t>(index) < sizes.size() ? sizes[static_cast<size_t>(index)] : unit;
}

// Where row or column `index` starts: the sizes of those before it.
int64_t CellOffset(const std::vector<int32_t>& sizes, int32_t index, int32_t unit)
{
    const size_t listed = std::min(static_cast<size_t>(index), sizes.size());
    int64_t offset = 0;
    for (size_t i = 0; i < listed; ++i)
        offset += sizes[i];
    return offset + (static_cast<int64_t>(index) - static_cast<int64_t>(listed)) * unit;
}

} // namespace

CQelProcessor::CQelProcessor()
    : lock_(std::make_shared<ProcessorLock>()), settings_(std::make_unique<ProcessorSettings>(*this, lock_)),
      records_(std::make_unique<ProcessorRecords>(*this, lock_)), inputOsd_(std::make_unique<CInputOSD>(*this)),
      store_(std::make_unique<ProcessorStore>(*this)), jobs_(std::make_unique<ProcessorJobs>(*this)),
      link_(std::make_unique<ProcessorLink>(*this))
{
    requests_ = std::make_unique<ProcessorRequests>(*this, *link_, *jobs_);
    link_->StartSender();
}

CQelProcessor::~CQelProcessor()
{
    StopJobs();
    link_->StopSender();
}

bool CQelProcessor::HasCellSizes(int32_t kind)
{
    return kind == kModelLed || IsEightPartModel(kind);
}

uint32_t CQelProcessor::GetId() const
{
    Guard guard(lock_->mutex);
    return lock_->processorId;
}

void CQelProcessor::SetId(uint32_t id)
{
    Guard guard(lock_->mutex);
    lock_->processorId = id;
}

int32_t CQelProcessor::GetKind() const
{
    return settings_->GetKind();
}

void CQelProcessor::SetKind(int32_t kind)
{
    settings_->SetKind(kind);
}

std::string CQelProcessor::GetName() const
{
    return settings_->GetName();
}

void CQelProcessor::SetName(const std::string& name)
{
    settings_->SetName(name);
}

CQelProcessor::Wall CQelProcessor::GetWall() const
{
    return ReadLocked(lock_, wall_);
}

void CQelProcessor::SetWall(const Wall& wall)
{
    Guard guard(lock_->mutex);
    wall_ = wall;
    ++wallRevision_;
}

uint64_t CQelProcessor::GetWallRevision() const
{
    return ReadLocked(lock_, wallRevision_);
}

Size CQelProcessor::GetWallPixelSize() const
{
    Guard guard(lock_->mutex);
    auto extent = [](const std::vector<int32_t>& sizes, int32_t count, int32_t unit, bool useSizes) {
        if (useSizes) {
            int64_t sum = 0;
            for (int32_t s : sizes)
                sum += s;
            if (!sizes.empty() && sum != 0)
                return static_cast<int32_t>(sum);
        }
        return static_cast<int32_t>(int64_t(count) * unit);
    };
    const bool cellSizes = HasCellSizes(settings_->KindLocked());
    const Resolution outputResolution = records_->OutputResolutionLocked();
    return Size{extent(wall_.colWidths, wall_.cols, outputResolution.width, cellSizes),
                extent(wall_.rowHeights, wall_.rows, outputResolution.height, cellSizes)};
}

int32_t CQelProcessor::GetWallCellOutput(int32_t row, int32_t col) const
{
    Guard guard(lock_->mutex);
    const auto it = wall_.cells.find({row, col});
    return it == wall_.cells.end() ? -1 : it->second;
}

bool CQelProcessor::FindWallCellOfOutput(int32_t outputId, int32_t& row, int32_t& col) const
{
    Guard guard(lock_->mutex);
    for (const auto& [cell, id] : wall_.cells) {
        if (id == outputId) {
            row = cell.first;
            col = cell.second;
            return true;
        }
    }
    return false;
}

bool CQelProcessor::HitTestWallOutput(int32_t x, int32_t y, uint32_t& board, uint32_t& port) const
{
    Guard guard(lock_->mutex);
    const Resolution outputResolution = records_->OutputResolutionLocked();
    // Cells are tried in (row, column) order, as a walk over the grid would
    // meet them, but only the mapped ones: a damaged file's grid may be huge.
    for (const auto& [cell, id] : wall_.cells) {
        const auto [row, col] = cell;
        if (row < 0 || col < 0 || row >= wall_.rows || col >= wall_.cols || id == 0)
            continue;
        const int64_t left = CellOffset(wall_.colWidths, col, outputResolution.width);
        const int64_t top = CellOffset(wall_.rowHeights, row, outputResolution.height);
        const int64_t right = left + CellSize(wall_.colWidths, col, outputResolution.width);
        const int64_t bottom = top + CellSize(wall_.rowHeights, row, outputResolution.height);
        if (x >= left && x < right && y >= top && y < bottom) {
            const uint32_t output = static_cast<uint32_t>(id);
            board = output / 100 % 100;
            port = output % 100;
            return false;
        }
    }
    return true;
}

void CQelProcessor::ResetWallCellSizes()
{
    Wall wall = GetWall();
    const Resolution output = GetOutputResolution();
    wall.colWidths.assign(static_cast<size_t>(std::max(wall.cols, 0)), output.width);
    wall.rowHeights.assign(static_cast<size_t>(std::max(wall.rows, 0)), output.height);
    SetWall(wall);
}
