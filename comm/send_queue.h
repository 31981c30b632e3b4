#pragma once
#include "corlane/binblock.h"
#include "platform/clock.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

namespace qz::net {

// The bounded queue of units a client writes one at a time. When the device
// cannot keep up the oldest units go, so the newest command always gets in.
// A unit holding a copy of the bytes; empty for no data.
qz::vok::binblock make_unit(const void* data, size_t length);

// Each kept unit gets a number, so a sender can wait until the client has
// handed that unit to its socket or port: a pause measured from then keeps
// the lines apart on the wire, however late the client's write runs.
class send_queue {
public:
    static constexpr size_t kCapacity = 10000;

    // Drops the oldest unit once 9999 are held; an empty unit is not kept
    // but still makes room. Gives the unit's number, 0 when not kept.
    uint64_t push(const qz::vok::binblock& unit);
    // Takes the oldest unit, which is in flight until `written` or `lost`
    // is called with its number. False when empty.
    bool pop(qz::vok::binblock& unit, uint64_t& number);
    bool pop(qz::vok::binblock& unit);
    // The unit in flight reached the socket or port at `at`, or never will.
    void written(uint64_t number, platform::TimePoint at);
    void lost(uint64_t number);
    // The link went down: the waits in progress end without a time, and
    // drains end at once until the link is up again.
    void release_waiters();
    void reopen();
    // Waits at most `limit` of the process clock until unit `number` has
    // left the queue; gives when it (or a later unit) was written, nothing
    // when it was dropped, lost or the wait was released or timed out.
    std::optional<platform::TimePoint> wait_written(uint64_t number, platform::Duration limit);
    // Waits at most `limit` until nothing is queued or in flight, or the
    // link is down; true when nothing is left.
    bool wait_drained(platform::Duration limit);

    size_t size() const;
    void clear();

private:
    struct Entry {
        uint64_t number;
        qz::vok::binblock unit;
    };
    bool PendingLocked(uint64_t number) const;
    void SettleLocked(uint64_t number);

    mutable std::mutex mutex_;
    std::condition_variable settled_;
    std::deque<Entry> units_;
    uint64_t pushed_ = 0;
    uint64_t inFlight_ = 0;
    uint64_t lastWritten_ = 0;
    platform::TimePoint lastWrittenAt_;
    uint64_t releases_ = 0;
    bool open_ = false;
};

} // namespace qz::net
