#include "comm/send_queue.h"

namespace qz::net {

qz::vok::binblock make_unit(const void* data, size_t length)
{
    if (!data || length == 0)
        return {};
    return qz::vok::binblock(data, static_cast<uint32_t>(length));
}

uint64_t send_queue::push(const qz::vok::binblock& unit)
{
    uint64_t number = 0;
    bool dropped = false;
    {
        std::lock_guard guard(mutex_);
        if (units_.size() + 1 >= kCapacity) {
            units_.pop_front();
            dropped = true;
        }
        if (!unit.empty()) {
            number = ++pushed_;
            units_.push_back({number, unit});
        }
    }
    // A dropped unit's waiter learns it at once.
    if (dropped)
        settled_.notify_all();
    return number;
}

bool send_queue::pop(qz::vok::binblock& unit, uint64_t& number)
{
    std::lock_guard guard(mutex_);
    if (units_.empty())
        return false;
    unit = std::move(units_.front().unit);
    number = units_.front().number;
    inFlight_ = number;
    units_.pop_front();
    return true;
}

bool send_queue::pop(qz::vok::binblock& unit)
{
    uint64_t number = 0;
    return pop(unit, number);
}

void send_queue::written(uint64_t number, platform::TimePoint at)
{
    {
        std::lock_guard guard(mutex_);
        lastWritten_ = number;
        lastWrittenAt_ = at;
        SettleLocked(number);
    }
    settled_.notify_all();
}

void send_queue::lost(uint64_t number)
{
    {
        std::lock_guard guard(mutex_);
        SettleLocked(number);
    }
    settled_.notify_all();
}

void send_queue::release_waiters()
{
    {
        std::lock_guard guard(mutex_);
        ++releases_;
        open_ = false;
    }
    settled_.notify_all();
}

void send_queue::reopen()
{
    std::lock_guard guard(mutex_);
    open_ = true;
}

bool send_queue::wait_drained(platform::Duration limit)
{
    std::unique_lock guard(mutex_);
    const auto empty = [this] { return units_.empty() && inFlight_ == 0; };
    platform::WaitFor(settled_, guard, limit, [&] { return !open_ || empty(); });
    return empty();
}

std::optional<platform::TimePoint> send_queue::wait_written(uint64_t number, platform::Duration limit)
{
    std::unique_lock guard(mutex_);
    const uint64_t releases = releases_;
    const bool settled =
        platform::WaitFor(settled_, guard, limit, [&] { return releases_ != releases || !PendingLocked(number); });
    if (!settled || PendingLocked(number) || lastWritten_ < number)
        return std::nullopt;
    // Units leave in order: a later unit written means this one went first.
    return lastWrittenAt_;
}

size_t send_queue::size() const
{
    std::lock_guard guard(mutex_);
    return units_.size();
}

void send_queue::clear()
{
    {
        std::lock_guard guard(mutex_);
        units_.clear();
    }
    settled_.notify_all();
}

bool send_queue::PendingLocked(uint64_t number) const
{
    return number != 0 && (number == inFlight_ || (!units_.empty() && units_.front().number <= number));
}

void send_queue::SettleLocked(uint64_t number)
{
    if (inFlight_ == number)
        inFlight_ = 0;
}

} // namespace qz::net
