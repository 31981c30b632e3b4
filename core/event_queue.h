#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "core/events.h"

using EventPtr = std::shared_ptr<CEventBase>;

// The process-wide queue that carries events from any thread to the UI
// thread. Posting never waits: when the queue is full the oldest event goes.
class CEvtQueue {
public:
    static constexpr uint32_t kCapacity = 131072;

    static CEvtQueue& get_instance();

    explicit CEvtQueue(uint32_t capacity = kCapacity);
    ~CEvtQueue();
    CEvtQueue(const CEvtQueue&) = delete;
    CEvtQueue& operator=(const CEvtQueue&) = delete;

    // Takes ownership of a newly allocated event.
    bool Post(CEventBase* event);
    bool Push(EventPtr event);
    // True with the oldest event; false, leaving `event` as it was, when empty.
    bool TryPop(EventPtr& event);
    void Clear();

private:
    const uint32_t capacity_;
    std::mutex mutex_;
    std::deque<EventPtr> events_;
};

// Posts to the process-wide queue; takes ownership of `event`.
bool PostEvent(CEventBase* event);
