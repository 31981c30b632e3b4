#include "model/osd_item.h"

void InitOsdData(tagOSD_DATA_EX2_S& record, int32_t input, int32_t item, int32_t left, int32_t top, int32_t bitmapLeft,
                 int32_t bitmapTop, int32_t bitmapRight, int32_t bitmapBottom, int32_t background, int32_t captionColor,
                 int32_t transparent, int32_t shown, std::span<const uint8_t> bits, int32_t inputWidth,
                 int32_t inputHeight, int32_t inputRate, int32_t timeShown, int32_t timeLeft, int32_t timeTop,
                 int32_t timeWidth, int32_t timeHeight, int32_t fontSize, int32_t timeMode)
{
    OsdRecordInit(record.osd);
    record.osd.background = background;
    record.osd.captionColor = captionColor;
    record.osd.transparent = transparent;
    record.osd.shown = shown;
    record.input = input;
    record.item = item;
    record.left = left;
    record.top = top;
    record.inputWidth = inputWidth;
    record.inputHeight = inputHeight;
    record.inputRate = inputRate;
    record.timeShown = timeShown;
    record.timeLeft = timeLeft;
    record.timeTop = timeTop;
    record.timeRectLeft = 0;
    record.timeRectTop = 0;
    record.timeRectRight = timeWidth;
    record.timeRectBottom = timeHeight;
    record.fontSize = fontSize;
    record.timeMode = timeMode;
    // The rectangle travels with the bitmap, so a refused one leaves both at
    // their defaults.
    OsdRecordSetBitmap(record.osd, bits, bitmapLeft, bitmapTop, bitmapRight, bitmapBottom);
}

tagOSD_DATA_EX_S StoredItemOf(const tagOSD_DATA_EX2_S& record)
{
    tagOSD_DATA_EX_S item;
    item.item = record.item;
    item.osd.background = record.osd.background;
    item.osd.captionColor = record.osd.captionColor;
    item.osd.transparent = record.osd.transparent;
    item.osd.shown = record.osd.shown;
    OsdRecordSetBitmap(item.osd, record.osd.bitmap, record.osd.left, record.osd.top, record.osd.right,
                       record.osd.bottom);
    item.left = record.left;
    item.top = record.top;
    item.timeShown = record.timeShown;
    item.timeLeft = record.timeLeft;
    item.timeTop = record.timeTop;
    item.timeWidth = record.timeRectRight - record.timeRectLeft;
    item.timeHeight = record.timeRectBottom - record.timeRectTop;
    item.fontSize = record.fontSize;
    return item;
}

tagOSD_DATA_EX2_S FlatItemOf(const tagOSD_DATA_EX_S& item, int32_t input)
{
    tagOSD_DATA_EX2_S record;
    InitOsdData(record, input, item.item, item.left, item.top, item.osd.left, item.osd.top, item.osd.right,
                item.osd.bottom, item.osd.background, item.osd.captionColor, item.osd.transparent, item.osd.shown,
                item.osd.bitmap, 0, 0, 60, item.timeShown, item.timeLeft, item.timeTop, item.timeWidth, item.timeHeight,
                item.fontSize, 0);
    return record;
}
