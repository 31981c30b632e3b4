#include "plan/osd_picture.h"

#include "context/context.h"
#include "core/program_log.h"
#include "platform/image/mono_picture.h"

int LoadScaledBitmap(const std::string& path, int32_t width, int32_t height, std::vector<uint8_t>& bits)
{
    std::string error;
    auto picture = platform::LoadMonoPicture(path, width, height, &error);
    // The bitmap format has no stride of its own: rows must be exactly the
    // padded width the record expects.
    const size_t expected = OsdBitmapBytes(width, height);
    if (picture &&
        (size_t(picture->stride) * size_t(picture->height) != expected || picture->bits.size() != expected)) {
        picture.reset();
        error = "unexpected row layout";
    }
    if (!picture) {
        CQelContext::GetLog()->warn("Cannot import the picture %s: %s", path.c_str(), error.c_str());
        return 1;
    }
    bits = std::move(picture->bits);
    return 0;
}

int OsdRecordFromPicture(tagOSD_DATA_EX2& record, const std::string& path)
{
    std::vector<uint8_t> bits;
    if (LoadScaledBitmap(path, kOsdMaxWidth, kOsdMaxHeight, bits) != 0)
        return 1;
    return OsdRecordSetBitmap(record, bits, 0, 0, kOsdMaxWidth, kOsdMaxHeight) ? 0 : 1;
}
