// PlanList.txt: the names that load save, and the saved list loads to the
// same names.
#include <string>
#include <vector>

#include "plan/plan_manager.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = CQelPlanMan::PlanListPath();
    fuzz::PutFile(path, fuzz::Bytes(data, size));
    CQelPlanMan first;
    first.LoadPlanList();
    if (fuzz::KeptAsBad(path))
        fuzz::Require(fuzz::GetFile(path + ".bad") == fuzz::Bytes(data, size), "the .bad copy differs");
    const std::vector<std::string> names = first.GetSavedNames();
    fuzz::Require(first.SavePlanList(), "the plan list does not save");
    const std::string saved = fuzz::GetFile(path);
    fuzz::PutFile(path, saved); // forgets the .bad of the input

    CQelPlanMan second;
    second.LoadPlanList();
    fuzz::Require(!fuzz::KeptAsBad(path), "the saved list is damaged");
    fuzz::Require(second.GetSavedNames() == names, "the saved list loads to other names");
    fuzz::Require(second.SavePlanList(), "the plan list does not save");
    fuzz::RequireSame(saved, fuzz::GetFile(path), "the list changes from one save to the next");
    return 0;
}
