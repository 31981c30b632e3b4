#include "model/cmd_queue.h"

#include <cstring>

CQelCmdQueue::~CQelCmdQueue() = default;

int CQelCmdQueue::Init()
{
    std::lock_guard guard(lock_);
    for (Table& table : tables_) {
        if (!table.buffer)
            table.buffer = std::make_unique_for_overwrite<char[]>(size_t{kSlotSize} * kSlotCount);
        table.entries.assign(kSlotCount, Entry{});
        for (uint32_t i = 0; i < kSlotCount; ++i)
            table.entries[i].slot = table.buffer.get() + size_t{i} * kSlotSize;
    }
    head_ = tail_ = 0;
    active_ = 0;
    return 0;
}

void CQelCmdQueue::Release()
{
    std::lock_guard guard(lock_);
    for (Table& table : tables_) {
        table.buffer.reset();
        table.entries.clear();
        table.entries.shrink_to_fit();
    }
    head_ = tail_ = 0;
    active_ = -1;
}

bool CQelCmdQueue::Push(const void* data, uint32_t length, int32_t type)
{
    if (length > kSlotSize)
        return false;
    std::lock_guard guard(lock_);
    Table* table = ActiveTable();
    if (!table || Next(tail_) == head_)
        return false;
    Entry& entry = table->entries[tail_];
    if (length > 0)
        std::memcpy(entry.slot, data, length);
    entry.length = length;
    entry.type = type;
    tail_ = Next(tail_);
    return true;
}

int CQelCmdQueue::Pop(char* out, uint32_t& length, int32_t& type)
{
    std::lock_guard guard(lock_);
    Table* table = ActiveTable();
    if (!table || head_ == tail_)
        return 1;
    const Entry& entry = table->entries[head_];
    std::memcpy(out, entry.slot, entry.length);
    length = entry.length;
    type = entry.type;
    head_ = Next(head_);
    return 0;
}

void CQelCmdQueue::RemoveType2()
{
    std::lock_guard guard(lock_);
    Table* from = ActiveTable();
    if (!from || head_ == tail_)
        return;
    const int target = 1 - active_;
    Table& to = tables_[target];
    uint32_t j = head_;
    for (uint32_t i = head_; i != tail_; i = Next(i)) {
        const Entry& kept = from->entries[i];
        if (kept.type == kEchoed)
            continue;
        Entry& copy = to.entries[j];
        std::memcpy(copy.slot, kept.slot, kept.length);
        copy.length = kept.length;
        copy.type = kept.type;
        j = Next(j);
    }
    active_ = target;
    tail_ = j;
}

uint32_t CQelCmdQueue::Count() const
{
    std::lock_guard guard(lock_);
    return CountLocked();
}

uint32_t CQelCmdQueue::CountLocked() const
{
    return tail_ >= head_ ? tail_ - head_ : kSlotCount - head_ + tail_;
}
