#include "model/sig_src.h"

#include <algorithm>

#include "core/events.h"
#include "model/board.h"
#include "model/model_types.h"
#include "model/pending_events.h"

namespace {

constexpr Resolution kDefaultSourceResolution{1920, 1080, 60};
constexpr Resolution kVideo4Resolution{704, 474, 60};
constexpr uint32_t kVideo4DefaultChild = 0;
constexpr uint32_t kVgaDviDefaultChild = 1;

bool IsValid(const Resolution& r)
{
    return r.width >= 1 && r.height >= 1 && r.rate >= 1;
}

} // namespace

CQelChildSigSrc::CQelChildSigSrc(const Values& values)
    : id_(values.id), type_(values.type), name_(values.name), routingId_(values.routingId),
      resolution_(values.resolution)
{
}

Resolution CQelChildSigSrc::GetResolution() const
{
    return ReadLocked(lock_, resolution_);
}

void CQelChildSigSrc::SetResolution(const Resolution& resolution)
{
    WriteLocked(lock_, resolution_, resolution);
}

CQelChildSigSrc::Values CQelChildSigSrc::GetValues() const
{
    return Values{id_, type_, name_, GetResolution(), routingId_};
}

CQelSigSrc::CQelSigSrc(uint32_t id) : id_(id) {}

CQelSigSrc::CQelSigSrc(const Values& values)
    : id_(values.id), type_(values.type), name_(values.name), joined_(values.joined), edid_(values.edid),
      startPoint_(values.startPoint), resolution_(values.resolution), mutualGroupId_(values.mutualGroupId),
      curChildId_(values.curChildId), adjust_(values.adjust)
{
}

CQelSigSrc::Adjust CQelSigSrc::DefaultAdjust(int32_t type)
{
    return Adjust{type == kTypeVideo4 ? 128 : 0, 128, 128, 0};
}

void CQelSigSrc::Adopt(const std::shared_ptr<ProcessorLock>& lock, const std::weak_ptr<CQelProcessor>& owner)
{
    // Called under `lock` while the source still belongs to the adding thread.
    lock_ = lock;
    owner_ = owner;
    for (auto& child : children_)
        child->lock_ = lock;
}

uint32_t CQelSigSrc::OwnerIdLocked() const
{
    return lock_ ? lock_->processorId : kNoId;
}

int32_t CQelSigSrc::GetType() const
{
    return ReadLocked(lock_, type_);
}

void CQelSigSrc::SetType(int32_t type)
{
    WriteLocked(lock_, type_, type);
}

std::string CQelSigSrc::GetName() const
{
    return ReadLocked(lock_, name_);
}

void CQelSigSrc::SetName(const std::string& name)
{
    WriteLocked(lock_, name_, name);
}

uint32_t CQelSigSrc::GetOwnerId() const
{
    RecordGuard guard(lock_);
    return OwnerIdLocked();
}

std::shared_ptr<CQelProcessor> CQelSigSrc::GetOwner() const
{
    return owner_.lock();
}

std::shared_ptr<CQelBoard> CQelSigSrc::GetBoard() const
{
    RecordGuard guard(lock_);
    return board_.lock();
}

uint32_t CQelSigSrc::GetBoardId() const
{
    const auto board = GetBoard();
    return board ? board->GetId() : kNoId;
}

void CQelSigSrc::SetBoard(const std::shared_ptr<CQelBoard>& board)
{
    WriteLocked(lock_, board_, board);
}

uint32_t CQelSigSrc::GetEdid() const
{
    return ReadLocked(lock_, edid_);
}

void CQelSigSrc::SetEdid(uint32_t edid)
{
    WriteLocked(lock_, edid_, edid);
}

Point CQelSigSrc::GetStartPoint() const
{
    return ReadLocked(lock_, startPoint_);
}

void CQelSigSrc::SetStartPoint(const Point& point)
{
    WriteLocked(lock_, startPoint_, point);
}

uint32_t CQelSigSrc::GetMutualGroupId() const
{
    return ReadLocked(lock_, mutualGroupId_);
}

void CQelSigSrc::SetMutualGroupId(uint32_t id)
{
    WriteLocked(lock_, mutualGroupId_, id);
}

CQelSigSrc::Adjust CQelSigSrc::GetAdjust() const
{
    return ReadLocked(lock_, adjust_);
}

void CQelSigSrc::SetAdjust(size_t index, int32_t value)
{
    if (index >= adjust_.size())
        return;
    RecordGuard guard(lock_);
    adjust_[index] = value;
}

CQelSigSrc::Values CQelSigSrc::GetValues() const
{
    RecordGuard guard(lock_);
    return ValuesLocked();
}

