#include "comm/tcp_client.h"

#include "comm/comm_log.h"
#include "platform/clock.h"

namespace qz::net {

namespace asio = boost::asio;

namespace {

std::chrono::steady_clock::duration Real(std::chrono::steady_clock::duration d)
{
    return platform::GetClock().RealDuration(d);
}

// Literal addresses need no lookup; names get an address-configured one.
asio::ip::resolver_base::flags LookupFlags(const std::string& host)
{
    boost::system::error_code error;
    asio::ip::make_address(host, error);
    return error ? asio::ip::resolver_base::address_configured : asio::ip::resolver_base::numeric_host;
}

} // namespace

tcp_client::tcp_client(asio::io_context& io, std::string host, std::string port)
    : paced_writer(io), socket_(io), connectTimer_(io), resolver_(io), host_(std::move(host)), port_(std::move(port))
{
}

tcp_client::~tcp_client() = default;

void tcp_client::connect()
{
    int expected = kClosed;
    if (!state_.compare_exchange_strong(expected, kResolving))
        return;
    asio::post(strand_, [self = Self()] {
        if (self->state_ == kResolving)
            self->StartConnect();
    });
}

void tcp_client::close()
{
    if (state_ != kClosed)
        Shutdown();
}

void tcp_client::reconnect()
{
    asio::post(strand_, [self = Self()] {
        const int state = self->state_;
        if (state == kClosed || state == kWaiting)
            return;
        if (state == kResolving)
            self->resolver_.cancel();
        self->HandleError(boost::system::error_code(), false);
    });
}

void tcp_client::StartConnect()
{
    state_ = kResolving;
    resolver_.async_resolve(
        host_, port_, LookupFlags(host_),
        Wrap([self = Self()](const boost::system::error_code& error, tcp::resolver::results_type results) {
            self->OnResolved(error, std::move(results));
        }));
    ArmConnectTimer(kConnectTimeout);
}

void tcp_client::OnResolved(const boost::system::error_code& error, tcp::resolver::results_type results)
{
    if (state_ != kResolving)
        return;
    if (error || results.empty()) {
        HandleError(error, true);
        return;
    }
    endpoints_ = std::move(results);
    StartAttempt(endpoints_.begin());
}

void tcp_client::StartAttempt(tcp::resolver::results_type::const_iterator endpoint)
{
    if (state_ != kResolving && state_ != kConnecting)
        return;
    socket_.async_connect(endpoint->endpoint(), Wrap([self = Self(), endpoint](const boost::system::error_code& error) {
                              self->OnConnectDone(error, endpoint);
                          }));
    ArmConnectTimer(kConnectTimeout);
    state_ = kConnecting;
}

void tcp_client::OnConnectDone(const boost::system::error_code& error,
                               tcp::resolver::results_type::const_iterator endpoint)
{
    if (state_ != kConnecting)
        return;
    if (!error) {
        // Paced units must not wait for a delayed acknowledgement.
        boost::system::error_code ignored;
        socket_.set_option(tcp::no_delay(true), ignored);
        state_ = kConnected;
        StartRead();
        on_connected();
        start_writing();
        return;
    }
    auto next = std::next(endpoint);
    if (next == endpoints_.end()) {
        HandleError(error, true);
        return;
    }
    CloseSocket();
    StartAttempt(next);
}

void tcp_client::StartRead()
{
    if (state_ != kConnected)
        return;
    socket_.async_read_some(asio::buffer(buffer_), Wrap([self = Self()](const boost::system::error_code& error,
                                                                        size_t count) { self->OnRead(error, count); }));
    // No read time-out while connected: the connect time-out ends here.
    CancelConnectTimer();
}

void tcp_client::OnRead(const boost::system::error_code& error, size_t count)
{
    if (state_ != kConnected)
        return;
    if (error) {
        HandleError(error, true);
        return;
    }
    if (count == 0)
        LogCommEvent("No message or bytes_transferred is 0");
    else
        on_received(buffer_.data(), count);
    StartRead();
}

void tcp_client::ArmConnectTimer(std::chrono::steady_clock::duration d)
{
    const uint64_t arm = ++connectTimerArm_;
    connectTimer_.expires_after(Real(d));
    connectTimer_.async_wait(Wrap([self = Self(), arm](const boost::system::error_code& error) {
        if (!error && arm == self->connectTimerArm_)
            self->OnConnectTimer();
    }));
}

void tcp_client::CancelConnectTimer()
{
    ++connectTimerArm_;
    connectTimer_.cancel();
}

void tcp_client::OnConnectTimer()
{
    switch (state_.load()) {
    case kWaiting: StartConnect(); break;
    case kResolving:
        // The resolve handler gets the error and schedules the retry.
        resolver_.cancel();
        break;
    case kConnecting:
    case kConnected:
        // The pending connect or read fails next and goes on from there.
        CloseSocket();
        on_closed();
        break;
    default: break;
    }
}

void tcp_client::write_unit(const qz::vok::binblock& unit, write_done done)
{
    asio::async_write(socket_, asio::buffer(unit.data(), unit.length()),
                      Wrap([done = std::move(done)](const boost::system::error_code& error, size_t) { done(error); }));
}

void tcp_client::on_write_failed(const boost::system::error_code& error)
{
    if (state_ == kConnected)
        HandleError(error, true);
}

void tcp_client::CloseSocket()
{
    if (!socket_.is_open())
        return;
    boost::system::error_code error;
    socket_.close(error);
    if (error)
        LogCommError("Tcp close " + host_ + ":" + port_ + ": " + error.message());
}

void tcp_client::HandleError(const boost::system::error_code& error, bool notify)
{
    CloseSocket();
    state_ = kWaiting;
    // What is still queued leaves only after a reconnect: nobody waits for it.
    stop_writing();
    try {
        ArmConnectTimer(kReconnectDelay);
    } catch (const std::exception& e) {
        // Without a timer nothing would ever retry: say so.
        LogCommError("Tcp reconnect timer " + host_ + ":" + port_ + ": " + e.what());
    }
    if (notify)
        on_error(error);
}

void tcp_client::Shutdown()
{
    state_ = kClosed;
    resolver_.cancel();
    boost::system::error_code ignored;
    if (socket_.is_open())
        socket_.shutdown(tcp::socket::shutdown_both, ignored);
    platform::SleepFor(kShutdownWait);
    socket_.close(ignored);
    ++connectTimerArm_;
    connectTimer_.cancel();
    stop_writing();
    on_closed();
}

} // namespace qz::net
