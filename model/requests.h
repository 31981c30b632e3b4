#pragma once
// The typed argument records of the processor's request dispatcher. Each
// request code takes exactly one record type; a record of another type is
// refused before anything reaches a sender.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "model/job_progress.h"
#include "model/osd_item.h"

class IProgress;

namespace request {

// Request codes that name no sender but start or end a job.
enum Code : int {
    kStatusQuery = 0,
    kStartReset = 4,
    kStartOsdSave = 10,
    kStartInputOsdTransfer = 21,
    kLastRequest = 37,
    kOsdSaveDone = 1000,
    kResetDone = 1001,
    kInputOsdTransferDone = 1002,
};

struct None {};
struct Network {
    std::string address;
    std::string port;
};
struct ResolutionId {
    uint32_t id = 0;
};
struct TestPattern {
    uint32_t outputId = 0;
    int pattern = 0;
    uint32_t colour = 0;
};
struct Reset {
    ReceiverPtr<IResetProgress> receiver;
};
struct Clock {
    std::array<int, 6> values{};
};
struct OsdBuffer {
    std::vector<std::string> lines;
    int group = 1;
    uint32_t delayMs = 0;
    IProgress* receiver = nullptr; // called on the requesting thread
};
struct CommandList {
    std::vector<std::string> lines;
};
struct DisplayMode {
    std::vector<std::string> lines;
    int mode = 0;
    IProgress* receiver = nullptr; // called on the requesting thread
};
struct OsdSave {
    int first = 0;
    int second = 0;
    ReceiverPtr<IOSDSavingProgress> receiver;
    int* steps = nullptr; // receives the step count, may be null
    int side = 0;         // 0 input side, else output side
};
struct InputOsdTransfer {
    int unused = 0;
    ReceiverPtr<IIOSDSendingProgress> receiver;
    std::vector<uint32_t> keys; // input id << 16 | item id
};
struct OsdImage {
    int unused = 0;
    IProgress* receiver = nullptr;
    std::shared_ptr<const tagOSD_DATA_EX_S> item;
};
struct Edid {
    uint32_t input = 0;
    int choice = 0;
};
struct OnOff {
    int on = 0;
};
struct Preset {
    int number = 0;
};
struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};
struct BoardColour {
    int board = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};
struct TimeOsd {
    tagOSD_DATA_EX2_S item;
};
struct Text {
    std::string text;
};
// The argument of a completion code: 0 success, else failure.
struct Completion {
    int failure = 0;
};

// A struct, not an alias, so that model/processor.h can declare it.
struct Args
    : std::variant<None, Network, ResolutionId, TestPattern, Reset, Clock, OsdBuffer, CommandList, DisplayMode, OsdSave,
                   InputOsdTransfer, OsdImage, Edid, OnOff, Preset, Colour, BoardColour, TimeOsd, Text, Completion> {
    using variant::variant;
};

} // namespace request
