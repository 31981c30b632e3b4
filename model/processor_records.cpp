#include "model/processor_records.h"

#include <algorithm>

#include "core/events.h"
#include "model/model_types.h"
#include "model/pending_events.h"
#include "model/processor_file.h"
#include "model/shared_lookup.h"

namespace {

using Guard = std::lock_guard<std::mutex>;

constexpr Resolution kDefaultResolution{1920, 1080, 60};
constexpr Resolution kZeroResolution{0, 0, 60};

template <class T>
bool EraseFirst(std::vector<std::shared_ptr<T>>& list, uint32_t id)
{
    const auto it = std::find_if(list.begin(), list.end(), [id](const auto& item) { return item->GetId() == id; });
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

} // namespace

ProcessorRecords::ProcessorRecords(CQelProcessor& owner, std::shared_ptr<ProcessorLock> lock)
    : owner_(owner), lock_(std::move(lock))
{
}

template <class Record>
bool ProcessorRecords::AdoptRecord(Record& record)
{
    if (record.lock_)
        return record.lock_ == lock_; // never moves to another processor
    record.lock_ = lock_;
    record.owner_ = owner_.weak_from_this();
    return true;
}

bool ProcessorRecords::AddSigSrc(const std::shared_ptr<CQelSigSrc>& source, bool postEvent, bool toSplitList)
{
    if (!source || source->GetId() == kNoId)
        return false;
    PendingEvents events;
    Guard guard(lock_->mutex);
    if (FindSharedById(source->GetId(), sigSrcs_))
        return false;
    if (source->lock_ && source->lock_ != lock_)
        return false;
    if (!source->lock_)
        source->Adopt(lock_, owner_.weak_from_this());
    (toSplitList ? splitSrcs_ : sigSrcs_).push_back(source);
    if (postEvent)
        events.Add<CSigSrcAddedEvent>(static_cast<int32_t>(lock_->processorId), static_cast<int32_t>(source->GetId()));
    return true;
}

void ProcessorRecords::RemoveSigSrcLocked(uint32_t id, PendingEvents& events)
{
    const auto source = FindSharedById(id, sigSrcs_);
    if (!source)
        return;
    if (source->type_ == CQelSigSrc::kType4K)
        for (int32_t q = 0; q < CQelSigSrc::kQuarterCount; ++q)
            EraseFirst(splitSrcs_, id + static_cast<uint32_t>(q));
    EraseFirst(sigSrcs_, id);
    events.Add<CSigSrcRemovedEvent>(static_cast<int32_t>(lock_->processorId), static_cast<int32_t>(id));
}

void ProcessorRecords::RemoveSigSrc(uint32_t id)
{
    PendingEvents events;
    Guard guard(lock_->mutex);
    RemoveSigSrcLocked(id, events);
}

std::shared_ptr<CQelSigSrc> ProcessorRecords::GetSigSrcAt(size_t index) const
{
    Guard guard(lock_->mutex);
    return SharedAtIndex(static_cast<std::ptrdiff_t>(index), sigSrcs_);
}

std::shared_ptr<CQelSigSrc> ProcessorRecords::GetSigSrc(uint32_t id) const
{
    Guard guard(lock_->mutex);
    return FindSharedById(id, sigSrcs_);
}

std::vector<std::shared_ptr<CQelSigSrc>> ProcessorRecords::GetSigSrcs() const
{
    return ReadLocked(lock_, sigSrcs_);
}

size_t ProcessorRecords::GetSigSrcCount() const
{
    Guard guard(lock_->mutex);
    return sigSrcs_.size();
}

std::shared_ptr<CQelSigSrc> ProcessorRecords::GetListBItem(uint32_t id) const
{
    Guard guard(lock_->mutex);
    return FindSharedById(id, splitSrcs_);
}

std::shared_ptr<CQelSigSrc> ProcessorRecords::GetListBItemAt(size_t index) const
{
    Guard guard(lock_->mutex);
    return SharedAtIndex(static_cast<std::ptrdiff_t>(index), splitSrcs_);
}

std::vector<std::shared_ptr<CQelSigSrc>> ProcessorRecords::GetListBItems() const
{
    return ReadLocked(lock_, splitSrcs_);
}

void ProcessorRecords::NotifySigSrcUpdate(uint32_t id)
{
    PendingEvents events;
    Guard guard(lock_->mutex);
    if (FindSharedById(id, sigSrcs_))
        events.Add<CSigSrcUpdateEvent>(static_cast<int32_t>(lock_->processorId), static_cast<int32_t>(id));
}

bool ProcessorRecords::AddSigOut(const std::shared_ptr<CQelSigOut>& output)
{
    if (!output || output->GetId() == kNoId)
        return false;
    Guard guard(lock_->mutex);
    if (FindSharedById(output->GetId(), sigOuts_) || !AdoptRecord(*output))
        return false;
    sigOuts_.push_back(output);
    std::stable_sort(sigOuts_.begin(), sigOuts_.end(),
                     [](const auto& a, const auto& b) { return a->GetId() < b->GetId(); });
    outputsBeforeDiscovery_.reset();
    return true;
}

void ProcessorRecords::RemoveSigOut(uint32_t id)
{
    Guard guard(lock_->mutex);
    EraseFirst(sigOuts_, id);
    outputsBeforeDiscovery_.reset();
}

void ProcessorRecords::ClearSigOuts()
{
    Guard guard(lock_->mutex);
    sigOuts_.clear();
    outputsBeforeDiscovery_.reset();
}

void ProcessorRecords::ClearSigOutsForDiscovery()
{
    Guard guard(lock_->mutex);
    // A second connect before discovery keeps the first one's outputs.
    if (!outputsBeforeDiscovery_) {
        std::vector<CQelSigOut::Values> outputs;
        for (const auto& output : sigOuts_)
            outputs.push_back(output->ValuesLocked());
        outputsBeforeDiscovery_ = std::move(outputs);
    }
    sigOuts_.clear();
}

std::shared_ptr<CQelSigOut> ProcessorRecords::GetSigOutAt(size_t index) const
{
    Guard guard(lock_->mutex);
    return SharedAtIndex(static_cast<std::ptrdiff_t>(index), sigOuts_);
}

std::shared_ptr<CQelSigOut> ProcessorRecords::GetSigOut(uint32_t id) const
{
    Guard guard(lock_->mutex);
    return FindSharedById(id, sigOuts_);
}

std::vector<std::shared_ptr<CQelSigOut>> ProcessorRecords::GetSigOuts() const
{
    return ReadLocked(lock_, sigOuts_);
}

size_t ProcessorRecords::GetSigOutCount() const
{
    Guard guard(lock_->mutex);
    return sigOuts_.size();
}

bool ProcessorRecords::AddBoard(const std::shared_ptr<CQelBoard>& board)
{
    if (!board || board->GetId() == kNoId)
        return false;
    Guard guard(lock_->mutex);
    if (FindSharedById(board->GetId(), boards_) || !AdoptRecord(*board))
        return false;
    boards_.push_back(board);
    return true;
}

void ProcessorRecords::RemoveBoardItemsLocked(const CQelBoard& board, PendingEvents& events)
{
    if (CQelBoard::IsInputType(board.type_)) {
        std::vector<uint32_t> ids;
        for (const auto& source : sigSrcs_)
            if (source->board_.lock().get() == &board)
                ids.push_back(source->GetId());
        for (uint32_t id : ids)
            RemoveSigSrcLocked(id, events);
    } else if (CQelBoard::IsOutputType(board.type_)) {
        std::vector<uint32_t> ids;
        for (const auto& output : sigOuts_)
            if (output->board_.lock().get() == &board)
                ids.push_back(output->GetId());
        for (uint32_t id : ids)
            EraseFirst(sigOuts_, id);
    }
}

void ProcessorRecords::RemoveBoardItems(uint32_t boardId)
{
    PendingEvents events;
    Guard guard(lock_->mutex);
    if (const auto board = FindSharedById(boardId, boards_))
        RemoveBoardItemsLocked(*board, events);
}

void ProcessorRecords::RemoveBoard(uint32_t boardId)
{
    PendingEvents events;
    Guard guard(lock_->mutex);
    const auto board = FindSharedById(boardId, boards_);
    if (!board)
        return;
    RemoveBoardItemsLocked(*board, events);
    EraseFirst(boards_, boardId);
}

std::shared_ptr<CQelBoard> ProcessorRecords::GetBoardAt(size_t index) const
{
    Guard guard(lock_->mutex);
    return SharedAtIndex(static_cast<std::ptrdiff_t>(index), boards_);
}

std::shared_ptr<CQelBoard> ProcessorRecords::GetBoard(uint32_t id) const
{
    Guard guard(lock_->mutex);
    return FindSharedById(id, boards_);
}

std::vector<std::shared_ptr<CQelBoard>> ProcessorRecords::GetBoards() const
{
    return ReadLocked(lock_, boards_);
}

size_t ProcessorRecords::GetBoardCount() const
{
    Guard guard(lock_->mutex);
    return boards_.size();
}

std::shared_ptr<CQelBoard> ProcessorRecords::GetBoardBySlot(uint32_t slot) const
{
    Guard guard(lock_->mutex);
    for (const auto& board : boards_) {
        if (CQelBoard::IsInputType(board->type_) && board->GetId() == slot)
            return board;
        if (CQelBoard::IsOutputType(board->type_) && board->GetId() - 100 == slot)
            return board;
    }
    return nullptr;
}

Resolution ProcessorRecords::GetOutputResolution() const
{
    return ReadLocked(lock_, outputResolution_);
}

void ProcessorRecords::SetOutputResolution(int32_t width, int32_t height, int32_t rate)
{
    if (width <= 0 || height <= 0 || rate <= 0)
        return;
    const Resolution resolution{width, height, rate};
    PendingEvents events;
    Guard guard(lock_->mutex);
    if (resolution == outputResolution_)
        return;
    events.Add<CProResolutionChangedEvent>(static_cast<int32_t>(lock_->processorId), width, height, rate);
    outputResolution_ = resolution;
}

void ProcessorRecords::SetOutputResolutionQuietly(const Resolution& resolution)
{
    WriteLocked(lock_, outputResolution_, resolution);
}

uint32_t ProcessorRecords::GetOutputResolutionId() const
{
    return ReadLocked(lock_, outputResolutionId_);
}

void ProcessorRecords::SetOutputResolutionId(uint32_t id)
{
    WriteLocked(lock_, outputResolutionId_, id);
}

std::vector<ProcessorRecords::ResolutionEntry> ProcessorRecords::GetResolutionList() const
{
    return ReadLocked(lock_, resolutions_);
}

void ProcessorRecords::SetResolutionList(const std::vector<ResolutionEntry>& list)
{
    WriteLocked(lock_, resolutions_, list);
}

void ProcessorRecords::AddResolution(const ResolutionEntry& entry)
{
    Guard guard(lock_->mutex);
    resolutions_.push_back(entry);
}

Resolution ProcessorRecords::GetResolutionById(uint32_t id) const
{
    Guard guard(lock_->mutex);
    for (const auto& entry : resolutions_)
        if (entry.id == id)
            return entry.resolution;
    return kDefaultResolution;
}

Resolution ProcessorRecords::GetResolutionByIdOrZero(uint32_t id) const
{
    Guard guard(lock_->mutex);
    for (const auto& entry : resolutions_)
        if (entry.id == id)
            return entry.resolution;
    return kZeroResolution;
}

uint32_t ProcessorRecords::FindResolutionId(const Resolution& resolution) const
{
    Guard guard(lock_->mutex);
    for (const auto& entry : resolutions_)
        if (entry.resolution == resolution)
            return entry.id;
    return kNoId;
}

bool ProcessorRecords::HasResolutionId(uint32_t id) const
{
    Guard guard(lock_->mutex);
    return std::any_of(resolutions_.begin(), resolutions_.end(), [id](const auto& entry) { return entry.id == id; });
}

void ProcessorRecords::RemoveCustomResolution()
{
    Guard guard(lock_->mutex);
    const auto it = std::find_if(resolutions_.begin(), resolutions_.end(),
                                 [](const auto& entry) { return entry.id == CQelProcessor::kCustomResolutionId; });
    if (it != resolutions_.end())
        resolutions_.erase(it);
}

int32_t ProcessorRecords::GetCustomizeResolutionSwitch() const
{
    return ReadLocked(lock_, customizeResolution_);
}

void ProcessorRecords::SetCustomizeResolutionSwitch(int32_t value)
{
    WriteLocked(lock_, customizeResolution_, value);
}

ProcessorRecords::Loaded ProcessorRecords::MakeLoaded(const ProcessorFileData& d)
{
    Loaded r;
    for (const auto& values : d.boards) {
        auto board = std::make_shared<CQelBoard>(values);
        AdoptRecord(*board);
        r.boards.push_back(std::move(board));
    }
    auto boardOf = [&r](uint32_t id) -> std::shared_ptr<CQelBoard> {
        for (const auto& board : r.boards)
            if (board->GetId() == id)
                return board;
        return nullptr;
    };
    auto isSource = [&r](uint32_t id) {
        return std::any_of(r.sources.begin(), r.sources.end(), [id](const auto& s) { return s->GetId() == id; });
    };

    for (const auto& values : d.sources) {
        auto source = std::make_shared<CQelSigSrc>(values);
        for (const auto& c : values.children)
            source->AddChild(c.id, c.type, c.name, c.resolution, c.routingId);
        source->board_ = boardOf(values.boardId);
        if (values.type == CQelSigSrc::kType4K) {
            // Four quarter pictures, each half as wide and high.
            for (int32_t q = 0; q < CQelSigSrc::kQuarterCount; ++q) {
                const uint32_t id = values.id + static_cast<uint32_t>(q);
                if (isSource(id))
                    continue;
                auto quarter = std::make_shared<CQelSigSrc>(id);
                quarter->type_ = values.type;
                quarter->board_ = source->board_;
                quarter->resolution_ =
                    Resolution{values.resolution.width / 2, values.resolution.height / 2, values.resolution.rate};
                quarter->edid_ = 0;
                quarter->Adopt(lock_, owner_.weak_from_this());
                r.splits.push_back(std::move(quarter));
            }
        }
        source->Adopt(lock_, owner_.weak_from_this());
        r.sources.push_back(std::move(source));
    }

    for (const auto& values : d.outputs) {
        auto output = std::make_shared<CQelSigOut>(values);
        output->board_ = boardOf(values.boardId);
        AdoptRecord(*output);
        r.outputs.push_back(std::move(output));
    }
    return r;
}

void ProcessorRecords::CommitLocked(const ProcessorFileData& d, Loaded records)
{
    boards_ = std::move(records.boards);
    sigSrcs_ = std::move(records.sources);
    splitSrcs_ = std::move(records.splits);
    resolutions_ = d.resolutions;
    customizeResolution_ = d.customizeResolution;
    outputResolutionId_ = d.outputResolutionId;
    outputResolution_ = Resolution{1920, 1080, 60};
    for (const auto& entry : resolutions_) {
        if (entry.id == outputResolutionId_) {
            outputResolution_ = entry.resolution;
            break;
        }
    }
    sigOuts_ = std::move(records.outputs);
    outputsBeforeDiscovery_.reset();
}

void ProcessorRecords::SnapshotLocked(ProcessorFileData& d) const
{
    for (const auto& board : boards_)
        d.boards.push_back(board->ValuesLocked());
    for (const auto& source : sigSrcs_)
        d.sources.push_back(source->ValuesLocked());
    d.outputResolutionId = outputResolutionId_;
    if (outputsBeforeDiscovery_)
        d.outputs = *outputsBeforeDiscovery_;
    else
        for (const auto& output : sigOuts_)
            d.outputs.push_back(output->ValuesLocked());
    d.resolutions = resolutions_;
    d.customizeResolution = customizeResolution_;
}

bool ProcessorRecords::RenameSigSrcLocked(uint32_t id, const std::string& name)
{
    const auto it = std::find_if(sigSrcs_.begin(), sigSrcs_.end(), [id](const auto& s) { return s->GetId() == id; });
    if (it == sigSrcs_.end() || (*it)->name_ == name)
        return false;
    (*it)->name_ = name;
    return true;
}

// The processor's names for its records.

bool CQelProcessor::AddSigSrc(const std::shared_ptr<CQelSigSrc>& source, bool postEvent, bool toSplitList)
{
    return records_->AddSigSrc(source, postEvent, toSplitList);
}

void CQelProcessor::RemoveSigSrc(uint32_t id)
{
    records_->RemoveSigSrc(id);
}

std::shared_ptr<CQelSigSrc> CQelProcessor::GetSigSrc(uint32_t id) const
{
    return records_->GetSigSrc(id);
}

std::vector<std::shared_ptr<CQelSigSrc>> CQelProcessor::GetSigSrcs() const
{
    return records_->GetSigSrcs();
}

bool CQelProcessor::AddSigOut(const std::shared_ptr<CQelSigOut>& output)
{
    return records_->AddSigOut(output);
}

std::shared_ptr<CQelSigOut> CQelProcessor::GetSigOut(uint32_t id) const
{
    return records_->GetSigOut(id);
}

std::vector<std::shared_ptr<CQelSigOut>> CQelProcessor::GetSigOuts() const
{
    return records_->GetSigOuts();
}

size_t CQelProcessor::GetSigOutCount() const
{
    return records_->GetSigOutCount();
}

std::shared_ptr<CQelBoard> CQelProcessor::GetBoard(uint32_t id) const
{
    return records_->GetBoard(id);
}

Resolution CQelProcessor::GetOutputResolution() const
{
    return records_->GetOutputResolution();
}

void CQelProcessor::SetOutputResolution(int32_t width, int32_t height, int32_t rate)
{
    records_->SetOutputResolution(width, height, rate);
}
