#include "builder/gsystem.h"

#include <algorithm>

namespace _8PART_NS {

namespace {

// Edges below this line count as segments, whatever the area's height.
constexpr int64_t kSegmentEdgeLimit = 2400;

void AddSegmentEdges(std::vector<int64_t>& edges, int64_t top, int64_t bottom)
{
    if (top > kSegmentEdgeLimit)
        return;
    edges.push_back(top);
    if (bottom <= kSegmentEdgeLimit)
        edges.push_back(bottom);
}

// Walks the distinct edges upwards; of a run of consecutive lines every
// second one counts, starting with the first.
uint32_t CountEdges(std::vector<int64_t>& edges)
{
    edges.push_back(0);
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    uint32_t count = 0;
    int64_t prev = 0;
    bool fresh = true;
    for (int64_t v : edges) {
        if (v == 0)
            continue;
        if (fresh || v != prev + 1) {
            ++count;
            fresh = false;
        } else {
            fresh = true;
        }
        prev = v;
    }
    return count;
}

bool Overlaps(const Rect& r, int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return !IsRectEmpty(r) && left < right && top < bottom &&
           std::max<int64_t>(r.left, left) < std::min<int64_t>(r.right, right) &&
           std::max<int64_t>(r.top, top) < std::min<int64_t>(r.bottom, bottom);
}

} // namespace

CGSystem::CGSystem(int32_t width, int32_t height) : width_(std::max(width, 0)), height_(std::max(height, 0)) {}

CGSystem::~CGSystem()
{
    CGSystem::Reset();
}

void CGSystem::Reset()
{
    allocated_.clear();
}

const Rect* CGSystem::Allocate(int32_t width, int32_t height)
{
    const Rect found = FindFree(width, height);
    if (IsRectEmpty(found))
        return nullptr;
    allocated_.push_back(std::make_unique<Rect>(found));
    return allocated_.back().get();
}

void CGSystem::Free(const Rect* rect)
{
    auto it = std::find_if(allocated_.begin(), allocated_.end(),
                           [rect](const std::unique_ptr<Rect>& p) { return p.get() == rect; });
    if (it != allocated_.end())
        allocated_.erase(it);
}

Rect CGSystem::FindFree(int32_t width, int32_t height)
{
    if (!RequestCanFit(width, height))
        return {};
    for (int64_t y = 0; y < height_; y = NextFreedLine(y)) {
        int64_t x = 0;
        while (x < width_) {
            const Box candidate{x, y, x + width, y + height};
            if (Fits(candidate, &x))
                return ToRect(candidate);
        }
    }
    return {};
}

int64_t CGSystem::NextFreedLine(int64_t y) const
{
    int64_t next = height_;
    for (const auto& r : allocated_)
        if (!IsRectEmpty(*r) && r->bottom > y && r->bottom < next)
            next = r->bottom;
    return next;
}

Rect CGSystem::ToRect(const Box& b)
{
    return {ClampToInt(b.left), ClampToInt(b.top), ClampToInt(b.right), ClampToInt(b.bottom)};
}

// The scans would find nothing for these; refusing them up front also keeps
// every candidate edge within twice the area.
bool CGSystem::RequestCanFit(int32_t width, int32_t height) const
{
    return width > 0 && height > 0 && width <= width_ && height <= height_;
}

bool CGSystem::Fits(const Box& c, int64_t* resumeX) const
{
    const int64_t lastX = c.right - 1;
    const int64_t lastY = c.bottom - 1;
    if (lastX < 0 || lastX >= width_ || lastY < 0 || lastY >= height_) {
        *resumeX = width_;
        return false;
    }
    for (const auto& r : allocated_) {
        if (Overlaps(*r, c.left, c.top, c.right, c.bottom)) {
            *resumeX = r->right;
            return false;
        }
    }
    return true;
}

CTwoWndPerSegGSystem::CTwoWndPerSegGSystem(int32_t width, int32_t height, uint32_t maximum)
    : CGSystemEx(width, height), maximum_(maximum)
{
}

uint32_t CTwoWndPerSegGSystem::CountSegments(const std::vector<Rect>& rects)
{
    std::vector<int64_t> edges;
    edges.reserve(rects.size() * 2 + 1);
    for (const Rect& r : rects)
        AddSegmentEdges(edges, r.top, r.bottom);
    return CountEdges(edges);
}

bool CTwoWndPerSegGSystem::SegmentRuleHolds(const Box& candidate, uint32_t current) const
{
    std::vector<int64_t> edges;
    edges.reserve(allocated().size() * 2 + 3);
    for (const auto& r : allocated())
        AddSegmentEdges(edges, r->top, r->bottom);
    AddSegmentEdges(edges, candidate.top, candidate.bottom);
    const uint32_t after = CountEdges(edges);
    return after <= uint64_t(current) + 1 && after <= maximum_;
}

Rect CTwoWndPerSegGSystem::FindFree(int32_t width, int32_t height)
{
    std::vector<Rect> current;
    current.reserve(allocated().size());
    for (const auto& r : allocated())
        current.push_back(*r);
    const uint32_t segments = CountSegments(current);
    if (segments >= maximum_ || !RequestCanFit(width, height))
        return {};

    const int32_t areaWidth = Width();
    int64_t y = 0;
    while (y < Height()) {
        int crossing = 0;
        const Rect* onLeftEdge = nullptr;
        for (const auto& r : allocated()) {
            if (Overlaps(*r, 0, y, areaWidth, y + 1))
                ++crossing;
            if (!onLeftEdge && PtInRect(*r, 0, y))
                onLeftEdge = r.get();
        }
        if (crossing >= 2) {
            y = NextFreedLine(y);
            continue;
        }

        // Only the segment rule reads the exact line: a line refused by
        // it alone is followed by the next one.
        bool refusedBySegments = false;
        int64_t resume = 0;
        if (onLeftEdge) {
            // The only place on this line is right beside the window there.
            const int64_t x = RectWidth(*onLeftEdge);
            const Box candidate{x, y, x + width, y + height};
            if (Fits(candidate, &resume)) {
                if (SegmentRuleHolds(candidate, segments))
                    return ToRect(candidate);
                refusedBySegments = true;
            }
        } else {
            int64_t x = 0;
            while (x < areaWidth) {
                const Box candidate{x, y, x + width, y + height};
                if (!Fits(candidate, &x))
                    continue;
                // The rule reads only the candidate's top and bottom, so it
                // fails for every x of this line.
                if (SegmentRuleHolds(candidate, segments))
                    return ToRect(candidate);
                refusedBySegments = true;
                break;
            }
        }
        y = refusedBySegments ? y + 1 : NextFreedLine(y);
    }
    return {};
}

CTwoWndPerGTPGSystem::CTwoWndPerGTPGSystem(int32_t width, int32_t height) : CGSystemEx(width, height)
{
    const int32_t count = Height() / kSlotHeight;
    slots_.resize(size_t(count));
    for (int32_t k = 0; k < count; ++k)
        slots_[size_t(k)].slot = {0, k * kSlotHeight, Width(), k * kSlotHeight + kSlotHeight};
}

CTwoWndPerGTPGSystem::~CTwoWndPerGTPGSystem()
{
    CTwoWndPerGTPGSystem::Reset();
}

void CTwoWndPerGTPGSystem::Reset()
{
    CGSystem::Reset();
    for (Slot& s : slots_)
        s.used = 0;
}

const Rect* CTwoWndPerGTPGSystem::Allocate(int32_t width, int32_t height)
{
    if (width < 0 || height < 0)
        return nullptr;
    for (Slot& s : slots_) {
        if (s.used || RectWidth(s.slot) < width || RectHeight(s.slot) < height)
            continue;
        s.used = 1;
        s.allocated = {s.slot.left, s.slot.top, s.slot.left + width, s.slot.top + height};
        return &s.allocated;
    }
    return nullptr;
}

void CTwoWndPerGTPGSystem::Free(const Rect* rect)
{
    for (Slot& s : slots_) {
        if (&s.allocated == rect) {
            s.used = 0;
            return;
        }
    }
}

} // namespace _8PART_NS
