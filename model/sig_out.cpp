#include "model/sig_out.h"

#include "model/board.h"
#include "model/model_types.h"

namespace {

template <class T>
bool SameObject(const std::weak_ptr<T>& a, const std::weak_ptr<T>& b)
{
    return !a.owner_before(b) && !b.owner_before(a);
}

} // namespace

CQelSigOut::CQelSigOut(uint32_t id) : id_(id) {}

CQelSigOut::CQelSigOut(const Values& values) : id_(values.id), name_(values.name), resolution_(values.resolution) {}

std::string CQelSigOut::GetName() const
{
    return ReadLocked(lock_, name_);
}

void CQelSigOut::SetName(const std::string& name)
{
    WriteLocked(lock_, name_, name);
}

std::shared_ptr<CQelBoard> CQelSigOut::GetBoard() const
{
    RecordGuard guard(lock_);
    return board_.lock();
}

uint32_t CQelSigOut::GetBoardId() const
{
    const auto board = GetBoard();
    return board ? board->GetId() : kNoId;
}

void CQelSigOut::SetBoard(const std::shared_ptr<CQelBoard>& board)
{
    WriteLocked(lock_, board_, board);
}

Resolution CQelSigOut::GetResolution() const
{
    return ReadLocked(lock_, resolution_);
}

void CQelSigOut::SetResolution(const Resolution& resolution)
{
    WriteLocked(lock_, resolution_, resolution);
}

uint32_t CQelSigOut::GetOwnerId() const
{
    RecordGuard guard(lock_);
    return lock_ ? lock_->processorId : kNoId;
}

std::shared_ptr<CQelProcessor> CQelSigOut::GetOwner() const
{
    return owner_.lock();
}

CQelSigOut::Values CQelSigOut::GetValues() const
{
    RecordGuard guard(lock_);
    return ValuesLocked();
}

CQelSigOut::Values CQelSigOut::ValuesLocked() const
{
    const auto board = board_.lock(); // a board's id never changes
    return Values{id_, name_, lock_ ? lock_->processorId : kNoId, board ? board->GetId() : kNoId, resolution_};
}

bool CQelSigOut::Equals(const CQelSigOut& other) const
{
    if (this == &other)
        return true;
    // One record at a time: both may share one processor's lock. Each
    // processor has its own lock, so equal locks mean the same owner.
    std::weak_ptr<CQelBoard> board;
    Values mine;
    {
        RecordGuard guard(lock_);
        mine.name = name_;
        mine.resolution = resolution_;
        board = board_;
    }
    std::weak_ptr<CQelBoard> otherBoard;
    Values theirs;
    {
        RecordGuard guard(other.lock_);
        theirs.name = other.name_;
        theirs.resolution = other.resolution_;
        otherBoard = other.board_;
    }
    return id_ == other.id_ && mine.resolution == theirs.resolution && mine.name == theirs.name &&
           lock_ == other.lock_ && SameObject(board, otherBoard);
}
