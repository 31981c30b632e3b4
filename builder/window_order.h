#pragma once
#include <cstdint>
#include <vector>

#include "platform/geometry.h"

class CQelPlan;

namespace _8PART_NS {

// What remains of `r` after taking away every rectangle of `cover`, as
// disjoint rectangles.
std::vector<::Rect> SubtractRects(const ::Rect& r, const std::vector<::Rect>& cover);

// Replaces `ids` with the ids of the plan's windows, bottom first, of which
// some part shows past the windows above them.
void ComputeOverlaps(const CQelPlan& plan, std::vector<int32_t>& ids);

} // namespace _8PART_NS
