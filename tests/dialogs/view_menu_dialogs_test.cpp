// The prompt dialogs as the wall view's menus open them: a right click,
// the menu answered, the real dialog filled as the operator fills it.
#include <QLabel>

#include "context/context.h"
#include "core/config.h"
#include "dialogs/name_dlg.h"
#include "dialogs/osd_config_dlg.h"
#include "dialogs/set_window_dlg.h"
#include "model/processor.h"
#include "tests/model/link_fixture.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/views/view_clicks.h"
#include "tests/views/wall_view_test.h"
#include "views/wall_view_menus.h"

using namespace dialogtest;

namespace {

// Sends are counted instead of made.
class CountingView : public CMultiScreenView {
public:
    void ExecutePlan(ExecMode, int) override { ++executed; }
    int executed = 0;
};

class MenuDialogs : public WallViewTest<CountingView> {
protected:
    // A right click at `pos` whose menu answers `item`, then `fill` runs
    // the dialog that item opens.
    void Choose(QPoint pos, int item, std::function<int(QDialog&)> fill)
    {
        modal().answerMenu(item);
        modal().answerDialog(std::move(fill));
        RightClick(view, pos);
    }
    ProgramDialogsInstalled installed;
};

// A model-1 processor on the simulator with output 1920 x 1080 and source
// 100; the view on a 1 x 1 plan with one window, auto-execute on.
class LinkedMenuDialogs : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteButtonImages());
        CEvtQueue::get_instance().Clear();
        link.processor->SetOutputResolution(1920, 1080, 60);
        AddTestSource(*link.processor, 100, 1920, 1080);
        CQelContext::SetSelSigSrc(1, 100);
        ASSERT_TRUE(tavrix::test::pumpUntil([&] { return link.processor->IsConnected(); }));
        SetConfigBool("MulSView.AutoExecute", true);
        window = AddTestWindow(*plan, 100, {0, 0, 960, 540});
        view.resize(1000, 600);
        view.show();
        view.SetPlan(plan);
        plan->AddHistory(kActNewPlan);
    }
    void TearDown() override
    {
        tavrix::test::UiTest::TearDown();
        CEvtQueue::get_instance().Clear();
    }

    platform::SteadyClock clock;
    LinkFixture link{clock, 1, 0};
    std::shared_ptr<CQelPlan> plan = MakeTestPlan(1, 1, kPlanUniform);
    std::shared_ptr<CQelWindow> window;
    CMultiScreenView view;
    ProgramDialogsInstalled installed;
};

} // namespace

TEST_F(MenuDialogs, RenameRecordsOneHistoryRowAndSendsNothing)
{
    const auto window = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    window->name = "Cam 1";
    Show(f.plan);
    Choose({100, 100}, wallmenu::kRename, [](QDialog& dialog) {
        auto* name = dynamic_cast<CNameDlg*>(&dialog);
        if (!name)
            return int(QDialog::Rejected);
        Open(dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("重新命名窗口"));
        EXPECT_EQ(name->NameEdit()->text(), "Cam 1");
        EXPECT_FALSE(name->MarkLabel()->isVisible());
        Type(name->NameEdit(), "Hall & <B>");
        QTest::mouseClick(name->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_EQ(window->name, "Hall & <B>");
    EXPECT_EQ(Kinds(*f.plan), (std::vector<int>{kActNewPlan, kActRenameWindow}));
    EXPECT_EQ(f.plan->GetHistoryAt(1)->GetActionName(), "窗口重新命名");
    EXPECT_EQ(view.executed, 0);
}

TEST_F(MenuDialogs, LogoSettingsOkWritesTheWindowsOsdRecord)
{
    const auto logo = AddTestWindow(*f.plan, kLogoSigSrc, {1920, 1080, 2176, 1208});
    Show(f.plan);
    Choose({520, 310}, wallmenu::kLogoSettings, [](QDialog& dialog) {
        auto* osd = dynamic_cast<COSDConfig*>(&dialog);
        if (!osd)
            return int(QDialog::Rejected);
        Open(dialog);
        Type(osd->FieldEdit(COSDConfig::kCaptionRed), "9");
        Type(osd->FieldEdit(COSDConfig::kCaptionGreen), "8");
        Type(osd->FieldEdit(COSDConfig::kCaptionBlue), "7");
        QTest::mouseClick(osd->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_EQ(logo->osd->captionColor, int32_t(ui::rgb(9, 8, 7)));
    EXPECT_EQ(view.executed, 0); // auto-execute is off
}

TEST_F(LinkedMenuDialogs, WindowPositionOkSendsTheMovedWindow)
{
    modal().answerMenu(wallmenu::kWindowPosition);
    modal().answerDialog([](QDialog& dialog) {
        auto* dlg = dynamic_cast<CSetWindowDlgEx*>(&dialog);
        if (!dlg)
            return int(QDialog::Rejected);
        Open(dialog);
        Type(dlg->FieldEdit(CSetWindowDlg::kLeft), "100");
        Type(dlg->FieldEdit(CSetWindowDlg::kRight), "900");
        Type(dlg->FieldEdit(CSetWindowDlg::kTop), "100");
        Type(dlg->FieldEdit(CSetWindowDlg::kBottom), "600");
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    RightClick(view, Centre(view.geometry().WallToViewRect(window->rect)));
    EXPECT_EQ(window->rect, (Rect{100, 100, 900, 600}));
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"INPUT_FPGA SET_WINDOWS_USE_SCALER 1\r\n",
                                                           "INPUT_FPGA SET_WINDOWS_LAYOUT 1920 1080\r\n",
                                                           "INPUT_FPGA ADD_WINDOWS 100 1 100 100 900 600\r\n",
                                                           "INPUT_FPGA ADD_WINDOWS_END\r\n"}));
}
