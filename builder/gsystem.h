#pragma once
#include "builder/builder_rects.h"

#include <cstdint>
#include <memory>
#include <vector>

// Frame-buffer rectangle allocators ("G systems"): each hands out
// non-overlapping rectangles of a fixed pixel area, the part of a processor's
// frame buffer into which one scaled window piece is written.
namespace _8PART_NS {

// Plain first fit: the lowest line, then the leftmost x, where the request
// fits. The address of a returned rectangle is the handle for Free.
class CGSystem {
public:
    CGSystem(int32_t width, int32_t height);
    virtual ~CGSystem();
    CGSystem(const CGSystem&) = delete;
    CGSystem& operator=(const CGSystem&) = delete;

    virtual void Reset();
    // Null when nothing fits; a request of width or height <= 0 never fits.
    virtual const Rect* Allocate(int32_t width, int32_t height);
    // An address this system did not hand out changes nothing.
    virtual void Free(const Rect* rect);
    // The empty rectangle when nothing fits.
    virtual Rect FindFree(int32_t width, int32_t height);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

protected:
    // A candidate in 64 bits: x + width may pass the int range.
    struct Box {
        int64_t left, top, right, bottom;
    };

    static Rect ToRect(const Box& b);
    bool RequestCanFit(int32_t width, int32_t height) const;
    // True when the candidate lies in the area and overlaps nothing. When it
    // fails, *resumeX is the next x of the line worth testing: the right edge
    // of the rectangle it overlaps (every x before that overlaps it too), or
    // the area's width when the candidate leaves the area.
    bool Fits(const Box& candidate, int64_t* resumeX) const;
    // The first window bottom below y, or the area's height. Before it no
    // window leaves a line or a candidate moved down from y, windows only
    // join: where nothing fits at y, nothing fits until then.
    int64_t NextFreedLine(int64_t y) const;
    const std::vector<std::unique_ptr<Rect>>& allocated() const { return allocated_; }

private:
    std::vector<std::unique_ptr<Rect>> allocated_;
    int32_t width_;
    int32_t height_;
};

class CGSystemEx : public CGSystem {
public:
    using CGSystem::CGSystem;
};

// First fit with at most two windows crossing any line and a limit on the
// number of horizontal segment edges.
class CTwoWndPerSegGSystem : public CGSystemEx {
public:
    CTwoWndPerSegGSystem(int32_t width, int32_t height, uint32_t maximum);

    Rect FindFree(int32_t width, int32_t height) override;

    uint32_t Maximum() const { return maximum_; }
    // Distinct top and bottom edges up to line 2400; edges one line apart
    // count once.
    static uint32_t CountSegments(const std::vector<Rect>& rects);

private:
    bool SegmentRuleHolds(const Box& candidate, uint32_t current) const;

    uint32_t maximum_;
};

// Fixed full-width slots of 1200 lines, one window each.
class CTwoWndPerGTPGSystem : public CGSystemEx {
public:
    static constexpr int32_t kSlotHeight = 1200;

    CTwoWndPerGTPGSystem(int32_t width, int32_t height);
    ~CTwoWndPerGTPGSystem() override;

    void Reset() override;
    // A zero width or height still takes a slot, at the slot's corner.
    const Rect* Allocate(int32_t width, int32_t height) override;
    void Free(const Rect* rect) override;

    size_t SlotCount() const { return slots_.size(); }

private:
    struct Slot {
        Rect slot;
        Rect allocated;
        uint32_t used = 0;
    };
    // Sized once: Allocate hands out addresses into it.
    std::vector<Slot> slots_;
};

} // namespace _8PART_NS
