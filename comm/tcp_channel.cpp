#include "comm/tcp_channel.h"

#include "app/event_queue.h"
#include "comm/comm_log.h"

#include <cstdio>

namespace {

const char kDefaultAddress[] = "192.168.0.100";
const char kDefaultPort[] = "8978";

} // namespace

CTcpClient::CTcpClient(boost::asio::io_context& io, std::string host, std::string port, CTcpClientChannel* channel)
    : tcp_client(io, std::move(host), std::move(port)), channel_(channel)
{
}

void CTcpClient::Touch()
{
    lastActivity_ = platform::Now().time_since_epoch().count();
}

platform::TimePoint CTcpClient::LastActivity() const
{
    return platform::TimePoint(platform::Duration(lastActivity_.load()));
}

void CTcpClient::connect()
{
    Touch();
    tcp_client::connect();
    PostEvent(new CNetConnectEvent(channel_->GetId(), CNetConnectEvent::kConnecting));
}

void CTcpClient::on_connected()
{
    PostEvent(new CNetConnectEvent(channel_->GetId(), CNetConnectEvent::kConnected));
}

void CTcpClient::on_sent(qz::vok::binblock& unit)
{
    if (auto log = GetCommLog()) {
        const std::string text(reinterpret_cast<const char*>(unit.data()), unit.length());
        log->event("Tcp Send :\n%s", text.c_str());
    }
}

void CTcpClient::on_received(const void* data, size_t length)
{
    if (auto log = GetCommLog()) {
        const std::string text(static_cast<const char*>(data), length);
        log->event("Tcp Receive %d:\n%s", static_cast<int>(length), text.c_str());
    }
    if (length == 0)
        return;
    Touch();
    channel_->DeliverReceived(static_cast<const char*>(data), length);
}

void CTcpClient::on_closed()
{
    channel_->DeliverClosed();
    PostEvent(new CNetConnectEvent(channel_->GetId(), CNetConnectEvent::kClosed));
}

CTcpClientChannel::CTcpClientChannel(CNetManager* owner, std::string name) : CIoChannel(owner, std::move(name)) {}

CTcpClientChannel::~CTcpClientChannel()
{
    Close();
    StopIoThread();
}

std::shared_ptr<CTcpClient> CTcpClientChannel::Client() const
{
    std::lock_guard guard(clientLock_);
    return client_;
}

bool CTcpClientChannel::IsConnected() const
{
    auto client = Client();
    return client && client->state() == qz::net::tcp_client::kConnected;
}

void CTcpClientChannel::Open()
{
    try {
        auto client = Client();
        if (!client) {
            client = std::make_shared<CTcpClient>(Io(), GetSetting("server_addr", kDefaultAddress),
                                                  GetSetting("server_port", kDefaultPort), this);
            std::lock_guard guard(clientLock_);
            client_ = client;
        }
        client->connect();
        ArmWatchdog();
        RunIoServiceThread();
    } catch (const std::exception& e) {
        LogCommError("Tcp channel " + GetName() + " open failed: " + e.what());
    }
}

void CTcpClientChannel::Close()
{
    auto client = Client();
    if (!client)
        return;
    RunOnIoThread([client] { client->close(); });
    StopIoThread();
}

bool CTcpClientChannel::SendBlock(int, qz::vok::binblock& unit)
{
    auto client = Client();
    return client && client->send(unit);
}

std::optional<platform::TimePoint> CTcpClientChannel::LastActivity() const
{
    auto client = Client();
    if (!client)
        return std::nullopt;
    return client->LastActivity();
}

void CTcpClientChannel::CloseClient()
{
    if (auto client = Client())
        client->close();
}
