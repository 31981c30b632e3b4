// The name, new-plan, window position and logo OSD dialogs, opened as the
// views open them: through the program's view dialogs.
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>

#include "context/context.h"
#include "dialogs/modal_view_dialogs.h"
#include "dialogs/name_dlg.h"
#include "dialogs/new_win_plan_dlg.h"
#include "dialogs/osd_config_dlg.h"
#include "dialogs/set_window_dlg.h"
#include "model/processor_link.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/support/ui/screenshot.h"
#include "uikit/movable_wnd.h"
#include "views/logo_osd_values.h"

using namespace dialogtest;
using tavrix::test::pixelAt;

namespace {

class Prompts : public tavrix::test::UiTest {
protected:
    void TearDown() override
    {
        tavrix::test::UiTest::TearDown();
        CQelContext::Destroy();
    }
    ModalViewDialogs& dialogs = ProgramViewDialogs();
    ProgramDialogsInstalled installed;
};

template <class D>
D* As(QDialog& dialog)
{
    auto* d = dynamic_cast<D*>(&dialog);
    EXPECT_NE(d, nullptr);
    return d;
}

// Drags a child window by `by` pixels from the point `from` inside it.
void Drag(QWidget& wnd, QPoint from, QPoint by)
{
    QWidget& parent = *wnd.parentWidget();
    const QPoint start = wnd.mapTo(&parent, from);
    QTest::mousePress(&wnd, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(&wnd, wnd.mapFrom(&parent, start + by * step / 4));
    QTest::mouseRelease(&wnd, Qt::LeftButton, {}, wnd.mapFrom(&parent, start + by));
}

} // namespace

TEST_F(Prompts, NameDialogReturnsAnyTextAndShowsItsMark)
{
    modal().answerDialog([](QDialog& dialog) {
        auto* name = As<CNameDlg>(dialog);
        if (!name)
            return int(QDialog::Rejected);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("重新命名窗口"));
        Open(dialog);
        EXPECT_EQ(name->NameEdit()->text(), "Cam 1");
        EXPECT_FALSE(name->MarkLabel()->isVisible());
        Type(name->NameEdit(), "Hall <\"A\"> & B");
        QTest::mouseClick(name->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_EQ(viewDialogs().AskName(nullptr, "重新命名窗口", "窗口名称:", "Cam 1"),
              std::optional<QString>("Hall <\"A\"> & B"));

    modal().answerDialog([](QDialog& dialog) {
        Open(dialog);
        Type(As<CNameDlg>(dialog)->NameEdit(), "");
        QTest::keyClick(As<CNameDlg>(dialog)->NameEdit(), Qt::Key_Return);
        return dialog.result();
    });
    EXPECT_EQ(dialogs.AskName(nullptr, "创建新分组", "分组名称:", "x"), std::optional<QString>(""));
    modal().answerDialog([](QDialog& dialog) {
        Open(dialog);
        QTest::mouseClick(As<CNameDlg>(dialog)->CancelButton(), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_EQ(dialogs.AskName(nullptr, "c", "p", "x"), std::nullopt);

    // With a mark: grey mark, red text, the edit's own grey, a black frame
    // enclosing both.
    modal().answerDialog([](QDialog& dialog) {
        Open(dialog);
        auto* name = As<CNameDlg>(dialog);
        const QImage shot = tavrix::test::screenshot(dialog);
        const QRect mark = name->MarkLabel()->geometry();
        const QRect edit = name->NameEdit()->geometry();
        EXPECT_TRUE(name->MarkLabel()->isVisible());
        EXPECT_EQ(pixelAt(shot, mark.left() + 1, mark.top() + 1), ui::rgb(150, 150, 150));
        int red = 0; // anti-aliased: red well above the grey
        for (int y = mark.top(); y <= mark.bottom(); ++y)
            for (int x = mark.left(); x <= mark.right(); ++x)
                if (const QRgb c = shot.pixel(x, y); qRed(c) > 170 && qGreen(c) < 60)
                    ++red;
        EXPECT_GT(red, 0);
        EXPECT_EQ(pixelAt(shot, edit.right() - 2, edit.center().y()), ui::rgb(240, 240, 240));
        EXPECT_EQ(pixelAt(shot, edit.left() - 20, edit.center().y()), ui::rgb(0, 0, 0));
        EXPECT_EQ(pixelAt(shot, edit.center().x(), edit.top() - 4), ui::rgb(0, 0, 0));
        return int(QDialog::Rejected);
    });
    CNameDlg marked;
    marked.m_strMark = "名";
    marked.m_strName = "";
    marked.DoModal();
}

TEST_F(Prompts, NewPlanOffersLayoutsBySourceCount)
{
    auto run = [&](std::vector<QString>& entries) {
        modal().answerDialog([&entries](QDialog& dialog) {
            auto* plan = As<CNewWinPlanDlg>(dialog);
            if (!plan)
                return int(QDialog::Rejected);
            Open(dialog);
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("创建新预案"));
            EXPECT_EQ(plan->NameEdit()->text(), "方案1");
            for (int i = 0; i < plan->LayoutCombo()->count(); ++i)
                entries.push_back(plan->LayoutCombo()->itemText(i));
            EXPECT_EQ(plan->LayoutCombo()->currentIndex(), 0);
            plan->LayoutCombo()->setCurrentIndex(plan->LayoutCombo()->count() - 1);
            Type(plan->NameEdit(), "Hall");
            QTest::mouseClick(plan->OkButton(), Qt::LeftButton);
            return dialog.result();
        });
        CNewWinPlanDlg dialog;
        dialog.m_strName = "方案1";
        EXPECT_EQ(dialog.DoModal(), int(QDialog::Accepted));
        EXPECT_EQ(dialog.GetName(), "Hall");
        return dialog.m_nLayout;
    };
    std::vector<QString> none;
    EXPECT_EQ(run(none), 0);
    EXPECT_EQ(none, (std::vector<QString>{"空布局方案"}));

    auto processor = std::make_shared<CQelProcessor>();
    for (uint32_t id : {100u, 200u, 300u})
        AddTestSource(*processor, id, 1920, 1080);
    SelectTestProcessor(processor);
    std::vector<QString> three;
    EXPECT_EQ(run(three), 31);
    EXPECT_EQ(three, (std::vector<QString>{"空布局方案", "1 x 2 布局", "2 x 1 布局", "1 x 3 布局", "3 x 1 布局"}));
    processor->link().StopSender();
}

TEST_F(Prompts, WindowPositionPreviewsTheCropAndRestoresOnCancel)
{
    const WindowRectValues opening{0, 0, 1920, 1080, 0, 0, 960, 540};
    std::vector<WindowRectValues> previews;
    auto preview = [&](const WindowRectValues& v) { previews.push_back(v); };
    modal().answerDialog([](QDialog& dialog) {
        auto* dlg = As<CSetWindowDlgEx>(dialog);
        if (!dlg)
            return int(QDialog::Rejected);
        Open(dialog);
        const QRect area = CSetWindowDlgEx::kPreviewArea;
        CSigSrcClipWnd* clip = dlg->ClipWindow();
        EXPECT_EQ(clip->geometry(), QRect(area.left(), area.top(), 185, 127));

        // The look: grey area, light crop window in a 4-pixel orange frame.
        const QImage shot = tavrix::test::screenshot(dialog);
        EXPECT_EQ(pixelAt(shot, area.right() - 3, area.bottom() - 3), ui::rgb(117, 117, 117));
        EXPECT_EQ(pixelAt(shot, area.left() + 90, area.top() + 60), ui::rgb(200, 200, 200));
        EXPECT_EQ(pixelAt(shot, area.left() + 90, area.top() + 3), ui::rgb(255, 111, 0));
        EXPECT_EQ(pixelAt(shot, area.left() + 90, area.top() + 4), ui::rgb(200, 200, 200));

        // Typed crop values stay as typed, the window follows them.
        for (int f : {CSetWindowDlg::kCropRight, CSetWindowDlg::kCropBottom})
            Type(dlg->FieldEdit(CSetWindowDlg::Field(f)), f == CSetWindowDlg::kCropRight ? "1000" : "500");
        Type(dlg->FieldEdit(CSetWindowDlg::kCropLeft), "923");
        QCoreApplication::processEvents();
        EXPECT_EQ(dlg->FieldEdit(CSetWindowDlg::kCropLeft)->text(), "923");
        EXPECT_EQ(clip->geometry().left(), area.left() + 177);
        Type(dlg->FieldEdit(CSetWindowDlg::kCropLeft), "0");
        EXPECT_EQ(clip->geometry(), QRect(area.left(), area.top(), 192, 118));

        // Dragged against the right edge: left 923, right the source width.
        Drag(*clip, QPoint(50, 50), QPoint(400, 0));
        EXPECT_EQ(clip->geometry().right(), area.right());
        EXPECT_EQ(dlg->FieldEdit(CSetWindowDlg::kCropLeft)->text(), "923");
        EXPECT_EQ(dlg->FieldEdit(CSetWindowDlg::kCropRight)->text(), "1920");

        // Beyond any range: clamped, the window stays in the area.
        Type(dlg->FieldEdit(CSetWindowDlg::kCropRight), "99999999999999999999");
        Type(dlg->FieldEdit(CSetWindowDlg::kCropTop), "-5");
        EXPECT_TRUE(area.contains(clip->geometry()));
        Type(dlg->FieldEdit(CSetWindowDlg::kCropRight), "1920");
        Type(dlg->FieldEdit(CSetWindowDlg::kCropTop), "0");

        Type(dlg->FieldEdit(CSetWindowDlg::kLeft), "10000001");
        ClickTold(dlg->OkButton());
        EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 0 和 10000000 之间的整数。"));
        EXPECT_TRUE(dialog.isVisible());
        Type(dlg->FieldEdit(CSetWindowDlg::kLeft), "100");
        Type(dlg->FieldEdit(CSetWindowDlg::kTop), "7");
        QTest::mouseClick(dlg->PreviewButton(), Qt::LeftButton);
        QTest::mouseClick(dlg->CancelButton(), Qt::LeftButton);
        EXPECT_EQ(dlg->m_values, (WindowRectValues{0, 0, 1920, 1080, 0, 0, 960, 540}));
        EXPECT_EQ(dlg->FieldEdit(CSetWindowDlg::kLeft)->text(), "0");
        return dialog.result();
    });
    WindowRectValues values = opening;
    EXPECT_FALSE(dialogs.EditWindowPosition(nullptr, values, SourceResolution{1920, 1080, 60}, preview));
    EXPECT_EQ(values, opening);
    // The drag's end and the preview button, filled by name.
    ASSERT_EQ(previews.size(), 2u);
    EXPECT_EQ(previews[0], (WindowRectValues{0, 0, 1920, 1080, 923, 0, 1920, 500}));
    EXPECT_EQ(previews[1], (WindowRectValues{100, 7, 1920, 1080, 923, 0, 1920, 500}));

    // OK hands back the fields.
    modal().answerDialog([](QDialog& dialog) {
        auto* dlg = As<CSetWindowDlgEx>(dialog);
        Open(dialog);
        Type(dlg->FieldEdit(CSetWindowDlg::kRight), "900");
        Type(dlg->FieldEdit(CSetWindowDlg::kBottom), "600");
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    values = WindowRectValues{100, 100, 200, 200, 0, 0, 1920, 1080};
    EXPECT_TRUE(dialogs.EditWindowPosition(nullptr, values, std::nullopt, preview));
    EXPECT_EQ(values, (WindowRectValues{100, 100, 900, 600, 0, 0, 1920, 1080}));
}

TEST_F(Prompts, LogoOsdNotifiesColoursAndFlagsOnly)
{
    std::vector<LogoOsdValues> seen;
    modal().answerDialog([&seen](QDialog& dialog) {
        auto* osd = As<COSDConfig>(dialog);
        if (!osd)
            return int(QDialog::Rejected);
        Open(dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("台标设置"));
        EXPECT_TRUE(osd->HiddenRadio()->isChecked());
        QTest::mouseClick(osd->ShownRadio(), Qt::LeftButton);
        EXPECT_EQ(seen.size(), 1u);
        QTest::mouseClick(osd->TransparentCheck(), Qt::LeftButton);
        EXPECT_EQ(seen.size(), 2u);
        Type(osd->FieldEdit(COSDConfig::kLeft), "12"); // position: no notice
        Type(osd->FieldEdit(COSDConfig::kTop), "34");
        EXPECT_EQ(seen.size(), 2u);
        osd->FieldEdit(COSDConfig::kCaptionRed)->selectAll();
        QTest::keyClicks(osd->FieldEdit(COSDConfig::kCaptionRed), "9");
        EXPECT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen.back().captionColour, ui::rgb(9, 0, 0));
        tavrix::test::scriptedModal().answerColour(ui::rgb(10, 20, 30));
        QTest::mouseClick(osd->BackSwatch(), Qt::LeftButton);
        EXPECT_EQ(seen.size(), 4u);
        EXPECT_EQ(osd->FieldEdit(COSDConfig::kBackGreen)->text(), "20");
        tavrix::test::scriptedModal().answerFile(QString()); // the picture chooser, cancelled
        QTest::mouseClick(osd->LoadPictureButton(), Qt::LeftButton);
        EXPECT_EQ(seen.size(), 4u);

        const QImage shot = tavrix::test::screenshot(dialog);
        const QPoint caption = osd->CaptionSwatch()->geometry().center();
        const QPoint back = osd->BackSwatch()->geometry().center();
        EXPECT_EQ(pixelAt(shot, caption.x(), caption.y()), ui::rgb(9, 0, 0));
        EXPECT_EQ(pixelAt(shot, back.x(), back.y()), ui::rgb(10, 20, 30));

        // Typing 256 passes 2 and 25 on; 256 itself only at OK, refused.
        Type(osd->FieldEdit(COSDConfig::kBackBlue), "256");
        EXPECT_EQ(seen.size(), 6u);
        EXPECT_EQ(ui::blueOf(seen.back().backgroundColour), 25);
        ClickTold(osd->OkButton());
        EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 0 和 255 之间的整数。"));
        EXPECT_TRUE(dialog.isVisible());
        Type(osd->FieldEdit(COSDConfig::kBackBlue), "30");
        QTest::mouseClick(osd->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    LogoOsdValues values;
    values.shown = false;
    values.captionColour = 0;
    values.backgroundColour = 0;
    ASSERT_TRUE(dialogs.EditLogoOsd(nullptr, values, [&](const LogoOsdValues& v) { seen.push_back(v); }));
    EXPECT_TRUE(values.shown);
    EXPECT_FALSE(values.transparent);
    EXPECT_EQ(values.captionColour, ui::rgb(9, 0, 0));
    EXPECT_EQ(values.backgroundColour, ui::rgb(10, 20, 30));
    EXPECT_EQ(values.left, 12);
    EXPECT_EQ(values.top, 34);
}
