#include "model/board.h"
#include "model/model_types.h"

CQelBoard::CQelBoard(uint32_t id) : id_(id) {}

CQelBoard::CQelBoard(const Values& values)
    : id_(values.id), name_(values.name), type_(values.type), scaler_(values.scaler), portCount_(values.portCount)
{
}

std::string CQelBoard::GetName() const
{
    return ReadLocked(lock_, name_);
}

void CQelBoard::SetName(const std::string& name)
{
    WriteLocked(lock_, name_, name);
}

int32_t CQelBoard::GetType() const
{
    return ReadLocked(lock_, type_);
}

void CQelBoard::SetType(int32_t type)
{
    WriteLocked(lock_, type_, type);
}

int32_t CQelBoard::GetScaler() const
{
    return ReadLocked(lock_, scaler_);
}

void CQelBoard::SetScaler(int32_t scaler)
{
    WriteLocked(lock_, scaler_, scaler);
}

int32_t CQelBoard::GetPortCount() const
{
    return ReadLocked(lock_, portCount_);
}

void CQelBoard::SetPortCount(int32_t count)
{
    WriteLocked(lock_, portCount_, count);
}

uint32_t CQelBoard::GetOwnerId() const
{
    RecordGuard guard(lock_);
    return lock_ ? lock_->processorId : kNoId;
}

std::shared_ptr<CQelProcessor> CQelBoard::GetOwner() const
{
    return owner_.lock();
}

CQelBoard::Values CQelBoard::GetValues() const
{
    RecordGuard guard(lock_);
    return ValuesLocked();
}

CQelBoard::Values CQelBoard::ValuesLocked() const
{
    return Values{id_, name_, lock_ ? lock_->processorId : kNoId, type_, scaler_, portCount_};
}
