// The processor's send paths: queued through its paced sender, or sent at
// once on the calling thread with or without the wait for the echo.
#include "model/processor.h"

#include "comm/net_manager.h"
#include "comm/reply_line.h"
#include "model/net_type.h"
#include "model/pro_delay_sender.h"
#include "model/reply_waiter.h"

namespace {
// Longer than any link takes to write a line unless it is stuck.
constexpr auto kWriteLimit = std::chrono::seconds(1);
} // namespace

bool CQelProcessor::QueueCommand(std::string_view text)
{
    return sender_->Enqueue(text, CQelCmdQueue::kPaced);
}

bool CQelProcessor::QueueEchoedCommand(std::string_view text)
{
    return sender_->Enqueue(text, CQelCmdQueue::kEchoed);
}

uint32_t CQelProcessor::GetQueuedCommandCount() const
{
    return sender_->GetQueuedCount();
}

void CQelProcessor::SetPushObserver(PushObserver observer)
{
    sender_->SetPushObserver(std::move(observer));
}

void CQelProcessor::SetSenderPause(unsigned ms)
{
    sender_->SetPause(ms);
}

unsigned CQelProcessor::GetSenderPause() const
{
    return sender_->GetPause();
}

void CQelProcessor::StopSender()
{
    sender_->Stop();
}

bool CQelProcessor::SendCommand(std::string_view text)
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

bool CQelProcessor::SendAndWait(std::string_view text, std::string& reply)
{
    return replyWaiter_->Exchange(
        CQelReplyWaiter::Expect::SameCommand, NormalizedReplyLine(text), [&] { ChannelSendWritten(text); }, reply,
        platform::Duration(replyTimeout_.load()));
}

bool CQelProcessor::SendNoWait(std::string_view text)
{
    ChannelSend(text);
    return true;
}

bool CQelProcessor::ChannelSend(std::string_view text)
{
    auto channel = CNetManager::get_instance().Find(GetChannelId());
    return channel && channel->Send(0, text);
}

std::optional<platform::TimePoint> CQelProcessor::ChannelSendWritten(std::string_view text)
{
    auto channel = CNetManager::get_instance().Find(GetChannelId());
    if (!channel)
        return std::nullopt;
    return channel->SendWritten(0, text, kWriteLimit);
}

void CQelProcessor::OnReply(const std::string& line)
{
    replyWaiter_->OnReply(line);
}

void CQelProcessor::OnUnmatchedReply(const std::string& line)
{
    replyWaiter_->OnUnmatched(line);
}
