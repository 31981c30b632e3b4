#include "comm/paced_writer.h"

#include <thread>

namespace qz::net {

namespace asio = boost::asio;
using Steady = std::chrono::steady_clock;

namespace {
// A timer wakes late by the system's latency: it wakes this much before the
// deadline and yields through the rest, so the gap is the pause and no more.
constexpr auto kEarlyWake = std::chrono::microseconds(300);
} // namespace

paced_writer::paced_writer(asio::io_context& io) : strand_(asio::make_strand(io)), timer_(io) {}

paced_writer::~paced_writer() = default;

bool paced_writer::send(qz::vok::binblock& unit)
{
    if (!link_up())
        return false;
    send_numbered(unit);
    return true;
}

uint64_t paced_writer::send_numbered(qz::vok::binblock& unit)
{
    return link_up() ? push(unit) : 0;
}

bool paced_writer::send(const void* data, size_t length)
{
    auto unit = make_unit(data, length);
    return send(unit);
}

uint64_t paced_writer::push(const qz::vok::binblock& unit)
{
    const uint64_t number = queue_.push(unit);
    asio::post(strand_, [self = keep_alive(), this] { Schedule(); });
    return number;
}

void paced_writer::start_writing()
{
    open_ = true;
    queue_.reopen();
    // What was queued before a drop leaves now, not with the next unit.
    Schedule();
}

void paced_writer::stop_writing()
{
    open_ = false;
    writing_ = false;
    timerPending_ = false;
    ++run_;
    ++timerArm_;
    timer_.cancel();
    queue_.release_waiters();
}

void paced_writer::Schedule()
{
    if (!open_ || writing_ || timerPending_ || queue_.size() == 0)
        return;
    const Steady::time_point deadline = handedAt_ + platform::GetClock().RealDuration(kWritePause);
    const Steady::time_point now = Steady::now();
    if (now >= deadline) {
        WriteNext();
        return;
    }
    const uint64_t arm = ++timerArm_;
    timerPending_ = true;
    timer_.expires_at(deadline - kEarlyWake > now ? deadline - kEarlyWake : now);
    timer_.async_wait(Wrap([self = keep_alive(), this, arm, deadline](const boost::system::error_code& error) {
        if (arm != timerArm_)
            return;
        timerPending_ = false;
        if (!error)
            OnPauseEnd(deadline);
    }));
}

void paced_writer::OnPauseEnd(Steady::time_point deadline)
{
    while (Steady::now() < deadline)
        std::this_thread::yield();
    WriteNext();
}

void paced_writer::WriteNext()
{
    if (!open_ || writing_)
        return;
    qz::vok::binblock unit;
    uint64_t number = 0;
    if (!queue_.pop(unit, number))
        return;
    writing_ = true;
    handedAt_ = Steady::now();
    // The captured unit keeps its bytes alive until the write is done.
    write_unit(unit, [self = keep_alive(), this, unit, number, run = run_](const boost::system::error_code& error) {
        if (run != run_) {
            queue_.lost(number);
            return;
        }
        writing_ = false;
        if (error) {
            queue_.lost(number);
            on_write_failed(error);
        } else {
            // A sender's own pause runs from the end of the write, so a
            // write that runs late does not shorten its gap on the wire.
            queue_.written(number, platform::Now());
        }
        Schedule();
    });
    on_sent(unit);
}

} // namespace qz::net
