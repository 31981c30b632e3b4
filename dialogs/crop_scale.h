#pragma once
// The window position dialog's crop preview: a source crop in source
// pixels and the crop window in the preview area, both ways. 64-bit
// arithmetic, multiplying before dividing and truncating, so no typed value
// can overflow and the crop window always stays in the area.
#include <cstdint>

#include "platform/geometry.h"

struct CropEdges {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
};

class CropPreview {
public:
    // Sizes of at least 1 pixel each.
    CropPreview(Size source, Size area);

    // The crop window, relative to the area, for crop edges as typed: each
    // edge is clamped to the source first, and right and bottom to no less
    // than left and top.
    Rect ToArea(const CropEdges& crop) const;
    // The crop after its window moved to `pos` (relative to the area): the
    // new left and top, the width and height kept but cut at the source.
    Rect Moved(const Rect& crop, Point pos) const;
    // The crop after its window was sized to `size`.
    Rect Sized(const Rect& crop, Size size) const;

private:
    int32_t ToSourceX(int64_t x) const;
    int32_t ToSourceY(int64_t y) const;

    Size source_;
    Size area_;
};
