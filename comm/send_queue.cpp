#include "comm/send_queue.h"

namespace qz::net {

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
