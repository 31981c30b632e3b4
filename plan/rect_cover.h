#pragma once
#include <vector>

#include "platform/rect_math.h"

// What remains of `r` once every rectangle of `cover` is taken away, as
// disjoint rectangles; empty when nothing shows.
std::vector<Rect> SubtractRects(const Rect& r, const std::vector<Rect>& cover);
