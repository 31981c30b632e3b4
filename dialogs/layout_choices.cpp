#include "dialogs/layout_choices.h"

namespace {
struct Offered {
    LayoutChoice choice;
    size_t minSources;
};
constexpr Offered kLayouts[] = {
    {{0, "空布局方案"}, 0},  {{12, "1 x 2 布局"}, 2}, {{21, "2 x 1 布局"}, 2}, {{13, "1 x 3 布局"}, 3},
    {{31, "3 x 1 布局"}, 3}, {{14, "1 x 4 布局"}, 4}, {{41, "4 x 1 布局"}, 4}, {{22, "2 x 2 布局"}, 4},
};
} // namespace

std::vector<LayoutChoice> LayoutChoices(std::optional<size_t> sources)
{
    std::vector<LayoutChoice> choices;
    for (const Offered& o : kLayouts)
        if (o.minSources == 0 || (sources && *sources >= o.minSources))
            choices.push_back(o.choice);
    return choices;
}
