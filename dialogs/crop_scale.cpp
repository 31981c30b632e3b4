#include "dialogs/crop_scale.h"

#include <algorithm>

CropPreview::CropPreview(Size source, Size area)
    : source_{std::max(source.cx, 1), std::max(source.cy, 1)}, area_{std::max(area.cx, 1), std::max(area.cy, 1)}
{
}

Rect CropPreview::ToArea(const CropEdges& crop) const
{
    const int64_t w = source_.cx;
    const int64_t h = source_.cy;
    const int64_t left = std::clamp<int64_t>(crop.left, 0, w);
    const int64_t top = std::clamp<int64_t>(crop.top, 0, h);
    const int64_t right = std::clamp<int64_t>(crop.right, left, w);
    const int64_t bottom = std::clamp<int64_t>(crop.bottom, top, h);
    return Rect{int32_t(left * area_.cx / w), int32_t(top * area_.cy / h), int32_t(right * area_.cx / w),
                int32_t(bottom * area_.cy / h)};
}

int32_t CropPreview::ToSourceX(int64_t x) const
{
    return int32_t(std::clamp<int64_t>(x, 0, area_.cx) * source_.cx / area_.cx);
}

int32_t CropPreview::ToSourceY(int64_t y) const
{
    return int32_t(std::clamp<int64_t>(y, 0, area_.cy) * source_.cy / area_.cy);
}

Rect CropPreview::Moved(const Rect& crop, Point pos) const
{
    const int32_t left = ToSourceX(pos.x);
    const int32_t top = ToSourceY(pos.y);
    const int64_t width = std::max<int64_t>(int64_t(crop.right) - crop.left, 0);
    const int64_t height = std::max<int64_t>(int64_t(crop.bottom) - crop.top, 0);
    return Rect{left, top, int32_t(std::min<int64_t>(left + width, source_.cx)),
                int32_t(std::min<int64_t>(top + height, source_.cy))};
}

Rect CropPreview::Sized(const Rect& crop, Size size) const
{
    Rect r = crop;
    r.right = int32_t(std::min<int64_t>(int64_t(ToSourceX(size.cx)) + crop.left, source_.cx));
    r.bottom = int32_t(std::min<int64_t>(int64_t(ToSourceY(size.cy)) + crop.top, source_.cy));
    return r;
}
