#include "replies/reply_receiver.h"

#include <memory>
#include <string>

#include "comm/rx_ring_buffer.h"
#include "model/link_setup.h"
#include "replies/reply_dispatcher.h"

std::function<void(const char* data, size_t length)> MakeReplyReceiver(uint32_t channelId)
{
    // Made here, not on the I/O thread: the buffer is large, and its first
    // use must not delay the first reply.
    auto buffer = std::make_shared<RxRingBuffer>();
    return [buffer, channelId](const char* data, size_t length) {
        buffer->Append(length, data);
        std::string line;
        while (buffer->ReadLine(line))
            ParseDeviceReply(channelId, line);
    };
}

void InstallReplyPath()
{
    SetLinkReceiverFactory(
        [](const std::weak_ptr<CQelProcessor>&, uint32_t channelId) { return MakeReplyReceiver(channelId); });
}
