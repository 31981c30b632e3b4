#include "dialogs/cycle_plan_edit.h"

#include <limits>

#include "corlane/fstr.h"
#include "plan/cycle_plan.h"
#include "plan/plan_store.h"

namespace {
constexpr char kCycleExt[] = ".cycle";
} // namespace

std::string ProposeCycleName(const CQelCyclePlanMan& cycles, const std::string& prefix)
{
    for (int n = 1;; ++n) {
        std::string name = prefix + "_" + std::to_string(n);
        if (!cycles.NameExists(name))
            return name;
    }
}

SecondsEntry ParseSecondsEntry(const std::string& text)
{
    if (!qz::vok::fstr_isdigit(text.c_str()))
        return {SecondsEntry::Restore, 0};
    // Digits only: accumulate with a bound instead of atol, which
    // overflows on long digit strings.
    int64_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int32_t>::max())
            return {SecondsEntry::Restore, 0};
    }
    if (value == 0)
        return {SecondsEntry::Keep, 0};
    return {SecondsEntry::Store, int32_t(value)};
}

CycleSaveStep CheckCycleSave(const CQelCyclePlanMan& cycles, const std::string& current, const std::string& wanted)
{
    if (wanted.empty())
        return CycleSaveStep::Empty;
    if (wanted == current)
        return CycleSaveStep::Keep;
    if (cycles.NameExists(wanted))
        return CycleSaveStep::Taken;
    if (!plan_store::IsSafeName(wanted, kCycleExt))
        return CycleSaveStep::Unsafe;
    return current.empty() ? CycleSaveStep::Add : CycleSaveStep::Rename;
}
