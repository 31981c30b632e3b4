#pragma once
// Whether a source's size is a picture's. None reported is 0 x 0, and a
// damaged reply can leave a negative one: every builder treats a source
// without a positive width and height as one without signal, and never
// sends that size to the processor.
#include <cstdint>

#include "model/model_values.h"

inline bool HasSignalSize(int32_t width, int32_t height)
{
    return width > 0 && height > 0;
}
inline bool HasSignalSize(const Resolution& size)
{
    return HasSignalSize(size.width, size.height);
}

// The size a builder reads of a source: its own, or 0 x 0 without signal.
inline Resolution SignalSizeOf(const Resolution& size)
{
    return HasSignalSize(size) ? size : Resolution{0, 0, size.rate};
}
