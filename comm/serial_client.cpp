#include "comm/serial_client.h"

#include "comm/comm_log.h"
#include "comm/sport_operator.h"
#include "platform/clock.h"

namespace qz::net {

namespace asio = boost::asio;

namespace {

template <class Option>
void SetOption(asio::serial_port& port, const Option& option)
{
    boost::system::error_code error;
    port.set_option(option, error);
    if (error)
        throw boost::system::system_error(error, "set_option");
}

} // namespace

serial_port_client::serial_port_client(asio::io_context& io, const std::string& device, unsigned baud)
    : paced_writer(io), port_(io), baud_(baud), device_(device)
{
    const std::string path = CSPortOperator::OpenPortNumber(device);
    boost::system::error_code error = asio::error::not_found;
    if (!path.empty())
        port_.open(path, error);
    if (error)
        throw boost::system::system_error(error, "open");
}

serial_port_client::~serial_port_client() = default;

void serial_port_client::open()
{
    int expected = kClosed;
    if (!state_.compare_exchange_strong(expected, kOpening))
        return;
    SetOption(port_, asio::serial_port::baud_rate(baud_));
    SetOption(port_, asio::serial_port::flow_control(asio::serial_port::flow_control::none));
    SetOption(port_, asio::serial_port::parity(asio::serial_port::parity::none));
    SetOption(port_, asio::serial_port::stop_bits(asio::serial_port::stop_bits::one));
    SetOption(port_, asio::serial_port::character_size(8));
    asio::post(strand_, [self = shared_from_this()] { self->OnOpened(); });
}

void serial_port_client::OnOpened()
{
    if (state_ != kOpening || !port_.is_open())
        return;
    state_ = kOpen;
    StartRead();
    on_connected();
    start_writing();
}

void serial_port_client::close()
{
    if (state_.exchange(kClosed) == kClosed)
        return;
    boost::system::error_code error;
    port_.close(error);
    if (error)
        LogCommError("Serial close " + device_ + ": " + error.message());
    stop_writing();
    on_closed();
}

void serial_port_client::StartRead()
{
    if (state_ != kOpen)
        return;
    port_.async_read_some(asio::buffer(buffer_),
                          Wrap([self = shared_from_this()](const boost::system::error_code& error, size_t count) {
                              self->OnRead(error, count);
                          }));
}

void serial_port_client::OnRead(const boost::system::error_code& error, size_t count)
{
    if (state_ != kOpen)
        return;
    if (error) {
        close();
        return;
    }
    if (count == 0)
        LogCommEvent("No message or bytes_transferred is 0");
    else
        on_received(buffer_.data(), count);
    StartRead();
}

void serial_port_client::write_unit(const qz::vok::binblock& unit, write_done done)
{
    // The whole unit, not what one call happens to take.
    asio::async_write(port_, asio::buffer(unit.data(), unit.length()),
                      Wrap([done = std::move(done)](const boost::system::error_code& error, size_t) { done(error); }));
}

void serial_port_client::on_write_failed(const boost::system::error_code& error)
{
    if (state_ == kOpen)
        LogCommError("Serial write " + device_ + ": " + error.message());
}

} // namespace qz::net
