#include "builder/gsys_manager.h"

#include "builder/model_table.h"

#include <array>
#include <iterator>
#include <new>

namespace _8PART_NS {

namespace {

using Row = C8PartGSysManager::Row;

constexpr int32_t kSlotMode = 1;
constexpr int32_t kGPerBoard = 4;

// Width, height and maximum segments, shared by every row.
constexpr int32_t kGParameters[] = {1920, 2400, 5};

CGSystem* MakeSegmentSystem(const int32_t* p)
{
    return new CTwoWndPerSegGSystem(p[0], p[1], uint32_t(p[2]));
}

CGSystem* MakeSlotSystem(const int32_t* p)
{
    return new CTwoWndPerGTPGSystem(p[0], p[1]);
}

void DeleteSystem(CGSystem* g)
{
    delete g;
}

template <size_t N>
constexpr std::array<Row, N> MakeRows(int32_t boards, int32_t perBoard, C8PartGSysManager::Factory factory)
{
    std::array<Row, N> rows{};
    size_t i = 0;
    for (int32_t board = 0; board < boards; ++board)
        for (int32_t index = 0; index < perBoard; ++index)
            rows[i++] = Row{board, index, factory, kGParameters, DeleteSystem};
    if (i != N)
        throw "row count does not match the table";
    return rows;
}

constexpr auto kModel7Segments = MakeRows<4>(2, 2, MakeSegmentSystem);
constexpr auto kModel8Segments = MakeRows<16>(4, kGPerBoard, MakeSegmentSystem);
constexpr auto kModel10Segments = MakeRows<36>(9, kGPerBoard, MakeSegmentSystem);
constexpr auto kModel7Slots = MakeRows<4>(2, 2, MakeSlotSystem);
constexpr auto kModel8Slots = MakeRows<16>(4, kGPerBoard, MakeSlotSystem);
constexpr auto kModel10Slots = MakeRows<36>(9, kGPerBoard, MakeSlotSystem);

// Model 9 has no G systems.
constexpr ModelTable<Row> kSegmentTables[] = {
    {7, kModel7Segments.size(), kModel7Segments.data()},
    {8, kModel8Segments.size(), kModel8Segments.data()},
    {10, kModel10Segments.size(), kModel10Segments.data()},
};
constexpr ModelTable<Row> kSlotTables[] = {
    {7, kModel7Slots.size(), kModel7Slots.data()},
    {8, kModel8Slots.size(), kModel8Slots.data()},
    {10, kModel10Slots.size(), kModel10Slots.data()},
};

bool PartTries(int32_t part, int32_t index)
{
    if (part == 1)
        return index == 0 || index == 1;
    if (part == 2)
        return index >= 2;
    return true;
}

} // namespace

C8PartGSysManager* C8PartGSysManager::instance_ = nullptr;

C8PartGSysManager& C8PartGSysManager::Instance()
{
    if (!instance_)
        instance_ = new C8PartGSysManager;
    return *instance_;
}

void C8PartGSysManager::Destroy()
{
    delete instance_;
    instance_ = nullptr;
}

C8PartGSysManager::~C8PartGSysManager()
{
    Clear();
}

void C8PartGSysManager::Build()
{
    const ModelTable<Row>* table = mode_ == kSlotMode ? SelectModelTable(kSlotTables, std::size(kSlotTables))
                                                      : SelectModelTable(kSegmentTables, std::size(kSegmentTables));
    if (!table)
        return;
    for (size_t i = 0; i < table->rowCount; ++i) {
        const Row& row = table->rows[i];
        CGSystem* g = row.factory(row.parameters);
        if (!g)
            continue;
        try {
            auto inserted = boards_[row.board].try_emplace(row.index, Element{g, row.deleter});
            if (!inserted.second)
                row.deleter(g); // the index is taken already
        } catch (const std::bad_alloc&) {
            row.deleter(g);
        }
    }
}

void C8PartGSysManager::Clear()
{
    // Allocations point into the G systems: they go first.
    allocations_.clear();
    for (auto& [board, systems] : boards_)
        for (auto& [index, element] : systems)
            element.deleter(element.system);
    boards_.clear();
}

GAllocation* C8PartGSysManager::Allocate(int32_t board, int32_t part, int32_t width, int32_t height)
{
    auto found = boards_.find(board);
    if (found == boards_.end())
        return nullptr;
    for (auto& [index, element] : found->second) {
        if (!PartTries(part, index))
            continue;
        const Rect* rect = element.system->Allocate(width, height);
        if (!rect)
            continue;
        auto record = std::make_unique<GAllocation>();
        record->board = board;
        record->index = index;
        record->rect = rect;
        record->system = element.system;
        record->useCount = 1;
        GAllocation* handle = record.get();
        allocations_.emplace(handle, std::move(record));
        return handle;
    }
    return nullptr;
}

void C8PartGSysManager::Release(GAllocation* allocation)
{
    auto held = allocations_.find(allocation);
    if (held == allocations_.end())
        return;
    if (--allocation->useCount > 0)
        return;
    allocation->system->Free(allocation->rect);
    allocations_.erase(held);
}

size_t C8PartGSysManager::SystemCount() const
{
    size_t n = 0;
    for (const auto& [board, systems] : boards_)
        n += systems.size();
    return n;
}

CGSystem* C8PartGSysManager::System(int32_t board, int32_t index) const
{
    auto b = boards_.find(board);
    if (b == boards_.end())
        return nullptr;
    auto g = b->second.find(index);
    return g == b->second.end() ? nullptr : g->second.system;
}

} // namespace _8PART_NS
