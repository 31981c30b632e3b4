#pragma once
// The offscreen wall view on the wall fixture, as the editing and menu
// tests drive it.
#include <memory>
#include <vector>

#include "tests/support/ui/ui_test.h"
#include "tests/views/button_images.h"
#include "tests/views/wall_fixture.h"

// The kinds of the plan's history entries, oldest first.
std::vector<int> Kinds(const CQelPlan& plan);

// Sources 101 and 102 (1920 x 1080) on the fixture's processor, 101
// selected; auto-execute off, fit to module on.
void SetUpWallViewModel(WallFixture& f);

// The view on the wall fixture: 1000 x 600 client, wall view
// (20, 30, 980, 570), 4 wall pixels a canvas pixel; processor 1 with
// sources 101 and 102 (1920 x 1080), 101 selected; auto-execute off.
template <class View>
class WallViewTest : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteButtonImages());
        SetUpWallViewModel(f);
        view.resize(1000, 600);
        view.show();
    }

    // Shows the plan with its opening history entry.
    void Show(const std::shared_ptr<CQelPlan>& plan)
    {
        view.SetPlan(plan);
        plan->AddHistory(kActNewPlan);
    }

    WallFixture f;
    View view;
};
