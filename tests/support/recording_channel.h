#pragma once
#include "comm/net_channel.h"
#include "comm/rx_ring_buffer.h"
#include "platform/clock.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A channel for tests that stands where the TCP channel will: SendBlock
// stamps each unit with the process clock (scaled in tests), records it and writes it to a
// loopback server (the processor simulator); a reader thread cuts what comes
// back into lines with the receive buffer and hands each to the reply
// dispatcher, as the real clients do. With line handlers set it routes them
// itself instead: the acknowledgement group to one handler, lines that no
// reply row takes to the other, the parsed replies to nobody.
class CRecordingChannel : public CNetChannel {
public:
    using LineHandler = std::function<void(const std::string& line)>;

    struct Unit {
        std::string bytes;
        platform::TimePoint at;
    };

    CRecordingChannel(CNetManager* owner, std::string name);
    ~CRecordingChannel() override;

    // Set before Open, in place of the dispatcher; called on the reader
    // thread.
    void SetLineHandlers(LineHandler acknowledged, LineHandler unmatched);
    // Room for this many units, so recording allocates nothing per unit
    // beyond the unit's own bytes.
    void ReserveUnits(size_t count);

    bool IsConnected() const override;
    bool CheckConnected() const override { return IsConnected(); }
    // Connects to "server_addr" (127.0.0.1 only) and "server_port".
    void Open() override;
    void Close() override;
    bool SendBlock(int tag, qz::vok::binblock& unit) override;

    std::vector<Unit> Units() const;
    std::vector<std::string> Texts() const;

private:
    void ReadLoop();

    mutable std::mutex lock_;
    int socket_ = -1;
    bool opened_ = false;
    bool connected_ = false;
    std::vector<Unit> units_;
    LineHandler acknowledged_;
    LineHandler unmatched_;
    // Made with the channel, so the reader starts at once; used only by it.
    std::unique_ptr<RxRingBuffer> buffer_ = std::make_unique<RxRingBuffer>();
    std::thread reader_;
};
