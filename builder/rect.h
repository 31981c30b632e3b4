#pragma once
#include <cstdint>

namespace _8PART_NS {

// Right and bottom edges are excluded, as the processor and the files have
// them. Widths and heights are 64-bit: edges may hold any 32-bit value.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int64_t Width() const { return int64_t(right) - left; }
    int64_t Height() const { return int64_t(bottom) - top; }
    bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
    bool Contains(int64_t x, int64_t y) const
    {
        return x >= left && x < right && y >= top && y < bottom;
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

// Both rectangles non-empty and overlapping; *out gets the overlap.
bool IntersectRects(const Rect& a, const Rect& b, Rect* out = nullptr);

// Saturating conversions: values outside the int range are clamped, never
// converted with undefined behaviour. NaN gives 0.
int32_t ClampToInt(int64_t value);
int32_t TruncToInt(double value);

} // namespace _8PART_NS
