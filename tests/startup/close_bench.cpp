// Times the program's close (the plan list, the cycle plans, the processor
// file and the two INI files) after a start with 0, 100 and 1,000 cycle
// plans left as they were; then the save the cycle-plan dialog makes after
// one of 1,000 is edited, and a plan save among 1,000 saved names. Run it
// in an empty folder: it makes its run folders there.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "startup/bootstrap.h"
#include "context/context.h"
#include "corlane/app_path.h"
#include "plan/context_plan_managers.h"
#include "plan/cycle_plan.h"
#include "plan/plan_manager.h"

namespace {

constexpr char kLockFolder[] = "lock";

double MedianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& timed)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        timed();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// A plan folder with `plans` saved plans and `cycles` cycle plans of two cells.
void MakeFolder(int plans, int cycles)
{
    std::filesystem::remove_all(qz::vok::path::GetPlanPath());
    std::filesystem::create_directories(qz::vok::path::GetPlanPath());
    CQelContext::Destroy();
    const auto man = CQelContext::GetPlanMan();
    for (int i = 0; i < plans; ++i) {
        auto plan = man->CreatePlan("plan " + std::to_string(i));
        plan->SetGrid(1, 1);
        plan->SetResolution({1920, 1080, 60});
        man->SavePlanFile(plan);
    }
    const auto list = CQelContext::GetCyclePlanMan();
    for (int i = 0; i < cycles; ++i) {
        auto cycle = std::make_shared<CQelCyclePlan>("tour " + std::to_string(i));
        cycle->AddCell("plan 0");
        cycle->AddCell("plan 1");
        list->Add(cycle);
    }
    list->SaveList();
}

} // namespace

int main()
{
    InstallPlanManagers();
    std::filesystem::create_directories(kLockFolder);
    std::filesystem::permissions(kLockFolder, std::filesystem::perms::owner_all);
    for (int cycles : {0, 100, 1000}) {
        MakeFolder(2, cycles);
        CQelContext::Destroy();
        std::unique_ptr<CTavrixBootstrap> run;
        const double ms = MedianMs(
            cycles == 1000 ? 5 : 11,
            [&] {
                if (run)
                    run->Shutdown();
                run = std::make_unique<CTavrixBootstrap>(kLockFolder);
                run->Start();
            },
            [&] { run->Close(); });
        run.reset();
        std::printf("close, %4d unchanged cycle plans: median %.2f ms\n", cycles, ms);
    }

    CQelCyclePlanMan tours;
    const double edit = MedianMs(
        5,
        [&] {
            tours.LoadList();
            tours.GetPlans()[500]->SetNumberOfCycles(3);
        },
        [&] { tours.SaveList(); });
    std::printf("cycle-plan dialog save, 1 of 1000 edited: median %.2f ms\n", edit);

    MakeFolder(1000, 0);
    const auto man = CQelContext::GetPlanMan();
    CQelPlanMan::PlanPtr plan;
    man->LoadPlanFile("plan 7", plan);
    const double save = MedianMs(
        11, [] {}, [&] { man->SavePlanFile(plan); });
    std::printf("plan save among 1000 saved names: median %.2f ms\n", save);
    CQelContext::Destroy();
    return 0;
}
