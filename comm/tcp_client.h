#pragma once
#include "comm/paced_writer.h"
#include "corlane/binblock.h"
#include "platform/asio.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qz::net {

// An asynchronous TCP client with a connect time-out, reconnection after a
// fixed delay and the links' paced writer. Every handler runs in the
// writer's strand on the owner's I/O thread and holds the client alive;
// `close` must run there too, or while no I/O thread runs.
class tcp_client : public paced_writer, public std::enable_shared_from_this<tcp_client> {
public:
    enum State : int { kClosed = 0, kResolving = 1, kConnecting = 2, kConnected = 3, kWaiting = 4 };

    static constexpr std::chrono::seconds kConnectTimeout{10};
    static constexpr std::chrono::seconds kReconnectDelay{2};
    // Lets the peer see the shut-down before the socket goes.
    static constexpr std::chrono::milliseconds kShutdownWait{100};
    static constexpr size_t kReceiveBufferSize = 16384;

    tcp_client(boost::asio::io_context& io, std::string host, std::string port);
    virtual ~tcp_client();

    tcp_client(const tcp_client&) = delete;
    tcp_client& operator=(const tcp_client&) = delete;

    // Starts connecting when closed; otherwise does nothing.
    virtual void connect();
    // Shuts the link down for good (until the next connect) and calls
    // on_closed; nothing when already closed.
    virtual void close();
    // Drops the link and tries again after the reconnect delay.
    virtual void reconnect();

    int state() const { return state_.load(); }

protected:
    virtual void on_connected() {}
    virtual void on_error(const boost::system::error_code&) {}
    virtual void on_received(const void*, size_t) {}
    virtual void on_closed() {}

    void write_unit(const qz::vok::binblock& unit, write_done done) override;
    void on_write_failed(const boost::system::error_code& error) override;
    std::shared_ptr<void> keep_alive() override { return shared_from_this(); }
    bool link_up() const override { return state_ == kConnected; }

private:
    using tcp = boost::asio::ip::tcp;

    std::shared_ptr<tcp_client> Self() { return shared_from_this(); }

    void StartConnect();
    void OnResolved(const boost::system::error_code& error, tcp::resolver::results_type results);
    void StartAttempt(tcp::resolver::results_type::const_iterator endpoint);
    void OnConnectDone(const boost::system::error_code& error, tcp::resolver::results_type::const_iterator endpoint);
    void StartRead();
    void OnRead(const boost::system::error_code& error, size_t count);
    void ArmConnectTimer(std::chrono::steady_clock::duration d);
    void CancelConnectTimer();
    void OnConnectTimer();
    void HandleError(const boost::system::error_code& error, bool notify);
    void CloseSocket();
    void Shutdown();

    std::atomic<int> state_{kClosed};
    tcp::socket socket_;
    boost::asio::steady_timer connectTimer_;
    tcp::resolver resolver_;
    const std::string host_;
    const std::string port_;
    std::array<char, kReceiveBufferSize> buffer_{};

    // A re-armed timer may already have queued its old expiry: each arming
    // gets a number and a handler with an older one does nothing.
    uint64_t connectTimerArm_ = 0;
    tcp::resolver::results_type endpoints_;
};

} // namespace qz::net
