#pragma once
#include <cstdint>
#include <memory>

namespace qz::vok {

// A zero-filled byte block whose copies share one storage; the unit a
// channel queues for sending and the storage behind binary_builder.
class binblock {
public:
    binblock() = default;
    explicit binblock(uint32_t length);
    binblock(const void* data, uint32_t length);
    virtual ~binblock() = default;

    binblock(const binblock&) = default;
    binblock& operator=(const binblock&) = default;

    uint8_t* data() const { return bytes_.get(); }
    uint32_t length() const { return length_; }
    bool empty() const { return length_ == 0; }

private:
    std::shared_ptr<uint8_t[]> bytes_;
    uint32_t length_ = 0;
};

} // namespace qz::vok
