#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace _8PART_NS {

// A reserved resource of an 8-part board: an input or output scaler (kind 2)
// or a backplane port (kind 0). Holders that share it raise useCount; each
// holder releases it once through Unreserve.
struct Reservation {
    int32_t useCount = 1;
    int32_t board = 0;
    int32_t kind = 0;
    int32_t free = 0;
    int32_t index = 0;
};

// The numbered per-board resources of the selected 8-part processor.
// Process-wide: created on first use, destroyed only by Destroy, which the
// shut-down sequence calls.
class C8PartResourceAllocer {
public:
    static constexpr int32_t kKindScaler = 2;
    static constexpr int32_t kKindPort = 0;

    struct Entry {
        int32_t count = 1;
        int32_t board = 0;
        int32_t kind = 0;
        int32_t free = 1;
        int32_t index = 0;
    };
    struct Lookup {
        uint32_t a, b, c;
        int32_t d;
    };

    static C8PartResourceAllocer& Instance();
    static void Destroy();

    virtual ~C8PartResourceAllocer();

    // Empties the resource table; every outstanding reservation goes with it.
    void ClearTable();
    // Adds the port lookup and the rows of the selected processor's model.
    void Init();

    // The first free entry of this board and kind, or null.
    Reservation* Reserve(int32_t board, int32_t kind);
    // The port that the lookup gives for (input board a, G index b, output
    // board c), or null when the lookup has no entry or that port is taken.
    Reservation* ReserveFor(uint32_t a, uint32_t b, uint32_t c);
    // Releases one holder's share; the last share frees the resource. Null,
    // or a record this allocator does not hold, changes nothing.
    void Unreserve(Reservation* record);
    // At least n free scalers on the board.
    bool HasFree(int32_t board, int32_t n) const;

    size_t TableSize() const { return table_.size(); }
    // The rows in table order.
    std::vector<Entry> Entries() const;
    size_t LookupSize() const { return lookup_.size(); }
    size_t OutstandingReservations() const { return records_.size(); }

private:
    C8PartResourceAllocer() = default;

    // Board compared unsigned, kind signed, free flag unsigned.
    struct Key {
        uint32_t board;
        int32_t kind;
        uint32_t free;
        friend bool operator<(const Key& l, const Key& r)
        {
            return std::tie(l.board, l.kind, l.free) < std::tie(r.board, r.kind, r.free);
        }
    };
    using Table = std::multimap<Key, Entry>;

    static Key KeyOf(const Entry& e);
    void Insert(const Entry& e) { table_.emplace(KeyOf(e), e); }
    Reservation* Take(Table::iterator it);

    // Equal keys keep insertion order: a released resource goes behind the
    // free ones.
    Table table_;
    std::map<std::tuple<uint32_t, uint32_t, uint32_t>, Lookup> lookup_;
    std::unordered_map<const Reservation*, std::unique_ptr<Reservation>> records_;

    static C8PartResourceAllocer* instance_;
};

} // namespace _8PART_NS
