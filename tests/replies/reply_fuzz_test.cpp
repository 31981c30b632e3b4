// Random input through the receive buffer and the dispatcher while another
// thread reads the model, as the UI does. Run under the sanitizers, it
// shows that no reply, however malformed, reaches undefined behaviour.
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "comm/rx_ring_buffer.h"
#include "model/board.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "replies/reply_dispatcher.h"
#include "tests/replies/reply_test_support.h"
#include "tests/support/queued_events.h"
#include "tests/support/test_files.h"

namespace {

constexpr uint32_t kSeed = 20240506;

// Every keyword the dispatcher knows, and lines it does not.
const std::vector<std::string> kKeywords = [] {
    std::vector<std::string> keywords;
    for (const std::string_view keyword : ReplyKeywords())
        keywords.emplace_back(keyword);
    keywords.insert(keywords.end(), {"GP LDM", "NOISE"});
    return keywords;
}();

class Fuzzer {
public:
    explicit Fuzzer(uint32_t seed) : random_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    // Mostly small numbers, with extremes and non-numbers among them.
    std::string Number()
    {
        switch (Below(10)) {
        case 0: return std::to_string(random_());
        case 1: return "-" + std::to_string(Below(100000));
        case 2: return "0x" + std::to_string(Below(100)) + "F";
        case 3: return std::string(1 + Below(40), static_cast<char>('1' + Below(9)));
        case 4: return "4294967295";
        case 5: return "x" + std::to_string(Below(9));
        default: return std::to_string(Below(30));
        }
    }

    std::string KeywordLine()
    {
        std::string line = kKeywords[Below(int(kKeywords.size()))];
        for (int i = Below(11); i > 0; --i)
            line += (Below(8) == 0 ? "  " : " ") + Number();
        return line + "\r\n";
    }

    // Bytes of every kind, line ends and high bytes often enough to matter.
    std::string Block()
    {
        std::string block(1 + Below(8192), '\0');
        for (char& c : block) {
            const int pick = Below(100);
            c = pick < 6    ? '\r'
                : pick < 12 ? '\n'
                : pick < 15 ? static_cast<char>(0x80 + Below(128))
                : pick < 17 ? '\0'
                : pick < 35 ? ' '
                            : static_cast<char>(0x21 + Below(0x5E));
        }
        return block;
    }

private:
    std::mt19937 random_;
};

// Reads everything the UI could, until told to stop.
void ReadModel(const CQelProcessor& processor, const std::atomic<bool>& stop)
{
    while (!stop) {
        for (const auto& source : processor.GetSigSrcs()) {
            (void)source->GetValues();
            if (const auto board = source->GetBoard())
                (void)board->GetValues();
        }
        for (const auto& quarter : processor.records().GetListBItems())
            (void)quarter->GetValues();
        for (const auto& output : processor.GetSigOuts())
            (void)output->GetValues();
        (void)processor.GetWall();
        (void)processor.GetOutputResolution();
        (void)processor.settings().GetFpgaVersions();
    }
}

} // namespace

TEST_F(ReplyTest, SurvivesRandomInputWhileTheModelIsRead)
{
    ASSERT_TRUE(tavrix::test::ReplaceText(CQelProcessor::ProFilePath(),
                                          "<Processor version=\"V1\"><SignalSource><SigSrc id=\"100\" name=\"in\"/>"
                                          "<SigSrc id=\"zz\"/></SignalSource></Processor>"));
    processor_->link().SetSenderPause(0);
    std::atomic<bool> stop{false};
    std::thread reader(ReadModel, std::cref(*processor_), std::cref(stop));

    Fuzzer fuzz(kSeed);
    RxRingBuffer buffer;
    size_t lines = 0;
    // Models 4 to 10, then a channel no processor owns.
    const auto take = [&](int round) {
        std::string line;
        while (buffer.ReadLine(line)) {
            for (const char c : line)
                ASSERT_TRUE(c != '\0' && static_cast<uint8_t>(c) < 0x80) << line;
            processor_->SetKind(4 + round % 7);
            ParseDeviceReply(round % 8 == 7 ? kUnowned : kChannel, line);
            if (++lines % 4096 == 0)
                DrainEvents();
        }
    };

    size_t bytes = 0;
    for (int round = 0; bytes < 4 * 1024 * 1024; ++round) {
        const std::string block = fuzz.Block();
        bytes += block.size();
        buffer.Append(block.size(), block.data());
        take(round);
    }
    for (int round = 0; round < 40000; ++round) {
        const std::string line = fuzz.KeywordLine();
        // Now and then split over two blocks.
        const size_t cut = fuzz.Below(4) == 0 ? fuzz.Below(static_cast<int>(line.size())) : line.size();
        buffer.Append(cut, line.data());
        buffer.Append(line.size() - cut, line.data() + cut);
        take(round);
    }

    stop = true;
    reader.join();
    EXPECT_GT(lines, 40000u);
}
