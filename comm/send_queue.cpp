#include "comm/send_queue.h"

namespace qz::net {

qz::vok::binblock make_unit(const void* data, size_t length)
{
    if (!data || length == 0)
        return {};
    return qz::vok::binblock(data, static_cast<uint32_t>(length));
}

void send_queue::push(const qz::vok::binblock& unit)
{
    std::lock_guard guard(mutex_);
    if (units_.size() + 1 >= kCapacity)
        units_.pop_front();
    if (!unit.empty())
        units_.push_back(unit);
}

bool send_queue::pop(qz::vok::binblock& unit)
{
    std::lock_guard guard(mutex_);
    if (units_.empty())
        return false;
    unit = units_.front();
    units_.pop_front();
    return true;
}

size_t send_queue::size() const
{
    std::lock_guard guard(mutex_);
    return units_.size();
}

void send_queue::clear()
{
    std::lock_guard guard(mutex_);
    units_.clear();
}

} // namespace qz::net
