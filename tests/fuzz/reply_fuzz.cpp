// The reply path: bytes as a link receives them go through the receive
// buffer, which cuts and normalises lines, to the dispatcher and its
// parsers, on a processor with boards, sources and outputs. The first byte
// picks the processor's kind, the second the size of the blocks the bytes
// arrive in. Whatever the replies made of the model saves, and the saved
// file loads to the same content (but for kind 9, whose outputs the loader
// always replaces by its own four: there the file loaded once must be
// stable).
#include <map>
#include <memory>
#include <string>

#include "context/context.h"
#include "core/event_queue.h"
#include "comm/rx_ring_buffer.h"
#include "corlane/app_path.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_file.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "replies/reply_dispatcher.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/sample_processor.h"

namespace {

constexpr uint32_t kChannel = 7;

std::shared_ptr<CQelProcessor> g_processor;
RxRingBuffer* g_buffer = nullptr;         // 30 MB: made once
std::map<int32_t, std::string> g_samples; // the processor file of each kind

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    g_buffer = new RxRingBuffer;
    for (int32_t kind = 4; kind <= 10; ++kind)
        g_samples[kind] = WriteProcessorFile(fuzz::SampleProcessor(kind), 0);
    g_processor = std::make_shared<CQelProcessor>();
    g_processor->SetId(1);
    g_processor->settings().SetChannelId(kChannel);
    g_processor->link().SetSenderPause(0);
    CQelContext::GetProMan()->AddProcessor(g_processor);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const std::string path = CQelProcessor::ProFilePath();
    const int32_t kind = 4 + data[0] % 7;
    fuzz::PutFile(path, g_samples[kind]);
    fuzz::Require(g_processor->LoadPro(path), "the sample processor does not load");
    g_processor->settings().ClearFpgaVersions();
    g_processor->settings().ClearFirmwareVersions();
    const size_t block = 1 + data[1];

    // A last CR LF ends a line cut short, so the buffer is empty afterwards.
    std::string bytes(fuzz::Bytes(data + 2, size - 2));
    bytes += "\r\n";
    std::string line;
    for (size_t at = 0; at < bytes.size(); at += block) {
        g_buffer->Append(std::min(block, bytes.size() - at), bytes.data() + at);
        while (g_buffer->ReadLine(line))
            ParseDeviceReply(kChannel, line);
    }
    fuzz::Require(g_buffer->FreeSpace() == RxRingBuffer::kCapacity, "the buffer keeps bytes");
    EventPtr event;
    while (CEvtQueue::get_instance().TryPop(event)) {
    }
    fuzz::EmptyFolder(qz::vok::path::GetLogPath()); // the debug log of every reply

    fuzz::Require(g_processor->SavePro(), "the processor does not save");
    if (g_processor->GetKind() == 9) {
        fuzz::Require(g_processor->LoadPro(path), "the saved file does not load");
        fuzz::Require(g_processor->SavePro(), "the processor does not save");
    }
    const std::string saved = fuzz::GetFile(path);
    ProcessorFileData loaded;
    std::string reason;
    fuzz::Require(ParseProcessorFile(saved, loaded, reason), "the saved file does not load: " + reason);
    fuzz::RequireSame(saved, WriteProcessorFile(loaded, g_NetType.load()), "the saved file loads to other content");
    return 0;
}
