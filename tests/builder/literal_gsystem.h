#pragma once
// A literal copy of the first-fit scans, step by step as the processor's
// allocator is described, without any shortcut. The production G systems
// must give the same rectangles; it is also the benchmark's baseline.
#include "builder/builder_rects.h"

#include <algorithm>
#include <set>
#include <vector>

namespace literal {

using _8PART_NS::IntersectRects;
using _8PART_NS::IsRectEmpty;
using _8PART_NS::PtInRect;

class GSystem {
public:
    // maximum 0: plain first fit; otherwise the two-windows-per-segment form.
    GSystem(int width, int height, unsigned maximum = 0) : width_(width), height_(height), maximum_(maximum) {}

    // Index of the allocation, or -1.
    int Allocate(int w, int h, Rect* out)
    {
        const Rect r = maximum_ ? FindFreeSeg(w, h) : FindFreePlain(w, h);
        if (IsRectEmpty(r))
            return -1;
        set_.push_back(r);
        ids_.push_back(next_);
        *out = r;
        return next_++;
    }

    void Free(int id)
    {
        for (size_t i = 0; i < ids_.size(); ++i) {
            if (ids_[i] == id) {
                set_.erase(set_.begin() + long(i));
                ids_.erase(ids_.begin() + long(i));
                return;
            }
        }
    }

    static unsigned CountSegments(const std::vector<Rect>& rects)
    {
        std::set<int> e{0};
        for (const Rect& r : rects) {
            if (r.top <= 2400) {
                e.insert(r.top);
                if (r.bottom <= 2400)
                    e.insert(r.bottom);
            }
        }
        unsigned count = 0;
        int prev = 0;
        bool fresh = true;
        for (int v : e) {
            if (v == 0)
                continue;
            if (fresh || v != prev + 1) {
                count += 1;
                fresh = false;
            } else {
                fresh = true;
            }
            prev = v;
        }
        return count;
    }

private:
    bool Fits(Rect& c) const
    {
        const int bx = c.right - 1;
        const int by = c.bottom - 1;
        if (!(bx >= 0 && bx < width_ && by >= 0 && by < height_)) {
            c = Rect{};
            return false;
        }
        for (const Rect& r : set_) {
            Rect i;
            if (IntersectRects(c, r, &i)) {
                c = i;
                return false;
            }
        }
        return true;
    }

    void Jump(const Rect& c, int& x) const
    {
        const int e = IsRectEmpty(c) ? width_ : c.right;
        if (e - 1 > x)
            x = e - 1;
        x = x + 1;
    }

    Rect FindFreePlain(int w, int h) const
    {
        for (int y = 0; y < height_; ++y) {
            int x = 0;
            while (x < width_) {
                Rect c{x, y, x + w, y + h};
                if (Fits(c))
                    return c;
                Jump(c, x);
            }
        }
        return {};
    }

    bool SegmentRule(const Rect& c, unsigned count) const
    {
        std::vector<Rect> with = set_;
        with.push_back(c);
        const unsigned c2 = CountSegments(with);
        return c2 <= count + 1 && c2 <= maximum_;
    }

    Rect FindFreeSeg(int w, int h) const
    {
        const unsigned count = CountSegments(set_);
        if (count >= maximum_)
            return {};
        for (int y = 0; y < height_; ++y) {
            const Rect strip{0, y, width_, y + 1};
            int n = 0;
            for (const Rect& r : set_)
                if (IntersectRects(r, strip))
                    ++n;
            if (n >= 2)
                continue;
            const Rect* left = nullptr;
            for (const Rect& r : set_) {
                if (PtInRect(r, 0, y)) {
                    left = &r;
                    break;
                }
            }
            if (left) {
                const int lw = left->right - left->left;
                Rect c{lw, y, lw + w, y + h};
                const Rect asked = c;
                if (Fits(c) && SegmentRule(asked, count))
                    return asked;
                continue;
            }
            int x = 0;
            while (x < width_) {
                Rect c{x, y, x + w, y + h};
                if (!Fits(c)) {
                    Jump(c, x);
                    continue;
                }
                if (!SegmentRule(c, count)) {
                    x = x + 1;
                    continue;
                }
                return c;
            }
        }
        return {};
    }

    int width_;
    int height_;
    unsigned maximum_;
    std::vector<Rect> set_;
    std::vector<int> ids_;
    int next_ = 0;
};

} // namespace literal
