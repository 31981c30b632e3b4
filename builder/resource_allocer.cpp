#include "builder/resource_allocer.h"

#include "builder/model_table.h"

#include <array>
#include <initializer_list>
#include <iterator>

namespace _8PART_NS {

namespace {

using Entry = C8PartResourceAllocer::Entry;

constexpr int32_t kResourcesPerBoard = 4;

struct Boards {
    int32_t first, last;
};

// Every scaler row first, boards ascending, then every port row; index 0..3
// on each board.
template <size_t N>
constexpr std::array<Entry, N> MakeRows(std::initializer_list<Boards> scalerBoards,
                                        std::initializer_list<Boards> portBoards)
{
    std::array<Entry, N> rows{};
    size_t i = 0;
    auto add = [&](std::initializer_list<Boards> boards, int32_t kind) {
        for (const Boards& range : boards)
            for (int32_t board = range.first; board <= range.last; ++board)
                for (int32_t index = 0; index < kResourcesPerBoard; ++index)
                    rows[i++] = Entry{1, board, kind, 1, index};
    };
    add(scalerBoards, C8PartResourceAllocer::kKindScaler);
    add(portBoards, C8PartResourceAllocer::kKindPort);
    if (i != N)
        throw "row count does not match the table";
    return rows;
}

constexpr auto kModel7Rows = MakeRows<24>({{0, 3}}, {{2, 3}});
constexpr auto kModel8Rows = MakeRows<48>({{0, 3}, {9, 12}}, {{9, 12}});
constexpr auto kModel9Rows = MakeRows<4>({{0, 0}}, {});
constexpr auto kModel10Rows = MakeRows<108>({{0, 17}}, {{9, 17}});

constexpr ModelTable<Entry> kResourceTables[] = {
    {7, kModel7Rows.size(), kModel7Rows.data()},
    {8, kModel8Rows.size(), kModel8Rows.data()},
    {9, kModel9Rows.size(), kModel9Rows.data()},
    {10, kModel10Rows.size(), kModel10Rows.data()},
};

} // namespace

C8PartResourceAllocer* C8PartResourceAllocer::instance_ = nullptr;

C8PartResourceAllocer& C8PartResourceAllocer::Instance()
{
    if (!instance_)
        instance_ = new C8PartResourceAllocer;
    return *instance_;
}

void C8PartResourceAllocer::Destroy()
{
    delete instance_;
    instance_ = nullptr;
}

C8PartResourceAllocer::~C8PartResourceAllocer() = default;

void C8PartResourceAllocer::ClearTable()
{
    table_.clear();
    // A reservation of the old table must not free an entry of the new one.
    records_.clear();
}

void C8PartResourceAllocer::Init()
{
    for (uint32_t a = 0; a <= 1; ++a)
        for (uint32_t b = 0; b <= 1; ++b)
            for (uint32_t c = 2; c <= 3; ++c)
                lookup_.try_emplace({a, b, c}, Lookup{a, b, c, int32_t(2 * a + b)});

    const ModelTable<Entry>* rows = SelectModelTable(kResourceTables, std::size(kResourceTables));
    if (!rows)
        return;
    for (size_t i = 0; i < rows->rowCount; ++i)
        Insert(rows->rows[i]);
}

C8PartResourceAllocer::Key C8PartResourceAllocer::KeyOf(const Entry& e)
{
    return {uint32_t(e.board), e.kind, uint32_t(e.free)};
}

Reservation* C8PartResourceAllocer::Take(Table::iterator it)
{
    Entry taken = it->second;
    table_.erase(it);
    taken.free = 0;
    Insert(taken);

    auto record = std::make_unique<Reservation>();
    record->useCount = 1;
    record->board = taken.board;
    record->kind = taken.kind;
    record->free = 0;
    record->index = taken.index;
    Reservation* handle = record.get();
    records_.emplace(handle, std::move(record));
    return handle;
}

Reservation* C8PartResourceAllocer::Reserve(int32_t board, int32_t kind)
{
    auto it = table_.find(Key{uint32_t(board), kind, 1});
    return it == table_.end() ? nullptr : Take(it);
}

Reservation* C8PartResourceAllocer::ReserveFor(uint32_t a, uint32_t b, uint32_t c)
{
    auto found = lookup_.find({a, b, c});
    if (found == lookup_.end())
        return nullptr;
    const int32_t index = found->second.d;
    auto [it, end] = table_.equal_range(Key{c, kKindPort, 1});
    for (; it != end; ++it) {
        if (it->second.index == index)
            return Take(it);
    }
    return nullptr;
}

void C8PartResourceAllocer::Unreserve(Reservation* record)
{
    auto held = records_.find(record);
    if (held == records_.end())
        return;
    if (--record->useCount > 0)
        return;

    auto [it, end] = table_.equal_range(Key{uint32_t(record->board), record->kind, uint32_t(record->free)});
    for (; it != end; ++it) {
        if (it->second.index == record->index) {
            Entry released = it->second;
            table_.erase(it);
            released.free = 1;
            released.count = 1;
            Insert(released);
            break;
        }
    }
    records_.erase(held);
}

std::vector<C8PartResourceAllocer::Entry> C8PartResourceAllocer::Entries() const
{
    std::vector<Entry> entries;
    entries.reserve(table_.size());
    for (const auto& [key, entry] : table_)
        entries.push_back(entry);
    return entries;
}

bool C8PartResourceAllocer::HasFree(int32_t board, int32_t n) const
{
    const int64_t free = int64_t(table_.count(Key{uint32_t(board), kKindScaler, 1}));
    return free >= n;
}

} // namespace _8PART_NS
