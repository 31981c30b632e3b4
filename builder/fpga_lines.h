#pragma once
// Line forms the 8-part command passes share between the input and output
// sides ("I_F" and "O_F").
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace PS_NS {
struct tagMonitor;
}

namespace _8PART_NS {

// A scaler's picture is its index + 4 among a board's inputs.
inline constexpr int32_t kScalerInputBase = 4;

// "<side> AW": input, layer, the source part `s` and where it goes `d`,
// both cut to the smaller of their sizes.
std::string WindowLine(const char* side, int32_t input, int32_t layer, const ::Rect& s, const ::Rect& d);
// "<side> SCALER_SETUP": scaler `scaler` of `board` reads `part` of the
// `from`-sized picture of input `input` and writes a `to`-sized one.
std::string ScalerLine(const char* side, int32_t board, int32_t scaler, int32_t input, const ::Rect& from,
                       const ::Rect& part, const ::Rect& to);
// "<side> SWL board port width height" for the output, its window lines,
// "<side> AWE"; nothing for an output without window lines.
void AppendWindowGroup(const char* side, const PS_NS::tagMonitor& output, const std::vector<std::string>& group,
                       std::vector<std::string>& lines);
// "<side> SUSD board" for each board, ascending.
void AppendSusdLines(const char* side, const std::set<int32_t>& boards, std::vector<std::string>& lines);

} // namespace _8PART_NS