CQelSigSrc::Values CQelSigSrc::ValuesLocked() const
{
    Values values;
    values.id = id_;
    values.type = type_;
    values.name = name_;
    values.ownerId = OwnerIdLocked();
    // A board's id never changes, so reading it needs no lock of the board's.
    const auto board = board_.lock();
    values.boardId = board ? board->GetId() : kNoId;
    values.joined = joined_;
    values.edid = edid_;
    values.startPoint = startPoint_;
    values.resolution = resolution_;
    values.mutualGroupId = mutualGroupId_;
    values.curChildId = curChildId_;
    values.adjust = adjust_;
    values.children.reserve(children_.size());
    for (const auto& child : children_)
        values.children.push_back({child->id_, child->type_, child->name_, child->resolution_, child->routingId_});
    return values;
}

bool CQelSigSrc::IsJoined() const
{
    return ReadLocked(lock_, joined_);
}

void CQelSigSrc::SetJoinedLocked(bool joined, PendingEvents& events)
{
    if (joined_ == joined)
        return;
    joined_ = joined;
    // A source not yet added is known to nobody, so there is nobody to tell.
    if (lock_)
        events.Add<CSigSrcJoinChangedEvent>(static_cast<int32_t>(OwnerIdLocked()), static_cast<int32_t>(id_),
                                            uint8_t(joined ? 1 : 0));
}

void CQelSigSrc::SetJoined(bool joined)
{
    PendingEvents events;
    RecordGuard guard(lock_);
    SetJoinedLocked(joined, events);
}

Resolution CQelSigSrc::GetResolution() const
{
    return ReadLocked(lock_, resolution_);
}

void CQelSigSrc::SetResolution(int32_t width, int32_t height, int32_t rate)
{
    const Resolution resolution{width, height, rate};
    PendingEvents events;
    RecordGuard guard(lock_);
    if (!IsValid(resolution)) {
        SetJoinedLocked(false, events);
        return;
    }
    SetJoinedLocked(true, events);
    if (resolution == resolution_)
        return;
    if (lock_)
        events.Add<CSigSrcResolutionChangedEvent>(static_cast<int32_t>(OwnerIdLocked()), static_cast<int32_t>(id_),
                                                  width, height, rate);
    resolution_ = resolution;
}

bool CQelSigSrc::AddChild(uint32_t id, int32_t type, const std::string& name, const Resolution& resolution,
                          uint32_t routingId)
{
    auto child = std::make_shared<CQelChildSigSrc>(CQelChildSigSrc::Values{id, type, name, resolution, routingId});
    child->parent_ = weak_from_this();
    RecordGuard guard(lock_);
    for (const auto& existing : children_)
        if (existing->id_ == id)
            return false;
    child->lock_ = lock_;
    children_.push_back(std::move(child));
    return true;
}

size_t CQelSigSrc::GetChildCount() const
{
    RecordGuard guard(lock_);
    return children_.size();
}

std::shared_ptr<CQelChildSigSrc> CQelSigSrc::GetChildAt(size_t index) const
{
    RecordGuard guard(lock_);
    return index < children_.size() ? children_[index] : nullptr;
}

std::shared_ptr<CQelChildSigSrc> CQelSigSrc::GetChild(uint32_t id) const
{
    RecordGuard guard(lock_);
    for (const auto& child : children_)
        if (child->id_ == id)
            return child;
    return nullptr;
}

std::vector<std::shared_ptr<CQelChildSigSrc>> CQelSigSrc::GetChildren() const
{
    return ReadLocked(lock_, children_);
}

uint32_t CQelSigSrc::GetCurChildId() const
{
    return ReadLocked(lock_, curChildId_);
}

bool CQelSigSrc::SelectChildLocked(uint32_t childId, PendingEvents& events)
{
    const auto it =
        std::find_if(children_.begin(), children_.end(), [childId](const auto& c) { return c->id_ == childId; });
    if (it == children_.end())
        return false;
    resolution_ = (*it)->resolution_;
    curChildId_ = childId;
    if (lock_)
        events.Add<CSigSrcChildChangedEvent>(static_cast<int32_t>(OwnerIdLocked()), static_cast<int32_t>(id_),
                                             static_cast<int32_t>(childId));
    return true;
}

bool CQelSigSrc::SelectChild(uint32_t childId)
{
    PendingEvents events;
    RecordGuard guard(lock_);
    return SelectChildLocked(childId, events);
}

void CQelSigSrc::ResetAdjust()
{
    RecordGuard guard(lock_);
    adjust_ = DefaultAdjust(type_);
}

void CQelSigSrc::ResetDefaults()
{
    PendingEvents events;
    RecordGuard guard(lock_);
    resolution_ = kDefaultSourceResolution;
    if (type_ == kTypeVideo4) {
        resolution_ = kVideo4Resolution;
        SelectChildLocked(kVideo4DefaultChild, events);
    } else if (type_ == kTypeVgaDvi) {
        SelectChildLocked(kVgaDviDefaultChild, events);
    }
    edid_ = 0;
    adjust_ = DefaultAdjust(type_);
}
