#pragma once
#include "corlane/binblock.h"

#include <cstddef>
#include <deque>
#include <mutex>

namespace qz::net {

// The bounded queue of units a client writes one at a time. When the device
// cannot keep up the oldest units go, so the newest command always gets in.
// A unit holding a copy of the bytes; empty for no data.
qz::vok::binblock make_unit(const void* data, size_t length);

class send_queue {
public:
    static constexpr size_t kCapacity = 10000;

    // Drops the oldest unit once 9999 are held; an empty unit is not kept
    // but still makes room.
    void push(const qz::vok::binblock& unit);
    // False when empty.
    bool pop(qz::vok::binblock& unit);
    size_t size() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::deque<qz::vok::binblock> units_;
};

} // namespace qz::net
