#pragma once
#include "comm/paced_writer.h"
#include "corlane/binblock.h"
#include "platform/asio.h"

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace qz::net {

// An asynchronous client on a serial port with the links' paced writer.
// Unlike the TCP client it never reopens: a read error closes it for good.
// Its handlers run in the writer's strand on the owner's I/O thread, and so
// must `close` (or with no I/O thread running).
class serial_port_client : public paced_writer, public std::enable_shared_from_this<serial_port_client> {
public:
    enum State : int { kClosed = 0, kOpening = 1, kOpen = 2 };

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

    int state() const { return state_.load(); }

protected:
    virtual void on_connected() {}
    virtual void on_received(const void*, size_t) {}
    virtual void on_closed() {}

    void write_unit(const qz::vok::binblock& unit, write_done done) override;
    void on_write_failed(const boost::system::error_code& error) override;
    std::shared_ptr<void> keep_alive() override { return shared_from_this(); }
    bool link_up() const override { return state_ == kOpen; }

private:
    void OnOpened();
    void StartRead();
    void OnRead(const boost::system::error_code& error, size_t count);

    std::atomic<int> state_{kClosed};
    boost::asio::serial_port port_;
    std::array<char, kReceiveBufferSize> buffer_{};
    const unsigned baud_;
    const std::string device_;
};

} // namespace qz::net
