#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// A processor's preallocated ring of commands: 10241 slots of 1024 bytes, so
// at most 10240 commands wait. Two slot tables let RemoveType2 compact the
// ring without allocating. Every operation runs under the queue's mutex.
class CQelCmdQueue {
public:
    static constexpr uint32_t kSlotSize = 1024;
    static constexpr uint32_t kSlotCount = 10241;
    static constexpr uint32_t kCapacity = kSlotCount - 1;

    // Paced commands are followed by the sender's pause; echoed ones wait
    // for the device's echo instead.
    static constexpr int32_t kPaced = 1;
    static constexpr int32_t kEchoed = 2;

    CQelCmdQueue() = default;
    virtual ~CQelCmdQueue();

    CQelCmdQueue(const CQelCmdQueue&) = delete;
    CQelCmdQueue& operator=(const CQelCmdQueue&) = delete;

    // Allocates both tables; an initialised queue is emptied. Returns 0.
    int Init();
    // Frees the storage; the queue then refuses pushes and pops nothing.
    void Release();

    // False, nothing stored, when the ring is full, the length exceeds a
    // slot or the queue holds no storage.
    bool Push(const void* data, uint32_t length, int32_t type);
    // 0 and the oldest command copied into `out` (kSlotSize bytes), 1 when
    // the queue is empty.
    int Pop(char* out, uint32_t& length, int32_t& type);
    // Drops every queued echoed command, keeping the others in order from
    // the same head.
    void RemoveType2();
    uint32_t Count() const;

private:
    struct Entry {
        char* slot = nullptr;
        uint32_t length = 0;
        int32_t type = 0;
    };
    struct Table {
        std::unique_ptr<char[]> buffer;
        std::vector<Entry> entries;
    };

    static uint32_t Next(uint32_t index) { return (index + 1) % kSlotCount; }
    uint32_t CountLocked() const;
    Table* ActiveTable() { return active_ < 0 ? nullptr : &tables_[active_]; }

    mutable std::mutex lock_;
    Table tables_[2];
    int active_ = -1; // -1 before Init and after Release
    uint32_t head_ = 0;
    uint32_t tail_ = 0;
};
