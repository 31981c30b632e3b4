#pragma once
#include <cstdint>
#include <string>

// A window group of a plan; windows name it by `id`.
struct CQelGroup {
    int32_t id = 0; // at least 1
    std::string name;
};
