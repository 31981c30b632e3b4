#pragma once
#include "comm/io_channel.h"
#include "comm/serial_client.h"

#include <atomic>
#include <memory>
#include <mutex>

class CSerialClientChannel;

// The program's serial client: logs the traffic, keeps a raw capture of
// what arrives in "SerialPort.txt", hands the bytes to the channel and
// posts the link's states.
class CSerialClient : public qz::net::serial_port_client {
public:
    CSerialClient(boost::asio::io_context& io, const std::string& device, unsigned baud, CSerialClientChannel* channel);

    // Restarts the idle clock, opens when closed and posts "connecting".
    virtual void open();

    platform::TimePoint LastActivity() const;

protected:
    void on_connected() override;
    void on_sent(qz::vok::binblock& unit) override;
    void on_received(const void* data, size_t length) override;
    void on_closed() override;

private:
    void Touch();
    void Capture(const void* data, size_t length);

    CSerialClientChannel* channel_;
    std::atomic<platform::Duration::rep> lastActivity_{0};
    bool captureFailed_ = false; // logged once
};

// A processor's serial link on "device" at "rate".
class CSerialClientChannel : public CIoChannel {
public:
    CSerialClientChannel(CNetManager* owner, std::string name);
    ~CSerialClientChannel() override;

    bool IsConnected() const override;
    bool CheckConnected() const override { return IsConnected(); }
    void Open() override;
    void Close() override;
    bool SendBlock(int tag, qz::vok::binblock& unit) override;

    std::shared_ptr<CSerialClient> Client() const;

protected:
    std::optional<platform::TimePoint> LastActivity() const override;
    void CloseClient() override;

private:
    mutable std::mutex clientLock_;
    std::shared_ptr<CSerialClient> client_;
};
