#include "comm/tcp_channel.h"

namespace {

const char kDefaultAddress[] = "192.168.0.100";
const char kDefaultPort[] = "8978";

} // namespace

CTcpClient::CTcpClient(boost::asio::io_context& io, std::string host, std::string port, CIoChannel* channel)
    : CLinkClient(channel, "Tcp Send :\n%s", io, std::move(host), std::move(port))
{
}

void CTcpClient::connect()
{
    CLinkClient::Start([this] { tcp_client::connect(); });
}

void CTcpClient::LogReceived(qz::vok::logfile& log, const std::string& text)
{
    log.event("Tcp Receive %d:\n%s", static_cast<int>(text.size()), text.c_str());
}

void CTcpClient::on_connected()
{
    up_ = true;
    CLinkClient::on_connected();
}

void CTcpClient::on_error(const boost::system::error_code&)
{
    if (up_.exchange(false))
        Post(CNetConnectEvent::kConnecting);
}

CTcpClientChannel::CTcpClientChannel(CNetManager* owner, std::string name) : CClientChannel(owner, std::move(name)) {}

void CTcpClientChannel::Open()
{
    OpenClient(
        [this] {
            return std::make_shared<CTcpClient>(Io(), GetSetting("server_addr", kDefaultAddress),
                                                GetSetting("server_port", kDefaultPort), this);
        },
        "Tcp channel");
}
