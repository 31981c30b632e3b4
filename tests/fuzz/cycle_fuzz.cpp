// A ".cycle" file: what loads saves, and the saved file loads to the same
// cells; a damaged one is never rewritten by a save.
#include <string>

#include "plan/cycle_plan.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const char kName[] = "轮巡";

std::string Describe(const CQelCyclePlan& cycle)
{
    std::string out = std::to_string(cycle.GetNumberOfCycles()) + "\n";
    for (const auto& cell : cycle.GetCells())
        out += std::to_string(cell->seconds) + " " + cell->planName + "\n";
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = CQelCyclePlan::FilePath(kName);
    const std::string_view input = fuzz::Bytes(data, size);
    fuzz::PutFile(path, input);
    CQelCyclePlan first(kName);
    first.Load();
    if (fuzz::KeptAsBad(path)) {
        fuzz::Require(first.GetCells().empty(), "a damaged cycle plan has cells");
        fuzz::Require(first.Save(), "saving a damaged cycle plan fails");
        fuzz::RequireSame(input, fuzz::GetFile(path), "a damaged cycle file is rewritten");
        return 0;
    }
    const std::string cells = Describe(first);
    fuzz::Require(first.Save(), "the cycle plan does not save");
    const std::string saved = fuzz::GetFile(path);

    CQelCyclePlan second(kName);
    second.Load();
    fuzz::Require(!fuzz::KeptAsBad(path), "the saved cycle plan is damaged");
    fuzz::RequireSame(cells, Describe(second), "the saved file loads to other cells");
    fuzz::Require(second.Save(), "the cycle plan does not save");
    fuzz::RequireSame(saved, fuzz::GetFile(path), "the file changes from one save to the next");
    return 0;
}
