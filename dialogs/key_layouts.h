#pragma once
// The shortcut-key layouts a kind-2 processor keeps on its input board:
// the 13 keys, the windows of each layout and the command text that
// programs one key. Free of any window.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CQelProcessor;

inline constexpr int kKeyLayoutCount = 13;
inline constexpr int kKeyLayoutKind = 2;

// One window of a key layout: its rectangle in output pixels (right and
// bottom excluded) and the size its input is scaled to.
struct KeyWindow {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
    int64_t width = 0;
    int64_t height = 0;
    friend bool operator==(const KeyWindow&, const KeyWindow&) = default;
};

// An input of a layout: a source id of the processor and its resolution.
struct KeyInput {
    uint32_t id = 0;
    int64_t width = 1920;
    int64_t height = 1080;
};

// The windows of each layout on a W x H output.
std::vector<KeyWindow> FullKeyWindows(int64_t W, int64_t H);
std::vector<KeyWindow> QuadKeyWindows(int64_t W, int64_t H);
// Two inputs side by side, each fitted to its half and centred on the
// middle line; transposed, the same with rows and columns exchanged. The
// transposed form is kept exactly as the device has always been given it,
// even where its rows run past the output.
std::vector<KeyWindow> PairKeyWindows(int64_t W, int64_t H, const KeyInput& first, const KeyInput& second);
std::vector<KeyWindow> PairKeyWindowsTransposed(int64_t W, int64_t H, const KeyInput& first, const KeyInput& second);

// The one command, of several lines, that programs key `keyMode` with
// window k showing inputs[k].
std::string KeyLayoutCommand(int keyMode, int64_t W, int64_t H, const std::vector<KeyInput>& inputs,
                             const std::vector<KeyWindow>& windows);

// The source with that id as a layout input; a source the processor lacks,
// or one without a size, counts as 1920 x 1080.
KeyInput KeyInputOf(const CQelProcessor& processor, uint32_t id);

// The builders: each queues the key's command on the processor. False, and
// nothing sent, when the processor is not connected or refuses the command.
using KeyInputs = std::array<uint32_t, 4>;
bool BuildFullKeyLayout(CQelProcessor& processor, int keyMode, const KeyInputs& inputs);
bool BuildQuadKeyLayout(CQelProcessor& processor, int keyMode, const KeyInputs& inputs);
bool BuildPairKeyLayout(CQelProcessor& processor, int keyMode, const KeyInputs& inputs);
bool BuildPairKeyLayoutTransposed(CQelProcessor& processor, int keyMode, const KeyInputs& inputs);

struct KeyStep {
    int keyMode = 0;
    KeyInputs inputs{};
    bool (*build)(CQelProcessor&, int, const KeyInputs&) = nullptr;
};

// The keys in the order they are programmed.
const std::array<KeyStep, kKeyLayoutCount>& KeySteps();
