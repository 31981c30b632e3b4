// The processor's send paths: queued through its paced sender, or sent at
// once on the calling thread with or without the wait for the echo.
#include "model/processor_link.h"

#include "comm/net_manager.h"
#include "comm/reply_line.h"
#include "model/net_type.h"
#include "model/pro_delay_sender.h"
#include "model/processor_settings.h"
#include "model/reply_waiter.h"

namespace {
// Longer than any link takes to write a line unless it is stuck.
constexpr auto kWriteLimit = std::chrono::seconds(1);
} // namespace

ProcessorLink::ProcessorLink(CQelProcessor& owner)
    : owner_(owner), replyWaiter_(std::make_unique<CQelReplyWaiter>()), sender_(std::make_unique<CQelProDelaySender>())
{
    sender_->SetOwner(&owner_);
}

ProcessorLink::~ProcessorLink() = default;

void ProcessorLink::StartSender()
{
    sender_->Start();
}

bool ProcessorLink::QueueCommand(std::string_view text)
{
    return sender_->Enqueue(text, CQelCmdQueue::kPaced);
}

bool ProcessorLink::QueueEchoedCommand(std::string_view text)
{
    return sender_->Enqueue(text, CQelCmdQueue::kEchoed);
}

uint32_t ProcessorLink::GetQueuedCommandCount() const
{
    return sender_->GetQueuedCount();
}

void ProcessorLink::SetPushObserver(CQelProcessor::PushObserver observer)
{
    sender_->SetPushObserver(std::move(observer));
}

void ProcessorLink::RemoveEchoedCommands()
{
    sender_->RemoveEchoed();
}

void ProcessorLink::SetSenderPause(unsigned ms)
{
    sender_->SetPause(ms);
}

unsigned ProcessorLink::GetSenderPause() const
{
    return sender_->GetPause();
}

void ProcessorLink::StopSender()
{
    sender_->Stop();
}

bool ProcessorLink::SendCommand(std::string_view text)
{
    if (g_NetType.load() != 1)
        return SendNoWait(text);
    // The reply path hands lines on normalised, so the echo is compared in
    // that form: "0xFF" comes back as 255, a trailing blank is gone.
    std::string reply;
    return replyWaiter_->Exchange(
        CQelReplyWaiter::Expect::Echo, NormalizedReplyLine(text), [&] { ChannelSendWritten(text); }, reply,
        platform::Duration(replyTimeout_.load()));
}

bool ProcessorLink::SendAndWait(std::string_view text, std::string& reply)
{
    return replyWaiter_->Exchange(
        CQelReplyWaiter::Expect::SameCommand, NormalizedReplyLine(text), [&] { ChannelSendWritten(text); }, reply,
        platform::Duration(replyTimeout_.load()));
}

bool ProcessorLink::SendNoWait(std::string_view text)
{
    ChannelSend(text);
    return true;
}

bool ProcessorLink::ChannelSend(std::string_view text)
{
    auto channel = CNetManager::get_instance().Find(owner_.settings().GetChannelId());
    return channel && channel->Send(0, text);
}

std::optional<platform::TimePoint> ProcessorLink::ChannelSendWritten(std::string_view text)
{
    auto channel = CNetManager::get_instance().Find(owner_.settings().GetChannelId());
    if (!channel)
        return std::nullopt;
    return channel->SendWritten(0, text, kWriteLimit);
}

void ProcessorLink::OnReply(const std::string& line)
{
    replyWaiter_->OnReply(line);
}

void ProcessorLink::OnUnmatchedReply(const std::string& line)
{
    replyWaiter_->OnUnmatched(line);
}

// The processor's names for the link.

bool CQelProcessor::Connect()
{
    return link_->Connect();
}

bool CQelProcessor::IsConnected() const
{
    return link_->IsConnected();
}

bool CQelProcessor::Disconnect()
{
    return link_->Disconnect();
}

bool CQelProcessor::QueueCommand(std::string_view text)
{
    return link_->QueueCommand(text);
}
