#include "model/processor.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "core/events.h"
#include "model/input_osd.h"
#include "model/kinds.h"
#include "model/pending_events.h"
#include "model/processor_file.h"
#include "model/processor_jobs.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_requests.h"
#include "model/processor_store.h"

namespace {

struct TypeReplyKind {
    int32_t kind;
    const char* name;
};

// Reply types 0 to 3 of "GP TYPE".
constexpr TypeReplyKind kTypeReplyKinds[] = {
    {8, "16x16处理器"},
    {10, "36x36处理器"},
    {7, "8x8处理器"},
    {8, "8x8Pro处理器"},
};
constexpr int kTypeReply8x8Pro = 3;
constexpr std::string_view kTypeReplyPrefix = "GP TYPE";

// The reply type of a type reply; false when the line carries none.
bool ParseTypeReply(std::string_view line, int& type)
{
    if (line.substr(0, kTypeReplyPrefix.size()) != kTypeReplyPrefix)
        return false;
    line.remove_prefix(kTypeReplyPrefix.size());
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return false;
    line.remove_prefix(start);
    if (!line.empty() && line.front() == '+')
        line.remove_prefix(1);
    const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), type);
    return ec == std::errc();
}

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
    : lock_(std::make_shared<ProcessorLock>()), records_(std::make_unique<ProcessorRecords>(*this, lock_)),
      inputOsd_(std::make_unique<CInputOSD>(*this)), store_(std::make_unique<ProcessorStore>(*this)),
      jobs_(std::make_unique<ProcessorJobs>(*this)), link_(std::make_unique<ProcessorLink>(*this))
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
    return ReadLocked(lock_, kind_);
}

void CQelProcessor::SetKind(int32_t kind)
{
    WriteLocked(lock_, kind_, kind);
}

std::string CQelProcessor::GetName() const
{
    return ReadLocked(lock_, name_);
}

void CQelProcessor::SetName(const std::string& name)
{
    WriteLocked(lock_, name_, name);
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
    const bool cellSizes = HasCellSizes(kind_);
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

Rect CQelProcessor::GetInflateRect() const
{
    Guard guard(lock_->mutex);
    if (obm_ == 1 && app_.inflateEnable == 1)
        return app_.inflateRect;
    return Rect{};
}

int32_t CQelProcessor::GetObm() const
{
    return ReadLocked(lock_, obm_);
}

void CQelProcessor::SetObm(int32_t obm)
{
    WriteLocked(lock_, obm_, obm);
}

int32_t CQelProcessor::GetAuthorization() const
{
    return ReadLocked(lock_, authorization_);
}

void CQelProcessor::SetAuthorization(int32_t value)
{
    WriteLocked(lock_, authorization_, value);
}

int32_t CQelProcessor::GetSourceScaler() const
{
    return ReadLocked(lock_, sourceScaler_);
}

void CQelProcessor::SetSourceScaler(int32_t scaler)
{
    WriteLocked(lock_, sourceScaler_, scaler);
}

CQelProcessor::Connection CQelProcessor::GetConnection() const
{
    return ReadLocked(lock_, connection_);
}

void CQelProcessor::SetConnection(const Connection& connection)
{
    WriteLocked(lock_, connection_, connection);
}

CQelProcessor::AppOptions CQelProcessor::GetAppOptions() const
{
    return ReadLocked(lock_, app_);
}

void CQelProcessor::SetAppOptions(const AppOptions& options)
{
    WriteLocked(lock_, app_, options);
}

uint32_t CQelProcessor::GetChannelId() const
{
    return ReadLocked(lock_, channelId_);
}

void CQelProcessor::SetChannelId(uint32_t id)
{
    WriteLocked(lock_, channelId_, id);
}

bool CQelProcessor::IsStatusPollEnabled() const
{
    return ReadLocked(lock_, statusPoll_);
}

void CQelProcessor::SetStatusPoll(bool enabled)
{
    WriteLocked(lock_, statusPoll_, enabled);
}

bool CQelProcessor::IsModified() const
{
    return ReadLocked(lock_, modified_);
}

void CQelProcessor::SetModified(bool modified)
{
    WriteLocked(lock_, modified_, modified);
}

void CQelProcessor::OnTypeReply(const std::string& line)
{
    int type = 0;
    const bool readable = ParseTypeReply(line, type);
    Guard guard(lock_->mutex);
    typeReply_ = line;
    // A line without a readable type tells nothing about the device.
    if (!readable || type < 0 || type > kTypeReply8x8Pro)
        return;
    const TypeReplyKind& entry = kTypeReplyKinds[type];
    if (type != kTypeReply8x8Pro && kind_ == entry.kind)
        return;
    modified_ = true;
    kind_ = entry.kind;
    name_ = entry.name;
}

std::string CQelProcessor::GetTypeReplyText() const
{
    return ReadLocked(lock_, typeReply_);
}

bool CQelProcessor::AddFpgaVersion(int32_t key, const std::string& text)
{
    Guard guard(lock_->mutex);
    return fpgaVersions_.emplace(key, text).second;
}

void CQelProcessor::ClearFpgaVersions()
{
    Guard guard(lock_->mutex);
    fpgaVersions_.clear();
}

CQelProcessor::VersionTable CQelProcessor::GetFpgaVersions() const
{
    return ReadLocked(lock_, fpgaVersions_);
}

bool CQelProcessor::AddFirmwareVersion(int32_t key, const std::string& text)
{
    Guard guard(lock_->mutex);
    return firmwareVersions_.emplace(key, text).second;
}

void CQelProcessor::ClearFirmwareVersions()
{
    Guard guard(lock_->mutex);
    firmwareVersions_.clear();
}

CQelProcessor::VersionTable CQelProcessor::GetFirmwareVersions() const
{
    return ReadLocked(lock_, firmwareVersions_);
}

std::string CQelProcessor::GetPlanName(int32_t slot) const
{
    Guard guard(lock_->mutex);
    const auto it = planNames_.find(slot);
    return it != planNames_.end() ? it->second : std::to_string(slot);
}

void CQelProcessor::SetPlanName(int32_t slot, const std::string& name)
{
    if (slot < kFirstPlanSlot || slot > kLastPlanSlot)
        return;
    {
        Guard guard(lock_->mutex);
        planNames_[slot] = CutPlanName(name);
    }
    SavePro();
}
