#pragma once
#include "comm/link_client.h"
#include "comm/serial_client.h"

#include <memory>
#include <string>

// The program's serial client: logs the traffic, keeps a raw capture of
// what arrives (SerialCapture), hands the bytes to the channel and
// posts the link's states.
class CSerialClient : public CLinkClient<qz::net::serial_port_client> {
public:
    CSerialClient(boost::asio::io_context& io, const std::string& device, unsigned baud, CIoChannel* channel);

    // Restarts the idle clock, opens when closed and posts "connecting".
    void Start();
    bool IsUp() const { return state() == kOpen; }

protected:
    void LogReceived(qz::vok::logfile& log, const std::string& text) override;
    void Keep(const void* data, size_t length) override;

private:
    bool captureFailed_ = false; // logged once
};

// A processor's serial link on "device" at "rate".
class CSerialClientChannel : public CClientChannel<CSerialClient> {
public:
    CSerialClientChannel(CNetManager* owner, std::string name);

    void Open() override;
};
