#include "model/osd_record.h"

namespace {

constexpr uint8_t kDefaultBitmapByte = 0xFF;

} // namespace

tagOSD_DATA_EX2::tagOSD_DATA_EX2()
{
    OsdRecordInit(*this);
}

size_t OsdBitmapBytes(int64_t width, int64_t height)
{
    if (width <= 0 || height <= 0)
        return 0;
    return static_cast<size_t>((width + 31) / 32 * 4 * height);
}

void OsdRecordInit(tagOSD_DATA_EX2& record)
{
    record.background = 0;
    record.captionColor = 0xFFFFFF;
    record.transparent = 1;
    record.shown = 1;
    record.left = 0;
    record.top = 0;
    record.right = kOsdMaxWidth;
    record.bottom = kOsdMaxHeight;
    record.bitmap.assign(OsdBitmapBytes(kOsdMaxWidth, kOsdMaxHeight), kDefaultBitmapByte);
}

void OsdRecordFree(tagOSD_DATA_EX2& record)
{
    record.bitmap.clear();
    record.bitmap.shrink_to_fit();
}

bool OsdRecordSetBitmap(tagOSD_DATA_EX2& record, std::span<const uint8_t> bits, int32_t left, int32_t top,
                        int32_t right, int32_t bottom)
{
    if (left != 0 || top != 0 || right < 0 || bottom < 0 || right > kOsdMaxWidth || bottom > kOsdMaxHeight)
        return false;
    const size_t bytes = OsdBitmapBytes(right, bottom);
    if (bits.size() < bytes)
        return false;
    // Copy first: `bits` may be the record's own bitmap.
    std::vector<uint8_t> copy(bits.begin(), bits.begin() + static_cast<std::ptrdiff_t>(bytes));
    record.bitmap = std::move(copy);
    record.left = left;
    record.top = top;
    record.right = right;
    record.bottom = bottom;
    return true;
}
