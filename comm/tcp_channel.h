#pragma once
#include "comm/link_client.h"
#include "comm/tcp_client.h"

#include <atomic>
#include <memory>
#include <string>

// The program's TCP client: logs the traffic, keeps the time data last
// arrived, hands received bytes to the channel and posts the link's states.
class CTcpClient : public CLinkClient<qz::net::tcp_client> {
public:
    CTcpClient(boost::asio::io_context& io, std::string host, std::string port, CIoChannel* channel);

    // Also restarts the idle clock and posts "connecting", in every state.
    void connect() override;
    void Start() { connect(); }
    bool IsUp() const { return state() == kConnected; }

protected:
    void LogReceived(qz::vok::logfile& log, const std::string& text) override;
    void on_connected() override;
    // A link that was up and broke waits to try again: "connecting", so it
    // is not shown as up meanwhile. Failed attempts post nothing more.
    void on_error(const boost::system::error_code& error) override;

private:
    std::atomic<bool> up_{false};
};

// A processor's TCP link, to "server_addr":"server_port".
class CTcpClientChannel : public CClientChannel<CTcpClient> {
public:
    CTcpClientChannel(CNetManager* owner, std::string name);

    void Open() override;
};
