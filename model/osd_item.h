#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "model/osd_record.h"

// One input's OSD item as the store keeps it.
struct tagOSD_DATA_EX_S {
    tagOSD_DATA_EX2 osd;
    int32_t item = 0; // index of the input on its board, 0 to 3
    int32_t left = 0; // pair E: caption position in input pixels
    int32_t top = 0;
    int32_t timeShown = 0; // value F
    int32_t timeLeft = 0;  // pair G
    int32_t timeTop = 0;
    int32_t timeWidth = 255;
    int32_t timeHeight = 127;
    int32_t fontSize = 1; // value H: 0 small, 1 medium, 2 large
};

// The items of one input board (board 0 first).
struct tagOSDBoard {
    int32_t id = 0;
    std::vector<std::shared_ptr<tagOSD_DATA_EX_S>> items;
};

// The flat form of an item that the OSD editor works on and the file
// records are read into.
struct tagOSD_DATA_EX2_S {
    tagOSD_DATA_EX2 osd;
    int32_t input = 0; // board id
    int32_t item = 0;  // item index
    int32_t left = 0;  // pair E
    int32_t top = 0;
    int32_t inputWidth = 0;
    int32_t inputHeight = 0;
    int32_t inputRate = 0;
    int32_t timeShown = 0; // value F
    int32_t timeLeft = 0;  // pair G
    int32_t timeTop = 0;
    int32_t timeRectLeft = 0; // time window 0, 0, width, height
    int32_t timeRectTop = 0;
    int32_t timeRectRight = 0;
    int32_t timeRectBottom = 0;
    int32_t fontSize = 0; // value H
    int32_t timeMode = 0; // 0, 1 or 2
};

// The stored form of a flat record: its OSD, the bitmap only with a
// rectangle OsdRecordSetBitmap accepts, and its placement.
tagOSD_DATA_EX_S StoredItemOf(const tagOSD_DATA_EX2_S& record);
// The other way: the flat record of a stored item of board `input`, with no
// input size (0 x 0 at 60 Hz) and time mode 0, which the store does not keep.
tagOSD_DATA_EX2_S FlatItemOf(const tagOSD_DATA_EX_S& item, int32_t input);

// Fills a flat record from its parts. The bitmap is copied when its
// rectangle is accepted (see OsdRecordSetBitmap); otherwise the record keeps
// the default 256 x 128 bitmap and rectangle.
void InitOsdData(tagOSD_DATA_EX2_S& record, int32_t input, int32_t item, int32_t left, int32_t top, int32_t bitmapLeft,
                 int32_t bitmapTop, int32_t bitmapRight, int32_t bitmapBottom, int32_t background, int32_t captionColor,
                 int32_t transparent, int32_t shown, std::span<const uint8_t> bits, int32_t inputWidth,
                 int32_t inputHeight, int32_t inputRate, int32_t timeShown, int32_t timeLeft, int32_t timeTop,
                 int32_t timeWidth, int32_t timeHeight, int32_t fontSize, int32_t timeMode);
