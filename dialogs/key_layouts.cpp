#include "dialogs/key_layouts.h"

#include "corlane/fstr.h"
#include "model/processor.h"
#include "model/sig_src.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kUnknownWidth = 1920;
constexpr int64_t kUnknownHeight = 1080;
// Far beyond any picture, and exact in a double.
constexpr double kCoordinateLimit = double(int64_t(1) << 52);

// A quotient computed in floating point, truncated toward zero.
int64_t TruncatedQuotient(double numerator, double denominator)
{
    if (!(denominator > 0))
        return 0;
    return int64_t(std::clamp(std::trunc(numerator / denominator), -kCoordinateLimit, kCoordinateLimit));
}

KeyWindow WindowOf(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return KeyWindow{left, top, right, bottom, right - left, bottom - top};
}

// Window k of the side-by-side pair: its half of the columns, fitted.
KeyWindow PairWindow(int64_t W, int64_t H, int k, int64_t w, int64_t h)
{
    const int64_t a = W / 2;
    const int64_t from = k == 0 ? 0 : a;
    const int64_t to = k == 0 ? a : W;
    const int64_t t = TruncatedQuotient(double(to - from) * double(h), double(w));
    if (t <= H) {
        const int64_t top = H / 2 - t / 2;
        return WindowOf(from, top, to, top + t);
    }
    const int64_t u = TruncatedQuotient(double(w) * double(H), double(h));
    return k == 0 ? WindowOf(a - u, 0, a, H) : WindowOf(a, 0, a + u, H);
}

bool Queue(CQelProcessor& processor, int keyMode, const std::vector<KeyInput>& inputs,
           const std::vector<KeyWindow>& windows)
{
    if (!processor.IsConnected())
        return false;
    const Resolution output = processor.GetOutputResolution();
    return processor.QueueCommand(KeyLayoutCommand(keyMode, output.width, output.height, inputs, windows));
}

std::vector<KeyInput> InputsOf(const CQelProcessor& processor, const KeyInputs& ids, size_t count)
{
    std::vector<KeyInput> inputs;
    for (size_t i = 0; i < count; ++i)
        inputs.push_back(KeyInputOf(processor, ids[i]));
    return inputs;
}

} // namespace

std::vector<KeyWindow> FullKeyWindows(int64_t W, int64_t H)
{
    return {WindowOf(0, 0, W, H)};
}

std::vector<KeyWindow> QuadKeyWindows(int64_t W, int64_t H)
{
    const int64_t a = W / 2;
    const int64_t b = H / 2;
    std::vector<KeyWindow> windows = {WindowOf(0, 0, a, b), WindowOf(a, 0, W, b), WindowOf(0, b, a, H),
                                      WindowOf(a, b, W, H)};
    for (KeyWindow& window : windows) {
        window.width = a;
        window.height = b;
    }
    return windows;
}

std::vector<KeyWindow> PairKeyWindows(int64_t W, int64_t H, const KeyInput& first, const KeyInput& second)
{
    return {PairWindow(W, H, 0, first.width, first.height), PairWindow(W, H, 1, second.width, second.height)};
}

std::vector<KeyWindow> PairKeyWindowsTransposed(int64_t W, int64_t H, const KeyInput& first, const KeyInput& second)
{
    // The side-by-side computation on the inputs turned a quarter, its
    // columns read as rows.
    std::vector<KeyWindow> windows = {PairWindow(W, H, 0, first.height, first.width),
                                      PairWindow(W, H, 1, second.height, second.width)};
    for (KeyWindow& w : windows)
        w = WindowOf(w.top, w.left, w.bottom, w.right);
    return windows;
}

