#pragma once
// The output resolution dialog's arithmetic and what its opener does with
// the choice: list labels, the custom entry, and storing and sending the
// chosen resolution.
#include <QString>
#include <cstdint>
#include <optional>

#include "model/model_values.h"

class CQelProcessor;

namespace outres {
// The picture splitter: one resolution for each of its two outputs.
inline constexpr int32_t kSplitterKind = 6;
inline constexpr uint32_t kFirstOutputId = 1400;
inline constexpr uint32_t kSecondOutputId = 1401;
inline constexpr int32_t kCustomRate = 60;
// Widths and heights the device's timing fields carry.
inline constexpr int64_t kMaxCustomSize = 65535;
inline constexpr char kBadCustomSize[] = "自定义分辨率设置格式错误！";
inline constexpr char kSplitterTitle[] = "画面分割器设置";
} // namespace outres

// A second-list label: "1920 x 1080 p60", or "1920 x 1080 i50" for an
// interlaced rate (above 1000, in thousandths).
QString SplitterResolutionLabel(const Resolution& resolution);

// The custom width and height typed in: both whole numbers from 1 to 65535,
// else nothing.
std::optional<Size> ParseCustomResolution(const QString& width, const QString& height);

// The custom entry (id 255, rate 60; see CustomResolutionEntry) replaces
// any earlier one at the end of the processor's list.
void StoreCustomResolution(CQelProcessor& processor, const Size& size);

// What the dialog hands back.
struct OutputResolutionChoice {
    uint32_t id = 0;
    Resolution first{0, 0, outres::kCustomRate};
    Resolution second{0, 0, outres::kCustomRate};
};

// Takes the choice into the processor, saves its file and, when it is
// connected, asks the device for the new output timing and reconnects so
// the device is read again.
void StoreOutputResolution(CQelProcessor& processor, const OutputResolutionChoice& choice);
