#pragma once
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/processor.h"
#include "platform/clock.h"

class CQelProDelaySender;
class CQelReplyWaiter;

// A processor's link to its device: making and dropping the channel, the
// paced sender, and the sends that wait for the device's echo or reply.
// Reads the connection fields and the channel id through its processor.
class ProcessorLink {
public:
    explicit ProcessorLink(CQelProcessor& owner);
    ~ProcessorLink();
    ProcessorLink(const ProcessorLink&) = delete;
    ProcessorLink& operator=(const ProcessorLink&) = delete;

    // The sender's thread calls back into the processor, so it starts once
    // the processor is whole.
    void StartSender();

    bool Connect();
    std::string ProbeSerialPort(const std::vector<std::string>& ports);
    bool IsConnected() const;
    bool Disconnect();

    bool QueueCommand(std::string_view text);
    bool QueueEchoedCommand(std::string_view text);
    uint32_t GetQueuedCommandCount() const;
    void RemoveEchoedCommands();
    void SetPushObserver(CQelProcessor::PushObserver observer);
    void SetSenderPause(unsigned ms);
    unsigned GetSenderPause() const;
    void StopSender();

    bool SendCommand(std::string_view text);
    bool SendAndWait(std::string_view text, std::string& reply);
    void SetReplyTimeout(platform::Duration timeout) { replyTimeout_ = timeout.count(); }
    bool SendNoWait(std::string_view text);
    bool ChannelSend(std::string_view text);
    std::optional<platform::TimePoint> ChannelSendWritten(std::string_view text);
    void OnReply(const std::string& line);
    void OnUnmatchedReply(const std::string& line);

private:
    CQelProcessor& owner_;
    std::unique_ptr<CQelReplyWaiter> replyWaiter_;
    // How long a command of the wait-for-reply kind waits for the device.
    static constexpr std::chrono::milliseconds kReplyTimeout{100};
    std::atomic<platform::Duration::rep> replyTimeout_{platform::Duration(kReplyTimeout).count()};
    // Last: its thread uses the members above and is stopped first.
    std::unique_ptr<CQelProDelaySender> sender_;
};
