// The view manager, the navigation view and the tabbed view container with
// real wall views of real plans, prompts scripted through the modal seam.
#include <QPointer>
#include <stdexcept>

#include "core/event_pump.h"
#include "tests/support/ui/screenshot.h"
#include "tests/views/view_test_support.h"
#include "views/multi_screen_view.h"
#include "views/navigation_view.h"
#include "views/switch_view.h"
#include "views/view_tab_container.h"

using tavrix::test::pixelAt;
using tavrix::test::Prompt;
using tavrix::test::screenshot;

namespace {

CViewManager& Manager()
{
    return CViewManager::get_instance();
}

class ClosingWidget : public QWidget {
public:
    using QWidget::QWidget;
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        QWidget::closeEvent(event);
    }
};

std::vector<QString> YesNoTexts()
{
    std::vector<QString> texts;
    for (const Prompt& p : tavrix::test::scriptedModal().prompts())
        if (p.kind == Prompt::YesNo)
            texts.push_back(p.text);
    return texts;
}

class ViewManager : public ViewsTest {
protected:
    QWidget host;
};

class TabContainer : public ViewsTest {
protected:
    void SetUp() override
    {
        ViewsTest::SetUp();
        modal().reset();
        frame.resize(800, 600);
        container = new CViewTabContainer(&frame);
        container->resize(800, 600);
        frame.show();
        home = Manager().CreateView(container, "VNavigation", CViewManager::FactoryOf<CNavigationView>());
        container->ShowHomeView(home);
    }

    // Opens the plan in a wall view under a tab of that id.
    QWidget* OpenWall(unsigned id, const std::shared_ptr<CQelPlan>& plan)
    {
        QWidget* view = Manager().CreateView(container, QString("VMultiScreen_%1").arg(id),
                                             CViewManager::FactoryOf<CMultiScreenView>());
        static_cast<CMultiScreenView*>(view)->SetPlan(plan);
        EXPECT_TRUE(container->AddView(id, QString::fromStdString(plan->GetName()), view));
        return view;
    }

    void CloseTabOf(unsigned id) { container->Tabs().CloseTab(container->Tabs().Geometry().IndexOfId(int(id))); }

    QWidget frame;
    CViewTabContainer* container = nullptr;
    QWidget* home = nullptr;
};

} // namespace

TEST_F(ViewManager, GivesAHiddenViewBackAndMakesANewOneForAShownName)
{
    QWidget other;
    QWidget* first = Manager().CreateView(&host, "VMultiScreen_1", CViewManager::FactoryOf<CMultiScreenView>());
    ASSERT_NE(first, nullptr);
    Manager().HideView(first);
    EXPECT_FALSE(first->isVisible());
    EXPECT_NE(first->parentWidget(), &host); // parked, never top level
    EXPECT_FALSE(first->isWindow());

    host.show();
    EXPECT_EQ(Manager().CreateView(&other, "VMultiScreen_1", {}), first);
    EXPECT_EQ(first->parentWidget(), &other);
    other.show();
    EXPECT_TRUE(first->isVisible());

    QWidget* second = Manager().CreateView(&host, "VMultiScreen_1", CViewManager::FactoryOf<CMultiScreenView>());
    EXPECT_NE(second, first);
    EXPECT_EQ(Manager().FindView("VMultiScreen_1"), second);

    // A factory that fails or throws, or no parent: null, the record kept.
    const CViewManager::ViewFactory throwing = [](QWidget*) -> QWidget* { throw std::runtime_error("no"); };
    Manager().HideView(second);
    EXPECT_EQ(Manager().CreateView(&host, "VX", throwing), nullptr);
    EXPECT_EQ(Manager().CreateView(&host, "VX", [](QWidget*) { return nullptr; }), nullptr);
    EXPECT_EQ(Manager().CreateView(nullptr, "VMultiScreen_1", {}), nullptr);
    EXPECT_EQ(Manager().FindView("VX"), nullptr);
    EXPECT_EQ(Manager().FindView("VMultiScreen_1"), second);
}

