#include "replies/port_descriptor_map.h"

namespace {

const CQel_PORT_DSCP_S kRows[] = {
    {0, "VGADVI", 3, 0},
    {1, "HDMI", 1, 0},
    {2, "DVI", 6, 0},
    {3, "SDI", 4, 0},
    {4, "CVBS", 7, 0},
    {5, "IPDECODE", 5, 0},
    {6, "VGAHDMIYPBPRCVBS", 8, 0},
    {7, "HDMI4K", 9, 0},
    {15, "DVI", 21, 1},
    {16, "HDMI", 21, 1},
    {17, "DVI", 21, 1},
    {18, "SDI", 23, 1},
    {19, "YPbPr", 21, 1},
};

} // namespace

CQel_PORT_DSCP_S_map::CQel_PORT_DSCP_S_map()
{
    for (const auto& row : kRows)
        map_.emplace(row.id, row);
}

const CQel_PORT_DSCP_S_map& CQel_PORT_DSCP_S_map::get_instance()
{
    static const CQel_PORT_DSCP_S_map instance;
    return instance;
}

const CQel_PORT_DSCP_S* CQel_PORT_DSCP_S_map::Find(int32_t id) const
{
    const auto it = map_.find(id);
    return it == map_.end() ? nullptr : &it->second;
}
