// Making, testing and dropping the processor's link.
#include "model/processor.h"

#include "app/language_tr.h"
#include "comm/net_manager.h"
#include "comm/tcp_channel.h"
#include "corlane/fstr.h"
#include "model/link_setup.h"

#include <atomic>

namespace {

// Shared by both kinds of channel, so every channel of a run has its own.
std::atomic<uint32_t> g_channelNumber{0};

const char kNoSerialPort[] =
    "自动检测串口失败请检查是否连接了处理器，或切换到手工模式后再尝试串口连接!";

void MarkSourcesNotJoined(CQelProcessor& processor)
{
    for (const auto& source : processor.GetSigSrcs())
        source->SetJoined(false);
}

} // namespace

bool CQelProcessor::Connect()
{
    CNetManager& manager = CNetManager::get_instance();
    manager.CloseAndRemove(GetChannelId());
    SetChannelId(0);
    const uint32_t number = ++g_channelNumber;

    Connection connection = GetConnection();
    std::shared_ptr<CIoChannel> channel;
    if (connection.type == 1) {
        channel = std::make_shared<CTcpClientChannel>(&manager, qz::vok::fstr_format("PRO_Tcp_%d", static_cast<int>(number)));
        channel->Settings().put("server_addr", connection.tcpAddress);
        channel->Settings().put("server_port", connection.tcpPort);
    } else {
        return false;
    }

    std::weak_ptr<CQelProcessor> weak = weak_from_this();
    channel->SetClosedHandler([weak] {
        // The processor that owns the link, whichever one is selected.
        if (auto processor = weak.lock())
            MarkSourcesNotJoined(*processor);
    });
    const uint32_t channelId = manager.Register(channel);
    channel->SetReceiveHandler(MakeLinkReceiver(weak, channelId));
    SetChannelId(channelId);

    ClearSigOuts();
    MarkSourcesNotJoined(*this);
    SetSenderPause(connection.type == 1 ? CQelProDelaySender::kTcpPauseMs : CQelProDelaySender::kSerialPauseMs);
    channel->Open();
    return true;
}

bool CQelProcessor::IsConnected() const
{
    auto channel = CNetManager::get_instance().Find(GetChannelId());
    return channel && channel->CheckConnected();
}

bool CQelProcessor::Disconnect()
{
    auto channel = CNetManager::get_instance().Find(GetChannelId());
    if (!channel)
        return false;
    channel->Close();
    MarkSourcesNotJoined(*this);
    return true;
}
