#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>

#include "model/model_values.h"

// The lock of one processor's model, shared with every record the processor
// adopted so that a record handed to another thread stays safe to use after
// its processor let go of it. It is a leaf lock: while it is held nothing
// else is locked, posted, written or waited for.
struct ProcessorLock {
    std::mutex mutex;
    uint32_t processorId = kNoId; // guarded by mutex
};

// Locks a record's owner; a record not yet added to a processor belongs to
// the thread that made it and needs no lock.
class RecordGuard {
public:
    explicit RecordGuard(const std::shared_ptr<ProcessorLock>& lock)
    {
        if (lock)
            lock_ = std::unique_lock<std::mutex>(lock->mutex);
    }

private:
    std::unique_lock<std::mutex> lock_;
};

// A guarded field read or written under its record's lock.
template <class T>
T ReadLocked(const std::shared_ptr<ProcessorLock>& lock, const T& field)
{
    RecordGuard guard(lock);
    return field;
}

template <class T, class V>
void WriteLocked(const std::shared_ptr<ProcessorLock>& lock, T& field, V&& value)
{
    RecordGuard guard(lock);
    field = std::forward<V>(value);
}
