#include "comm/serial_channel.h"

#include "app/event_queue.h"
#include "comm/comm_log.h"
#include "corlane/app_path.h"

#include <cstdio>

namespace {

const char kDefaultDevice[] = "COM1";
const char kDefaultRate[] = "115200";

} // namespace

CSerialClient::CSerialClient(boost::asio::io_context& io, const std::string& device, unsigned baud,
                             CSerialClientChannel* channel)
    : serial_port_client(io, device, baud), channel_(channel)
{
}

void CSerialClient::Touch()
{
    lastActivity_ = platform::Now().time_since_epoch().count();
}

platform::TimePoint CSerialClient::LastActivity() const
{
    return platform::TimePoint(platform::Duration(lastActivity_.load()));
}

void CSerialClient::open()
{
    Touch();
    serial_port_client::open();
    PostEvent(new CNetConnectEvent(channel_->GetId(), CNetConnectEvent::kConnecting));
}

void CSerialClient::on_connected()
{
    PostEvent(new CNetConnectEvent(channel_->GetId(), CNetConnectEvent::kConnected));
}

void CSerialClient::on_sent(qz::vok::binblock& unit)
{
    if (auto log = GetCommLog()) {
        const std::string text(reinterpret_cast<const char*>(unit.data()), unit.length());
        log->event("Serial Send :\n%s", text.c_str());
    }
}

void CSerialClient::Capture(const void* data, size_t length)
{
    const std::string path = qz::vok::path::GetLogPath() + "/SerialPort.txt";
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) {
        if (!captureFailed_)
            LogCommError("Serial capture: cannot open " + path);
        captureFailed_ = true;
        return;
    }
    std::fwrite(data, 1, length, file);
    std::fclose(file);
}

void CSerialClient::on_received(const void* data, size_t length)
{
    if (auto log = GetCommLog()) {
        const std::string text(static_cast<const char*>(data), length);
        log->event("Serial Receive :\n%s", text.c_str());
    }
    if (length == 0)
        return;
    Capture(data, length);
    Touch();
    channel_->DeliverReceived(static_cast<const char*>(data), length);
}

void CSerialClient::on_closed()
{
    channel_->DeliverClosed();
    PostEvent(new CNetConnectEvent(channel_->GetId(), CNetConnectEvent::kClosed));
}

CSerialClientChannel::CSerialClientChannel(CNetManager* owner, std::string name) : CIoChannel(owner, std::move(name)) {}

CSerialClientChannel::~CSerialClientChannel()
{
    Close();
    StopIoThread();
}

std::shared_ptr<CSerialClient> CSerialClientChannel::Client() const
{
    std::lock_guard guard(clientLock_);
    return client_;
}

bool CSerialClientChannel::IsConnected() const
{
    auto client = Client();
    return client && client->state() == qz::net::serial_port_client::kOpen;
}

void CSerialClientChannel::Open()
{
    try {
        auto client = Client();
        if (!client) {
            const std::string device = GetSetting("device", kDefaultDevice);
            const unsigned long rate = std::stoul(GetSetting("rate", kDefaultRate));
            client = std::make_shared<CSerialClient>(Io(), device, static_cast<unsigned>(rate), this);
            std::lock_guard guard(clientLock_);
            client_ = client;
        }
        client->open();
        ArmWatchdog();
        RunIoServiceThread();
    } catch (const std::exception& e) {
        LogCommError("Serial channel " + GetName() + " open failed: " + e.what());
    }
}

void CSerialClientChannel::Close()
{
    auto client = Client();
    if (!client)
        return;
    RunOnIoThread([client] { client->close(); });
    StopIoThread();
}

bool CSerialClientChannel::SendBlock(int, qz::vok::binblock& unit)
{
    auto client = Client();
    return client && client->send(unit);
}

std::optional<platform::TimePoint> CSerialClientChannel::LastActivity() const
{
    auto client = Client();
    if (!client)
        return std::nullopt;
    return client->LastActivity();
}

void CSerialClientChannel::CloseClient()
{
    if (auto client = Client())
        client->close();
}
