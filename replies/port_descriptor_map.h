#pragma once
#include <cstdint>
#include <map>
#include <string>

// How a board that the processor reports by descriptor id is named and
// classified.
struct CQel_PORT_DSCP_S {
    int32_t id = 0;
    std::string name;
    int32_t boardType = 0;
    // 0: the board id is the reported slot; 1: it is 100 + slot.
    int32_t boardClass = 0;
};

// The fixed table of port descriptors, keyed by id; read-only once built.
class CQel_PORT_DSCP_S_map {
public:
    static const CQel_PORT_DSCP_S_map& get_instance();

    // The descriptor with the id, or null when the table has none.
    const CQel_PORT_DSCP_S* Find(int32_t id) const;

private:
    CQel_PORT_DSCP_S_map();

    std::map<int32_t, CQel_PORT_DSCP_S> map_;
};