TEST_F(ViewManager, TellsKindsAndClosesForeignWidgets)
{
    QWidget* nav = Manager().CreateView(&host, "VNavigation", CViewManager::FactoryOf<CNavigationView>());
    QWidget* wall = Manager().CreateView(&host, "VMultiScreen_1", CViewManager::FactoryOf<CMultiScreenView>());
    QPointer<QWidget> sw = Manager().CreateView(&host, "VSwitch_1", CViewManager::FactoryOf<CSwitchView>());
    auto* plain = new ClosingWidget(&host);
    EXPECT_EQ(CViewManager::GetViewKind(nav), 1);
    EXPECT_EQ(CViewManager::GetViewKind(wall), 2);
    EXPECT_EQ(CViewManager::GetViewKind(sw), 3);
    EXPECT_EQ(CViewManager::GetViewKind(plain), 0);
    EXPECT_EQ(CViewManager::GetViewKind(nullptr), 0);
    delete sw.data();
    EXPECT_EQ(CViewManager::GetViewKind(sw), 0);
    // The record of a deleted view is not handed out.
    EXPECT_EQ(Manager().FindView("VSwitch_1"), nullptr);
    EXPECT_NE(Manager().CreateView(&host, "VSwitch_1", CViewManager::FactoryOf<CSwitchView>()), nullptr);

    host.show();
    plain->show();
    Manager().HideView(plain);
    EXPECT_EQ(plain->closes, 1);
    EXPECT_EQ(plain->parentWidget(), &host);

    nav->resize(60, 40);
    nav->show();
    const QImage shot = screenshot(*nav);
    EXPECT_EQ(pixelAt(shot, 2, 2), ui::rgb(128, 128, 128));
    EXPECT_EQ(pixelAt(shot, 57, 37), ui::rgb(128, 128, 128));
}

TEST_F(ViewManager, ChoosesABitmapThroughTheSeam)
{
    modal().reset();
    modal().answerFile("/tmp/logo.bmp");
    EXPECT_EQ(ChooseBitmapFile(&host), "/tmp/logo.bmp");
    modal().answerFile("");
    EXPECT_EQ(ChooseBitmapFile(&host), "");
    ASSERT_EQ(modal().prompts().size(), 2u);
    const ui::FileChoice& choice = modal().prompts()[0].file;
    EXPECT_FALSE(choice.save);
    EXPECT_EQ(choice.filter, QString::fromUtf8("位图文件(*.bmp)"));
    EXPECT_EQ(choice.defaultSuffix, "bmp");
}

TEST_F(TabContainer, ShowsTheSelectedTabsViewAndPlan)
{
    auto a = NewPlan("方案一");
    auto b = NewPlan("方案二");
    QWidget* va = OpenWall(1, a);
    QWidget* vb = OpenWall(2, b);
    EXPECT_EQ(CQelContext::GetSelPlanId(), b->GetId());
    EXPECT_FALSE(va->isVisible());
    EXPECT_TRUE(vb->isVisible());
    EXPECT_FALSE(home->isVisible());
    EXPECT_EQ(container->TabRect(), (Rect{0, 0, 800, 24}));
    EXPECT_EQ(vb->geometry(), QRect(0, 24, 800, 576));
    EXPECT_EQ(container->Tabs().geometry(), QRect(0, 0, 800, 24));
    EXPECT_EQ(container->Tabs().TabCount(), 2);

    container->SelectTab(1);
    EXPECT_EQ(CQelContext::GetSelPlanId(), a->GetId());
    EXPECT_TRUE(va->isVisible());
    EXPECT_FALSE(vb->isVisible());
    EXPECT_EQ(container->FindPlanView("方案二"), vb);
    EXPECT_EQ(container->FindPlanView("方案三"), nullptr);

    // Only rectangles that change are applied.
    container->resize(700, 500);
    EXPECT_EQ(va->geometry(), QRect(0, 24, 700, 476));
    EXPECT_EQ(container->LayoutChildren(), 0);

    // Chinese names in tab texts; unmodified plans never saved go quietly.
    EXPECT_EQ(container->Tabs().GetTab(0)->text, QString::fromUtf8("方案一"));
    CloseTabOf(1);
    CloseTabOf(2);
    EXPECT_TRUE(modal().prompts().empty());
    EXPECT_EQ(container->CurrentView(), home);
    EXPECT_TRUE(home->isVisible());
    EXPECT_EQ(CQelContext::GetSelPlanId(), 0);
    EXPECT_FALSE(Loaded(a));
    EXPECT_FALSE(Loaded(b));

    const QImage shot = screenshot(*container);
    EXPECT_EQ(pixelAt(shot, 350, 300), ui::rgb(128, 128, 128));   // the home view
    EXPECT_EQ(pixelAt(shot, 350, 12), ui::rgb(0x50, 0x50, 0x50)); // the empty strip
}

