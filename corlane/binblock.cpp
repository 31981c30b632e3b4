#include "corlane/binblock.h"

#include <cstring>

namespace qz::vok {

binblock::binblock(uint32_t length)
{
    if (length > 0) {
        bytes_ = std::make_shared<uint8_t[]>(length); // value-initialised: zero-filled
        length_ = length;
    }
}

binblock::binblock(const void* data, uint32_t length) : binblock(length)
{
    if (length > 0)
        std::memcpy(bytes_.get(), data, length);
}

} // namespace qz::vok
