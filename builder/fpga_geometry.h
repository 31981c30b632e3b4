#pragma once
#include "builder/builder_rects.h"

#include <cstdint>

// Geometry shared by the 8-part passes: every rectangle they send has even
// horizontal edges, and the part of a window that a piece shows is a scale
// record in units of 1/4096 of an area.
namespace _8PART_NS {

// Base ranges (bx0, bx1, by0, by1), then the part: a..b horizontally and
// c..d vertically, in the units of the base ranges.
struct ScaleRecord {
    double bx0 = 0.0;
    double bx1 = 4096.0;
    double by0 = 0.0;
    double by1 = 4096.0;
    double a = 0.0;
    double b = 4096.0;
    double c = 0.0;
    double d = 4096.0;

    friend bool operator==(const ScaleRecord&, const ScaleRecord&) = default;
};

void ResetScaleRecord(ScaleRecord& record);

// What the helpers read of a window record: the plan window's crop and scale
// flag, its source's size and the rectangle the window or piece occupies.
struct WindowGeometry {
    Rect crop;          // empty: the whole source
    bool scaled = true; // false: the crop is shown at its own size
    int32_t sourceWidth = 1920;
    int32_t sourceHeight = 1080;
    Rect area;
};

// The even-edge rule: horizontal edges even, never narrower or lower than 2,
// left and top not negative.
Rect EvenEdges(const Rect& r);

Rect SourceRect(const Rect& crop, int32_t sourceWidth, int32_t sourceHeight);
// As SourceRect; a 0 x 0 source without crop is given 1920 x 1080 for good.
Rect SourceRectFill(const Rect& crop, int32_t& sourceWidth, int32_t& sourceHeight);
Rect CropRect(const WindowGeometry& w);
Rect RoundRectEven(const WindowGeometry& w);
Rect PieceSourceRect(const WindowGeometry& w);
Rect PieceSourceRectEven(const WindowGeometry& w);
Rect EvenRectFromXYWH(int32_t x, int32_t y, int32_t width, int32_t height);

// Sets the record's part to where `part` lies inside `whole`.
void MapCropTo4096(ScaleRecord& record, const Rect& part, const Rect& whole);
// The record's part of `r`: horizontal edges even (odd ones go up), vertical
// ones rounded on the tenths digit.
Rect MapScaledRect(const ScaleRecord& record, const Rect& r);
Rect MapScaledRectEven(const ScaleRecord& record, const Rect& r);

// `r` has inclusive right and bottom edges; so has the result. No overlap
// with the clip leaves `r` as it is.
Rect ClipInclusiveRect(const Rect& r, const Rect& clip);

// Orders records by x (their first integer) or y (their second).
inline bool LessByFirst(const Rect& p, const Rect& q)
{
    return p.left < q.left;
}
inline bool LessBySecond(const Rect& p, const Rect& q)
{
    return p.top < q.top;
}
template <class Ptr>
requires requires(const Ptr& p)
{
    *p;
}
bool LessByFirst(const Ptr& p, const Ptr& q)
{
    return LessByFirst(*p, *q);
}
template <class Ptr>
requires requires(const Ptr& p)
{
    *p;
}
bool LessBySecond(const Ptr& p, const Ptr& q)
{
    return LessBySecond(*p, *q);
}

} // namespace _8PART_NS
