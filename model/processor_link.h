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

    // Connect closes and forgets the old channel and registers and opens a
    // new one made from the connection fields; false when none could be
    // made (no serial port answered, unknown connection type).
    bool Connect();
    std::string ProbeSerialPort(const std::vector<std::string>& ports);
    // True while the processor's channel reports its link open.
    bool IsConnected() const;
    // Closes the channel, which stays registered; false without one.
    bool Disconnect();

    // Every command is ASCII text ending in "\r\n". Queued commands go
    // through the paced sender: false when the text exceeds 1024 bytes or
    // the queue is full (logged), true for an empty text, which is not
    // queued.
    bool QueueCommand(std::string_view text);
    bool QueueEchoedCommand(std::string_view text);
    uint32_t GetQueuedCommandCount() const;
    void RemoveEchoedCommands();
    // Tests: sees every command the queue accepts (see CQelProDelaySender).
    void SetPushObserver(CQelProcessor::PushObserver observer);
    // The pause after each paced command: 25 ms on TCP, 40 ms on serial.
    void SetSenderPause(unsigned ms);
    unsigned GetSenderPause() const;
    // Shut-down: ends the sender thread; still queued commands are dropped.
    void StopSender();

    // Sent at once; with g_NetType 1 true only when the device echoed the
    // command within the reply time-out (100 ms) of its leaving, else
    // always true.
    bool SendCommand(std::string_view text);
    // Sent at once; true with the first acknowledged reply to this command
    // (a line that starts with its two leading words) within the reply
    // time-out of its leaving. Echoes of earlier commands do not end the wait.
    bool SendAndWait(std::string_view text, std::string& reply);
    // Tests whose simulated device does answer lengthen the wait, so that a
    // busy machine cannot make an answer late.
    void SetReplyTimeout(platform::Duration timeout) { replyTimeout_ = timeout.count(); }
    bool SendNoWait(std::string_view text);
    // Straight onto the processor's channel; false without one.
    bool ChannelSend(std::string_view text);
    // The same, and waits until the link has written the text to its socket
    // or port; when it did, nothing when it was not sent or not written
    // within a second.
    std::optional<platform::TimePoint> ChannelSendWritten(std::string_view text);
    // The reply path hands over acknowledged replies (set-command echoes,
    // type and version replies) here, on the link's thread ...
    void OnReply(const std::string& line);
    // ... and every line no reply handler takes here: such a line can only
    // confirm a pending command whose echo it is.
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
