#pragma once
// The values of the small device dialogs, free of any window: the border
// fine-tune's remembered values and the lines it sends, and the reset
// progress text.
#include <QString>
#include <string>
#include <vector>

namespace border {
inline constexpr int kMaxSize = 15;
inline constexpr int kMaxBrightness = 3;
// What the device gets while the adjustment is off.
inline constexpr int kOffSize = 0;
inline constexpr int kOffBrightness = 3;
} // namespace border

// The size and brightness the border dialog last confirmed in this run.
struct BorderTuning {
    int size = 0;
    int brightness = border::kOffBrightness;
};
BorderTuning LastBorderTuning();
void SetLastBorderTuning(const BorderTuning& tuning);

// The border width and brightness lines, in the order they are queued:
// the given values when enabled, else the device's plain border.
std::vector<std::string> BorderCommands(bool enabled, int size, int brightness);

// The reset progress window's text for the owner's four counters; the
// step index counts from 0 and shows from 1.
QString ResetProgressText(int step, int steps, int done, int total);
