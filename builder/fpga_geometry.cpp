#include "builder/fpga_geometry.h"

#include <algorithm>
#include <cmath>

namespace _8PART_NS {

namespace {

constexpr int32_t kDefaultSourceWidth = 1920;
constexpr int32_t kDefaultSourceHeight = 1080;

int64_t ClearLowBit(int64_t v)
{
    return v & ~int64_t(1);
}

// The quotient counts as 0 over an empty extent instead of producing an
// infinity that a later conversion to int could not take.
double Ratio(double numerator, double denominator)
{
    return denominator == 0.0 ? 0.0 : numerator / denominator;
}

int32_t RoundHorizontal(double v)
{
    int32_t t = TruncToInt(v);
    if (t > 0 && (t & 1))
        t = TruncToInt(v + 1.0);
    return t;
}

// Rounds up only when the tenths digit is 6 to 9; a 5 goes down.
int32_t RoundVertical(double v)
{
    const double tenths = std::fmod(std::trunc(10.0 * v), 10.0);
    if (tenths / 10.0 > 0.5)
        return TruncToInt(v + 1.0);
    return TruncToInt(v);
}

Rect LimitSize(const Rect& r, int64_t maxWidth, int64_t maxHeight)
{
    Rect out = r;
    out.right = ClampToInt(r.left + std::min(RectWidth(r), maxWidth));
    out.bottom = ClampToInt(r.top + std::min(RectHeight(r), maxHeight));
    return out;
}

} // namespace

void ResetScaleRecord(ScaleRecord& record)
{
    record = ScaleRecord{};
}

Rect EvenEdges(const Rect& r)
{
    int64_t right = ClearLowBit(r.right);
    int64_t left = ClearLowBit(int64_t(r.left) + 1);
    if (left < 0)
        left = 0;
    right = std::max(right, left + 2);
    const int64_t top = std::max<int64_t>(r.top, 0);
    const int64_t bottom = std::max<int64_t>(r.bottom, top + 2);
    return {ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)};
}

Rect SourceRect(const Rect& crop, int32_t sourceWidth, int32_t sourceHeight)
{
    if (!IsRectEmpty(crop))
        return crop;
    if (sourceWidth == 0 || sourceHeight == 0)
        return {0, 0, kDefaultSourceWidth, kDefaultSourceHeight};
    return {0, 0, sourceWidth, sourceHeight};
}

Rect SourceRectFill(const Rect& crop, int32_t& sourceWidth, int32_t& sourceHeight)
{
    if (IsRectEmpty(crop) && sourceWidth == 0 && sourceHeight == 0) {
        sourceWidth = kDefaultSourceWidth;
        sourceHeight = kDefaultSourceHeight;
    }
    return SourceRect(crop, sourceWidth, sourceHeight);
}

Rect CropRect(const WindowGeometry& w)
{
    const Rect source = SourceRect(w.crop, w.sourceWidth, w.sourceHeight);
    if (w.scaled)
        return source;
    return LimitSize(source, RectWidth(w.area), RectHeight(w.area));
}

Rect RoundRectEven(const WindowGeometry& w)
{
    return EvenEdges(CropRect(w));
}

Rect PieceSourceRect(const WindowGeometry& w)
{
    if (w.scaled)
        return w.area;
    const Rect source = SourceRect(w.crop, w.sourceWidth, w.sourceHeight);
    return LimitSize(w.area, RectWidth(source), RectHeight(source));
}

Rect PieceSourceRectEven(const WindowGeometry& w)
{
    return EvenEdges(PieceSourceRect(w));
}

Rect EvenRectFromXYWH(int32_t x, int32_t y, int32_t width, int32_t height)
{
    return EvenEdges({x, y, ClampToInt(int64_t(x) + width), ClampToInt(int64_t(y) + height)});
}

void MapCropTo4096(ScaleRecord& record, const Rect& part, const Rect& whole)
{
    const double sx = record.bx1 - record.bx0;
    const double sy = record.by1 - record.by0;
    const double width = double(RectWidth(whole));
    const double height = double(RectHeight(whole));
    // A coinciding edge takes the constant, whatever the base ranges are.
    record.a = part.left == whole.left ? 0.0 : Ratio(double(int64_t(part.left) - whole.left) * sx, width);
    record.c = part.top == whole.top ? 0.0 : Ratio(double(int64_t(part.top) - whole.top) * sy, height);
    record.b = part.right == whole.right ? 4096.0 : Ratio(double(int64_t(part.right) - whole.left) * sx, width);
    record.d = part.bottom == whole.bottom ? 4096.0 : Ratio(double(int64_t(part.bottom) - whole.top) * sy, height);
}

Rect MapScaledRect(const ScaleRecord& record, const Rect& r)
{
    const double sx = record.bx1 - record.bx0;
    const double sy = record.by1 - record.by0;
    const double width = double(RectWidth(r));
    const double height = double(RectHeight(r));
    const double left = double(r.left) + Ratio(record.a * width, sx);
    const double right = double(r.left) + Ratio(record.b * width, sx);
    const double top = double(r.top) + Ratio(record.c * height, sy);
    const double bottom = double(r.top) + Ratio(record.d * height, sy);
    return {RoundHorizontal(left), RoundVertical(top), RoundHorizontal(right), RoundVertical(bottom)};
}

Rect MapScaledRectEven(const ScaleRecord& record, const Rect& r)
{
    return EvenEdges(MapScaledRect(record, r));
}

Rect ClipInclusiveRect(const Rect& r, const Rect& clip)
{
    const int64_t left = std::max<int64_t>(r.left, clip.left);
    const int64_t top = std::max<int64_t>(r.top, clip.top);
    const int64_t right = std::min<int64_t>(int64_t(r.right) + 1, clip.right);
    const int64_t bottom = std::min<int64_t>(int64_t(r.bottom) + 1, clip.bottom);
    if (left >= right || top >= bottom)
        return r;
    return {ClampToInt(left), ClampToInt(top), ClampToInt(right - 1), ClampToInt(bottom - 1)};
}

} // namespace _8PART_NS
