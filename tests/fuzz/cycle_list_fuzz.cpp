// CyclePlanList.clt: the names that load save, and the saved list loads to
// the same names.
#include <string>
#include <vector>

#include "corlane/app_path.h"
#include "plan/cycle_plan.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

std::vector<std::string> Names(const CQelCyclePlanMan& man)
{
    std::vector<std::string> names;
    for (const auto& plan : man.GetPlans())
        names.push_back(plan->GetName());
    return names;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Each name that loads gets its ".cycle" when the list is saved.
    fuzz::EmptyFolder(qz::vok::path::GetPlanPath());
    const std::string path = CQelCyclePlanMan::ListPath();
    fuzz::PutFile(path, fuzz::Bytes(data, size));
    CQelCyclePlanMan first;
    first.LoadList();
    if (fuzz::KeptAsBad(path))
        fuzz::Require(fuzz::GetFile(path + ".bad") == fuzz::Bytes(data, size), "the .bad copy differs");
    const std::vector<std::string> names = Names(first);
    fuzz::Require(first.SaveList(), "the cycle plan list does not save");
    const std::string saved = fuzz::GetFile(path);
    fuzz::PutFile(path, saved); // forgets the .bad of the input

    CQelCyclePlanMan second;
    second.LoadList();
    fuzz::Require(!fuzz::KeptAsBad(path), "the saved list is damaged");
    fuzz::Require(Names(second) == names, "the saved list loads to other names");
    fuzz::Require(second.SaveList(), "the cycle plan list does not save");
    fuzz::RequireSame(saved, fuzz::GetFile(path), "the list changes from one save to the next");
    return 0;
}
