#pragma once
// What the container and switch view tests share: plans of the real plan
// manager in a fresh Plan folder, and a clean context, event queue and view
// manager around each test.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "context/context.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "tests/support/ui/ui_test.h"
#include "views/view_manager.h"

class ViewsTest : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CQelContext::Destroy();
        CEvtQueue::get_instance().Clear();
        std::filesystem::remove_all(qz::vok::path::GetPlanPath());
        std::filesystem::create_directories(qz::vok::path::GetPlanPath());
    }
    void TearDown() override
    {
        CViewManager::get_instance().DestroyViews();
        CEvtQueue::get_instance().Clear();
        CQelContext::Destroy();
        UiTest::TearDown();
    }

    static std::shared_ptr<CQelPlanMan> Plans() { return CQelContext::GetPlanMan(); }

    // A loaded plan that its file would load again: 2 x 2 screens of
    // 1920 x 1080 @ 60.
    static std::shared_ptr<CQelPlan> NewPlan(const std::string& name, int32_t type = kPlanUniform)
    {
        auto plan = Plans()->CreatePlan(name);
        plan->SetType(type);
        plan->SetGrid(2, 2);
        plan->SetResolution({1920, 1080, 60});
        return plan;
    }

    static std::string PlanFile(const std::string& name) { return qz::vok::path::GetPlanPath() + "/" + name + ".plan"; }

    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static bool Loaded(const std::shared_ptr<CQelPlan>& plan)
    {
        std::shared_ptr<CQelPlan> found;
        return Plans()->FindPlanById(plan->GetId(), found);
    }

    // Puts a file where the Plan folder was, so no plan can be written.
    static void BlockPlanFolder()
    {
        const std::string folder = qz::vok::path::GetPlanPath();
        std::filesystem::remove_all(folder);
        std::ofstream(folder) << "not a folder";
    }
};
