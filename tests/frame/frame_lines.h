#pragma once
// What the frame's tests compare at the processor simulator.
#include <string>
#include <vector>

// The simulator's lines without the heartbeat's status polls.
inline std::vector<std::string> WithoutPolls(const std::vector<std::string>& lines)
{
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        bool poll = false;
        for (const char* prefix : {"I_F RISR", "BOARD RISR", "BOARD ADV7604_GET_CTRL"})
            poll = poll || line.rfind(prefix, 0) == 0;
        if (!poll)
            kept.push_back(line);
    }
    return kept;
}