std::string KeyLayoutCommand(int keyMode, int64_t W, int64_t H, const std::vector<KeyInput>& inputs,
                             const std::vector<KeyWindow>& windows)
{
    using ll = long long;
    std::string text = qz::vok::fstr_format("INPUT_FPGA SET_KEY_MODE %d\r\n", keyMode);
    const size_t count = std::min(inputs.size(), windows.size());
    for (size_t k = 0; k < count; ++k) {
        const KeyInput& in = inputs[k];
        text += qz::vok::fstr_format("INPUT_FPGA SCALER_SETUP 0 %d %u %lld %lld 0 %lld 0 %lld %lld %lld\r\n", int(k),
                                     in.id, ll(in.width), ll(in.height), ll(in.width - 1), ll(in.height - 1),
                                     ll(windows[k].width), ll(windows[k].height));
    }
    text += qz::vok::fstr_format("INPUT_FPGA SET_WINDOWS_LAYOUT 0 0 %lld %lld\r\n", ll(W), ll(H));
    for (size_t k = 0; k < count; ++k) {
        const KeyWindow& w = windows[k];
        text += qz::vok::fstr_format("INPUT_FPGA ADD_WINDOWS %d %d 0 0 %lld %lld %lld %lld %lld %lld\r\n", int(k + 4),
                                     int(k + 1), ll(w.width), ll(w.height), ll(w.left), ll(w.top), ll(w.right),
                                     ll(w.bottom));
    }
    text += "INPUT_FPGA ADD_WINDOWS_END\r\n";
    text += "INPUT_FPGA SET_KEY_MODE 0\r\n";
    return text;
}

KeyInput KeyInputOf(const CQelProcessor& processor, uint32_t id)
{
    KeyInput input{id, kUnknownWidth, kUnknownHeight};
    // A source that reports no size would leave nothing to scale from.
    if (const auto source = processor.GetSigSrc(id)) {
        const Resolution r = source->GetResolution();
        if (r.width > 0 && r.height > 0) {
            input.width = r.width;
            input.height = r.height;
        }
    }
    return input;
}

bool BuildFullKeyLayout(CQelProcessor& processor, int keyMode, const KeyInputs& inputs)
{
    const Resolution out = processor.GetOutputResolution();
    return Queue(processor, keyMode, InputsOf(processor, inputs, 1), FullKeyWindows(out.width, out.height));
}

bool BuildQuadKeyLayout(CQelProcessor& processor, int keyMode, const KeyInputs& inputs)
{
    const Resolution out = processor.GetOutputResolution();
    return Queue(processor, keyMode, InputsOf(processor, inputs, 4), QuadKeyWindows(out.width, out.height));
}

bool BuildPairKeyLayout(CQelProcessor& processor, int keyMode, const KeyInputs& inputs)
{
    const Resolution out = processor.GetOutputResolution();
    const auto in = InputsOf(processor, inputs, 2);
    return Queue(processor, keyMode, in, PairKeyWindows(out.width, out.height, in[0], in[1]));
}

bool BuildPairKeyLayoutTransposed(CQelProcessor& processor, int keyMode, const KeyInputs& inputs)
{
    const Resolution out = processor.GetOutputResolution();
    const auto in = InputsOf(processor, inputs, 2);
    return Queue(processor, keyMode, in, PairKeyWindowsTransposed(out.width, out.height, in[0], in[1]));
}

const std::array<KeyStep, kKeyLayoutCount>& KeySteps()
{
    static const std::array<KeyStep, kKeyLayoutCount> steps = {{
        {1, {0, 0, 0, 0}, &BuildFullKeyLayout},
        {2, {1, 0, 0, 0}, &BuildFullKeyLayout},
        {3, {2, 0, 0, 0}, &BuildFullKeyLayout},
        {4, {3, 0, 0, 0}, &BuildFullKeyLayout},
        {5, {0, 1, 2, 3}, &BuildQuadKeyLayout},
        {6, {0, 1, 0, 0}, &BuildPairKeyLayout},
        {7, {2, 3, 0, 0}, &BuildPairKeyLayout},
        {8, {0, 2, 0, 0}, &BuildPairKeyLayout},
        {9, {1, 3, 0, 0}, &BuildPairKeyLayout},
        {10, {0, 1, 0, 0}, &BuildPairKeyLayoutTransposed},
        {11, {2, 3, 0, 0}, &BuildPairKeyLayoutTransposed},
        {12, {0, 2, 0, 0}, &BuildPairKeyLayoutTransposed},
        {13, {1, 3, 0, 0}, &BuildPairKeyLayoutTransposed},
    }};
    return steps;
}