TEST_F(TabContainer, AsksAboutAModifiedPlanWhenItsTabCloses)
{
    auto a = NewPlan("方案一");
    auto b = NewPlan("方案二");
    auto kept = NewPlan("已保存");
    ASSERT_TRUE(Plans()->SavePlanFile(kept));
    OpenWall(1, a);
    OpenWall(2, b);
    OpenWall(3, kept);
    a->SetDirty(true);
    b->SetDirty(true);

    modal().answerYesNo(false);
    CloseTabOf(1);
    EXPECT_EQ(YesNoTexts(), std::vector<QString>{QString::fromUtf8("\"方案一\" 方案还未保存，需要保存吗？")});
    EXPECT_FALSE(Loaded(a));

    modal().answerYesNo(true);
    CloseTabOf(2);
    EXPECT_TRUE(std::filesystem::exists(PlanFile("方案二")));
    EXPECT_FALSE(b->IsDirty());

    CloseTabOf(3); // saved and unchanged: kept without a question
    EXPECT_EQ(YesNoTexts().size(), 2u);
    EXPECT_TRUE(Loaded(kept));
    EXPECT_EQ(container->Tabs().TabCount(), 0);
}

TEST_F(TabContainer, CloseAllAsksInIdOrderAndNoLeavesTheFilesAlone)
{
    auto saved = NewPlan("方案一");
    ASSERT_TRUE(Plans()->SavePlanFile(saved));
    const std::string before = ReadFile(PlanFile("方案一"));
    auto fresh = NewPlan("方案二");
    OpenWall(2, saved);
    OpenWall(1, fresh);
    saved->SetDirty(true);
    fresh->SetDirty(true);

    modal().answerYesNo(false);
    modal().answerYesNo(false);
    container->CloseAll();
    EXPECT_EQ(YesNoTexts(), (std::vector<QString>{QString::fromUtf8("\"方案二\" 方案还未保存，需要保存吗？"),
                                                  QString::fromUtf8("\"方案一\" 方案还未保存，需要保存吗？")}));
    EXPECT_EQ(container->Tabs().TabCount(), 2);

    // Shut-down: the views go without writing their plans.
    Manager().DestroyViews();
    EXPECT_EQ(container->CurrentView(), nullptr);
    ASSERT_TRUE(Plans()->SavePlanList());
    EXPECT_EQ(ReadFile(PlanFile("方案一")), before);
    EXPECT_FALSE(std::filesystem::exists(PlanFile("方案二")));
    CQelPlanMan reread;
    ASSERT_TRUE(reread.LoadPlanList());
    EXPECT_EQ(reread.GetSavedNames(), std::vector<std::string>{"方案一"});
}

