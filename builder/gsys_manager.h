#pragma once
#include "builder/gsystem.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>

namespace _8PART_NS {

// A frame-buffer area handed out by the manager. Holders that share it
// raise useCount; each holder releases it once through Release.
struct GAllocation {
    int32_t board = 0;
    int32_t index = 0;
    const Rect* rect = nullptr;
    CGSystem* system = nullptr;
    int32_t useCount = 1;
};

// The G systems of each board of the selected 8-part processor.
// Process-wide: created on first use, destroyed only by Destroy, which the
// shut-down sequence calls.
class C8PartGSysManager {
public:
    using Factory = CGSystem* (*)(const int32_t* parameters);
    using Deleter = void (*)(CGSystem*);

    struct Row {
        int32_t board;
        int32_t index;
        Factory factory;
        const int32_t* parameters;
        Deleter deleter;
    };

    static C8PartGSysManager& Instance();
    static void Destroy();

    virtual ~C8PartGSysManager();

    int32_t Mode() const { return mode_; }
    // The processor's algorithm id; 1 selects the slot allocators.
    void SetMode(int32_t mode) { mode_ = mode; }

    // Builds the G systems of the selected processor's model.
    void Build();
    // Destroys every G system through its deleter; outstanding allocations
    // go with them.
    void Clear();

    // With part 1 only G indices 0 and 1 are tried, with part 2 those from
    // 2 on, with any other value every G system of the board, in index order.
    GAllocation* Allocate(int32_t board, int32_t part, int32_t width, int32_t height);
    // Releases one holder's share; the last share gives the rectangle back
    // to its G system. Null, or a record this manager does not hold,
    // changes nothing.
    void Release(GAllocation* allocation);

    size_t BoardCount() const { return boards_.size(); }
    size_t SystemCount() const;
    // The G system of that board and index, or null.
    CGSystem* System(int32_t board, int32_t index) const;
    size_t OutstandingAllocations() const { return allocations_.size(); }

private:
    C8PartGSysManager() = default;

    struct Element {
        CGSystem* system;
        Deleter deleter;
    };
    // Board key -> G index -> G system.
    std::map<int32_t, std::map<int32_t, Element>> boards_;
    std::unordered_map<const GAllocation*, std::unique_ptr<GAllocation>> allocations_;
    int32_t mode_ = 0;

    static C8PartGSysManager* instance_;
};

} // namespace _8PART_NS
