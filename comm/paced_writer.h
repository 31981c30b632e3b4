#pragma once
#include "comm/send_queue.h"
#include "corlane/binblock.h"
#include "platform/asio.h"
#include "platform/clock.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace qz::net {

// The send side both links share: the queue of units and the one writer
// that hands them to the socket or port, one at a time, each at least the
// pause after the one before was handed over. The pause runs from that
// hand-over, not from the end of the write nor from the queuing: a unit
// queued while a pause runs (a status poll in the middle of a layout) does
// not start it again, and after a quiet spell the next unit leaves at once.
// The writer's handlers run in its strand, which the client shares.
class paced_writer {
public:
    static constexpr std::chrono::milliseconds kWritePause{10};

    explicit paced_writer(boost::asio::io_context& io);
    virtual ~paced_writer();

    paced_writer(const paced_writer&) = delete;
    paced_writer& operator=(const paced_writer&) = delete;

    // Not on the I/O thread: that thread does the writing.
    std::optional<platform::TimePoint> wait_written(uint64_t number, platform::Duration limit)
    {
        return queue_.wait_written(number, limit);
    }
    // Not on the I/O thread: waits at most `limit` until everything queued
    // has been written, or the link went down. True when nothing is left.
    bool drain(platform::Duration limit) { return queue_.wait_drained(limit); }
    send_queue& queue() { return queue_; }

    // Queued only while the link is up; false (unit not kept) otherwise.
    virtual bool send(qz::vok::binblock& unit);
    virtual bool send(const void* data, size_t length);
    // Queues like send and gives the unit's number for wait_written; 0 when
    // nothing was queued.
    uint64_t send_numbered(qz::vok::binblock& unit);

protected:
    // Whether the link is up, so that what is sent can be written.
    virtual bool link_up() const = 0;
    using write_done = std::function<void(const boost::system::error_code&)>;

    // Queues the unit for writing and gives its number, 0 when not kept.
    uint64_t push(const qz::vok::binblock& unit);
    // In the strand: the link came up, so what is queued goes; the link
    // went down, so writing stops and waits in progress end.
    void start_writing();
    void stop_writing();

    // Starts writing the whole unit; `done` runs in the strand afterwards.
    virtual void write_unit(const qz::vok::binblock& unit, write_done done) = 0;
    // After the unit was counted lost; writing goes on unless stopped.
    virtual void on_write_failed(const boost::system::error_code& error) = 0;
    // The unit was handed to the socket or port, at `handed_at()`.
    virtual void on_sent(qz::vok::binblock&) {}
    std::chrono::steady_clock::time_point handed_at() const { return handedAt_; }
    // What keeps the client alive while a handler of the writer is pending.
    virtual std::shared_ptr<void> keep_alive() = 0;

    template <class Handler>
    auto Wrap(Handler handler)
    {
        return boost::asio::bind_executor(strand_, std::move(handler));
    }

    boost::asio::strand<boost::asio::io_context::executor_type> strand_;

private:
    void Schedule();
    void OnPauseEnd(std::chrono::steady_clock::time_point deadline);
    void WriteNext();

    boost::asio::steady_timer timer_;
    send_queue queue_;
    bool open_ = false;
    // One write in flight at a time; the next waits for it.
    bool writing_ = false;
    bool timerPending_ = false;
    // Each arming of the timer and each run of the link gets a number: a
    // handler of an older one does nothing.
    uint64_t timerArm_ = 0;
    uint64_t run_ = 0;
    // When the last unit was handed over; the next leaves a pause after it.
    std::chrono::steady_clock::time_point handedAt_{};
};

} // namespace qz::net