TEST_F(TabContainer, SavesModifiedPlansAndTellsWhenSavingFails)
{
    auto dirty = NewPlan("方案一");
    auto clean = NewPlan("方案二");
    OpenWall(1, dirty);
    OpenWall(2, clean);
    dirty->SetDirty(true);
    container->SaveModifiedPlans();
    EXPECT_TRUE(modal().prompts().empty());
    EXPECT_TRUE(std::filesystem::exists(PlanFile("方案一")));
    EXPECT_FALSE(std::filesystem::exists(PlanFile("方案二")));
    EXPECT_FALSE(dirty->IsDirty());

    // A plan that cannot be written is reported and stays modified, loaded
    // and listed, whichever way it was saved.
    BlockPlanFolder();
    dirty->SetDirty(true);
    modal().expectInform();
    container->SaveModifiedPlans();
    modal().answerYesNo(true);
    modal().expectInform();
    container->CloseAll();
    modal().answerYesNo(true);
    modal().expectInform();
    CloseTabOf(1);
    int failures = 0;
    for (const Prompt& p : modal().prompts())
        failures += p.kind == Prompt::Inform && p.text == QString::fromUtf8("方案保存失败，请重试!");
    EXPECT_EQ(failures, 3);
    EXPECT_TRUE(dirty->IsDirty());
    EXPECT_TRUE(Loaded(dirty));
    EXPECT_EQ(Plans()->GetSavedNames(), std::vector<std::string>{"方案一"});
}

TEST_F(TabContainer, SurvivesTabsWithoutRecordsAndViewsDeletedWhileParked)
{
    auto a = NewPlan("方案一");
    auto b = NewPlan("方案二");
    QPointer<QWidget> va = OpenWall(1, a);
    QWidget* vb = OpenWall(2, b);

    // A tab the container has no record of shows the home view.
    container->Tabs().AddTab(9, "x");
    container->SelectTab(9);
    EXPECT_EQ(container->CurrentView(), home);
    EXPECT_EQ(CQelContext::GetSelPlanId(), 0);
    CloseTabOf(9);
    emit container->Tabs().notify(ui::Notify{CUiTabWnd::NotifyClosing, 42, CUiTabWnd::KindClose});
    emit container->Tabs().notify(ui::Notify{CUiTabWnd::NotifyClosed, 0, CUiTabWnd::KindClose});

    // The parked view of tab 1 is deleted behind the container's back.
    delete va.data();
    container->SelectTab(1);
    EXPECT_EQ(container->CurrentView(), home);
    CloseTabOf(1);
    EXPECT_EQ(container->CurrentView(), vb);

    // A second view under an id in use: no tab, the record names it.
    QWidget* other = Manager().CreateView(container, "VMultiScreen_7", CViewManager::FactoryOf<CMultiScreenView>());
    EXPECT_FALSE(container->AddView(2, "again", other));
    EXPECT_EQ(container->Tabs().TabCount(), 1);
    EXPECT_EQ(container->RecordedView(2), other);

    QWidget other2;
    EXPECT_EQ(CViewTabContainer::SetWndParent(other, &other2), container);
    EXPECT_EQ(other->parentWidget(), &other2);
}

TEST_F(TabContainer, FindsSwitchViewsByPlanName)
{
    auto plan = NewPlan("切换方案", kPlanSwitch);
    auto* view =
        static_cast<CSwitchView*>(Manager().CreateView(container, "VSwitch_1", CViewManager::FactoryOf<CSwitchView>()));
    view->SetSwitchPlan(plan);
    ASSERT_TRUE(container->AddView(5, "切换方案", view));
    EXPECT_EQ(CQelContext::GetSelPlanId(), plan->GetId());
    EXPECT_EQ(container->FindPlanView("切换方案"), view);
    plan->SetSwitch(10503, 101);
    modal().answerYesNo(false);
    CloseTabOf(5);
    EXPECT_FALSE(Loaded(plan));
}
