#pragma once
// How the plan target's input holds a plan's two files; the seed writer
// joins them the same way.
#include <string>
#include <string_view>

namespace fuzz {

inline constexpr std::string_view kOsdMark = "\n--osd--\n";

struct PlanInput {
    std::string_view plan;
    std::string_view osd;
    bool hasOsd = false;
};

inline PlanInput SplitPlanInput(std::string_view input)
{
    const size_t mark = input.find(kOsdMark);
    if (mark == std::string_view::npos)
        return {input, {}, false};
    return {input.substr(0, mark), input.substr(mark + kOsdMark.size()), true};
}

inline std::string JoinPlanInput(std::string_view plan, std::string_view osd)
{
    return std::string(plan) + std::string(kOsdMark) + std::string(osd);
}

} // namespace fuzz
