#pragma once
#include <cstdint>
#include <vector>

#include "platform/geometry.h"

// What the 8-part placement reports to the wall view for drawing.
namespace _8PART_NS {

// A window (or piece) the placement could not realise as asked.
struct tagFPGAWindowFailRect {
    ::Rect rect;      // wall pixels
    int32_t code = 0; // 0 not placed, 1 unscaled, 2 hidden, 3 no backplane port
};

// One output's areas beyond what the output can show.
struct tagMonitorInvalidSegmentWindow {
    struct InvalidRect {
        ::Rect rect;
        int32_t value = 0;
    };
    int32_t row = 0; // the output's wall cell
    int32_t col = 0;
    ::Rect rect; // the output on the wall
    std::vector<InvalidRect> invalid;
};

} // namespace _8PART_NS
