#pragma once
#include "comm/send_queue.h"
#include "corlane/binblock.h"
#include "platform/asio.h"

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace qz::net {

// An asynchronous client on a serial port with a paced send queue. Unlike
// the TCP client it never reopens: a read error closes it for good. Its
// handlers run in its strand on the owner's I/O thread, and so must `close`
// (or with no I/O thread running).
class serial_port_client : public std::enable_shared_from_this<serial_port_client> {
public:
    enum State : int { kClosed = 0, kOpening = 1, kOpen = 2 };

    static constexpr std::chrono::milliseconds kWritePause{10};
    static constexpr size_t kReceiveBufferSize = 16384;

    // Opens the device (a port name or path); throws system_error "open".
    serial_port_client(boost::asio::io_context& io, const std::string& device, unsigned baud);
    virtual ~serial_port_client();

    serial_port_client(const serial_port_client&) = delete;
    serial_port_client& operator=(const serial_port_client&) = delete;

    // Sets the line (8N1 at the baud rate, no flow control) and starts
    // reading; throws system_error "set_option" when the port refuses.
    void open();
    void close();
    // Queued only while open; false (unit not kept) otherwise.
    virtual bool send(qz::vok::binblock& unit);
    virtual bool send(const void* data, size_t length);
    // Queues like send and gives the unit's number for wait_written; 0 when
    // nothing was queued.
    uint64_t send_numbered(qz::vok::binblock& unit);
    // Not on the I/O thread: that thread does the writing.
    std::optional<platform::TimePoint> wait_written(uint64_t number, platform::Duration limit)
    {
        return queue_.wait_written(number, limit);
    }

    int state() const { return state_.load(); }

protected:
    virtual void on_connected() {}
    virtual void on_sent(qz::vok::binblock&) {}
    virtual void on_received(const void*, size_t) {}
    virtual void on_closed() {}

private:
    template <class Handler>
    auto Wrap(Handler handler)
    {
        return boost::asio::bind_executor(strand_, std::move(handler));
    }

    void OnOpened();
    void StartRead();
    void OnRead(const boost::system::error_code& error, size_t count);
    void ArmWritePause();
    void OnWritePause();

    std::atomic<int> state_{kClosed};
    boost::asio::strand<boost::asio::io_context::executor_type> strand_;
    boost::asio::serial_port port_;
    boost::asio::steady_timer pauseTimer_;
    std::array<char, kReceiveBufferSize> buffer_{};
    send_queue queue_;
    const unsigned baud_;
    const std::string device_;
};

} // namespace qz::net
