#pragma once
#include "comm/io_channel.h"
#include "comm/tcp_client.h"

#include <atomic>
#include <memory>
#include <mutex>

class CTcpClientChannel;

// The program's TCP client: logs the traffic, keeps the time data last
// arrived, hands received bytes to the channel and posts the link's states.
class CTcpClient : public qz::net::tcp_client {
public:
    CTcpClient(boost::asio::io_context& io, std::string host, std::string port, CTcpClientChannel* channel);

    // Also restarts the idle clock and posts "connecting", in every state.
    void connect() override;

    platform::TimePoint LastActivity() const;

protected:
    void on_connected() override;
    void on_sent(qz::vok::binblock& unit) override;
    void on_received(const void* data, size_t length) override;
    void on_closed() override;

private:
    void Touch();

    CTcpClientChannel* channel_;
    std::atomic<platform::Duration::rep> lastActivity_{0};
};

// A processor's TCP link, to "server_addr":"server_port".
class CTcpClientChannel : public CIoChannel {
public:
    CTcpClientChannel(CNetManager* owner, std::string name);
    ~CTcpClientChannel() override;

    // True only while connected: a link still connecting cannot take a
    // command yet.
    bool IsConnected() const override;
    bool CheckConnected() const override { return IsConnected(); }
    void Open() override;
    // Shuts the link down on its I/O thread (at least 100 ms) and joins it.
    void Close() override;
    bool SendBlock(int tag, qz::vok::binblock& unit) override;

    std::shared_ptr<CTcpClient> Client() const;

protected:
    std::optional<platform::TimePoint> LastActivity() const override;
    void CloseClient() override;

private:
    mutable std::mutex clientLock_;
    std::shared_ptr<CTcpClient> client_;
};
