#include "comm/serial_channel.h"

#include "core/serial_capture.h"

namespace {

const char kDefaultDevice[] = "COM1";
const char kDefaultRate[] = "115200";

} // namespace

CSerialClient::CSerialClient(boost::asio::io_context& io, const std::string& device, unsigned baud, CIoChannel* channel)
    : CLinkClient(channel, "Serial Send :\n%s", io, device, baud)
{
}

void CSerialClient::Start()
{
    CLinkClient::Start([this] { open(); });
}

void CSerialClient::LogReceived(qz::vok::logfile& log, const std::string& text)
{
    log.event("Serial Receive :\n%s", text.c_str());
}

void CSerialClient::Keep(const void* data, size_t length)
{
    std::string error;
    if (!SerialCapture::Shared().Keep(data, length, error) && !captureFailed_) {
        LogCommError("Serial capture: " + error);
        captureFailed_ = true;
    }
}

CSerialClientChannel::CSerialClientChannel(CNetManager* owner, std::string name)
    : CClientChannel(owner, std::move(name))
{
}

void CSerialClientChannel::Open()
{
    OpenClient(
        [this] {
            const std::string device = GetSetting("device", kDefaultDevice);
            const unsigned long rate = std::stoul(GetSetting("rate", kDefaultRate));
            return std::make_shared<CSerialClient>(Io(), device, static_cast<unsigned>(rate), this);
        },
        "Serial channel");
}
