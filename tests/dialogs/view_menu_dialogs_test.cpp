// The prompt dialogs as the wall view's menus open them: a right click,
// the menu answered, the real dialog filled as the operator fills it.
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

#include "dialogs/name_dlg.h"
#include "dialogs/osd_config_dlg.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/views/wall_view_test.h"
#include "views/wall_view_menus.h"

using namespace dialogtest;

namespace {

// Sends are counted instead of made.
class CountingView : public CMultiScreenView {
public:
    void ExecutePlan(int, int) override { ++executed; }
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
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(pos), QPointF(view.viewport()->mapToGlobal(pos)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &event);
    }
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
    EXPECT_EQ(logo->osd.captionColor, int32_t(ui::rgb(9, 8, 7)));
    EXPECT_EQ(view.executed, 0); // auto-execute is off
}
