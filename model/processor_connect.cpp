// Making, testing and dropping the processor's link.
#include "model/processor_link.h"

#include "core/language_tr.h"
#include "comm/net_manager.h"
#include "comm/serial_channel.h"
#include "comm/sport_operator.h"
#include "comm/tcp_channel.h"
#include "corlane/fstr.h"
#include "model/link_setup.h"
#include "model/pro_delay_sender.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "platform/clock.h"

#include <atomic>
#include <boost/property_tree/ptree.hpp>
#include <cstring>

namespace {

// Shared by both kinds of channel, so every channel of a run has its own.
std::atomic<uint32_t> g_channelNumber{0};

const char kProbe[] = "GP GIPA 1\r\n";
const char kProbeAnswer[] = "GP GIPA";
constexpr unsigned kProbeReplyBytes = 127;
constexpr auto kAfterProbeAnswer = std::chrono::milliseconds(500);

const char kNoSerialPort[] = "自动检测串口失败请检查是否连接了处理器，或切换到手工模式后再尝试串口连接!";

void MarkSourcesNotJoined(CQelProcessor& processor)
{
    for (const auto& source : processor.GetSigSrcs())
        source->SetJoined(false);
}

} // namespace

bool ProcessorLink::Connect()
{
    CNetManager& manager = CNetManager::get_instance();
    manager.CloseAndRemove(owner_.settings().GetChannelId());
    owner_.settings().SetChannelId(0);
    const uint32_t number = ++g_channelNumber;

    CQelProcessor::Connection connection = owner_.settings().GetConnection();
    std::shared_ptr<CIoChannel> channel;
    if (connection.type == 1) {
        channel =
            std::make_shared<CTcpClientChannel>(&manager, qz::vok::fstr_format("PRO_Tcp_%d", static_cast<int>(number)));
        channel->Settings().put("server_addr", connection.tcpAddress);
        channel->Settings().put("server_port", connection.tcpPort);
    } else if (connection.type == 2) {
        std::vector<std::string> ports;
        CSPortOperator::EnumPorts(ports);
        if (ports.size() == 1) {
            connection.serialDevice = ports.front();
            owner_.settings().SetConnection(connection);
        }
        channel = std::make_shared<CSerialClientChannel>(
            &manager, qz::vok::fstr_format("PRO_Serial_%d", static_cast<int>(number)));
        if (connection.serialAutoDetect == 1) {
            connection.serialDeviceInUse = ProbeSerialPort(ports);
            owner_.settings().SetConnection(connection);
            if (connection.serialDeviceInUse.empty()) {
                ShowLinkMessage(Tr(kNoSerialPort).toStdString());
                return false;
            }
        } else {
            connection.serialDeviceInUse = connection.serialDevice;
            owner_.settings().SetConnection(connection);
        }
        channel->Settings().put("device", connection.serialDeviceInUse);
        channel->Settings().put("rate", std::to_string(connection.serialRate));
    } else {
        return false;
    }

    std::weak_ptr<CQelProcessor> weak = owner_.weak_from_this();
    channel->SetClosedHandler([weak] {
        // The processor that owns the link, whichever one is selected.
        if (auto processor = weak.lock())
            MarkSourcesNotJoined(*processor);
    });
    const uint32_t channelId = manager.Register(channel);
    channel->SetReceiveHandler(MakeLinkReceiver(weak, channelId));
    owner_.settings().SetChannelId(channelId);

    owner_.records().ClearSigOutsForDiscovery();
    MarkSourcesNotJoined(owner_);
    SetSenderPause(connection.type == 1 ? CQelProDelaySender::kTcpPauseMs : CQelProDelaySender::kSerialPauseMs);
    channel->Open();
    return true;
}

std::string ProcessorLink::ProbeSerialPort(const std::vector<std::string>& ports)
{
    const int32_t rate = owner_.settings().GetConnection().serialRate;
    for (const std::string& port : ports) {
        SPortSettings settings;
        settings.portName = port;
        settings.baudRate = static_cast<uint32_t>(rate);
        if (CSPortOperator::Open(settings) != 0)
            continue;
        char reply[kProbeReplyBytes + 1] = {};
        unsigned count = kProbeReplyBytes;
        const bool answered =
            CSPortOperator::Write(kProbe, sizeof kProbe - 1) == 0 && CSPortOperator::Read(reply, count) == 0;
        CSPortOperator::Close();
        if (!answered)
            continue;
        reply[count] = '\0';
        if (std::strncmp(reply, kProbeAnswer, sizeof kProbeAnswer - 1) == 0) {
            platform::SleepFor(kAfterProbeAnswer);
            return port;
        }
    }
    return {};
}

bool ProcessorLink::IsConnected() const
{
    auto channel = CNetManager::get_instance().Find(owner_.settings().GetChannelId());
    return channel && channel->CheckConnected();
}

bool ProcessorLink::Disconnect()
{
    auto channel = CNetManager::get_instance().Find(owner_.settings().GetChannelId());
    if (!channel)
        return false;
    channel->Close();
    MarkSourcesNotJoined(owner_);
    return true;
}
