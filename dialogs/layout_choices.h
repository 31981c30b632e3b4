#pragma once
// The starting layouts the new-plan dialog offers.
#include <cstddef>
#include <optional>
#include <vector>

struct LayoutChoice {
    int code = 0;
    const char* entry = "";
};

// The choices in combo order: "空布局方案" always, then those whose
// minimum number of signal sources `sources` reaches; nothing further
// without a processor.
std::vector<LayoutChoice> LayoutChoices(std::optional<size_t> sources);
