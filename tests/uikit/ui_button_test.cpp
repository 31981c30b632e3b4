#include "uikit/ui_button.h"
#include "corlane/app_path.h"
#include "platform/ui/gdi_paint.h"
#include "uikit/res_path.h"
#include "tests/support/ui/canvas.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"

#include <QDir>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

using tavrix::test::countColour;
using tavrix::test::pixelAt;

constexpr ui::ColorRef kParent = ui::rgb(10, 20, 30);
constexpr ui::ColorRef kNormalBack = ui::rgb(206, 203, 186);
constexpr ui::ColorRef kHoverBack = ui::rgb(226, 223, 206);
constexpr ui::ColorRef kDisabledBack = ui::rgb(200, 200, 200);
constexpr ui::ColorRef kText = ui::rgb(28, 135, 213);
constexpr ui::ColorRef kUnset = ui::kNoColor;

TEST(ButtonFace, UnsetColoursFallBackToNormalThenSystem)
{
    EXPECT_EQ(ButtonStateOf(true, true, true), ButtonState::Pressed);
    EXPECT_EQ(ButtonStateOf(false, true, true), ButtonState::Disabled);

    ButtonColours colours;
    colours.back[1] = colours.border[1] = colours.text[1] = kUnset;
    const FaceColours asNormal = ResolveFaceColours(colours, ButtonState::Pressed, true);
    EXPECT_EQ(asNormal.back, kNormalBack);
    EXPECT_EQ(asNormal.border, kNormalBack);
    EXPECT_EQ(asNormal.text, kText);

    // Highlighted system colours while the mouse is over the button.
    colours.back[0] = colours.border[0] = colours.text[0] = kUnset;
    const FaceColours system = ResolveFaceColours(colours, ButtonState::Pressed, false);
    EXPECT_EQ(system.back, ui::sysColor(ui::COLOR_3DFACE));
    EXPECT_EQ(system.border, ui::sysColor(ui::COLOR_INACTIVEBORDER));
    EXPECT_EQ(system.text, ui::sysColor(ui::COLOR_BTNTEXT));
    const FaceColours hover = ResolveFaceColours(colours, ButtonState::Pressed, true);
    ASSERT_NE(ui::sysColor(ui::COLOR_3DHIGHLIGHT), ui::sysColor(ui::COLOR_3DFACE));
    EXPECT_EQ(hover.back, ui::sysColor(ui::COLOR_3DHIGHLIGHT));
    EXPECT_EQ(hover.border, ui::sysColor(ui::COLOR_ACTIVEBORDER));
    EXPECT_EQ(ResolveFaceColours(colours, ButtonState::Hover, true).back, kHoverBack); // set: kept
}

TEST(ButtonFace, IconTextAndSkinRectanglesInA60By24Button)
{
    const Rect item{0, 0, 60, 24};
    const Size icon{8, 8};
    auto centre = [](const Rect& r) { return Point{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2}; };

    const ButtonFace left = LayoutButtonFace(item, icon, true, false, true);
    EXPECT_EQ(centre(left.icon), (Point{5, 12}));
    EXPECT_EQ(left.text, (Rect{10, 0, 59, 24}));
    EXPECT_TRUE(left.textFormat & ui::DT_CENTER); // right alignment only without an icon

    const ButtonFace right = LayoutButtonFace(item, icon, true, true, false);
    EXPECT_EQ(right.icon, (Rect{51, 8, 59, 16}));
    EXPECT_EQ(right.text, (Rect{1, 0, 50, 24}));

    EXPECT_EQ(centre(LayoutButtonFace(item, icon, false, true, false).icon), (Point{30, 12}));

    const ButtonFace none = LayoutButtonFace(item, Size{}, true, false, true);
    EXPECT_EQ(none.text, (Rect{1, 0, 59, 24}));
    EXPECT_EQ(none.textFormat, unsigned(ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_END_ELLIPSIS | ui::DT_RIGHT));

    // Skin rows run normal, hover, pressed, disabled.
    const SkinPieces pressed = LayoutSkin(item, Size{9, 16}, ButtonState::Pressed);
    EXPECT_EQ(pressed.leftSource, (Rect{0, 8, 3, 12}));
    EXPECT_EQ(pressed.middleTile, (Rect{3, 8, 6, 12}));
    EXPECT_EQ(LayoutSkin(item, Size{9, 16}, ButtonState::Hover).rightSource, (Rect{6, 4, 9, 8}));
    EXPECT_FALSE(LayoutSkin(item, Size{9, 3}, ButtonState::Normal).valid);
}

std::string writeRes(const std::string& name, const QImage& image)
{
    QDir().mkpath(QString::fromStdString(qz::vok::path::GetSysPath() + "/res"));
    const std::string path = ui::resPath(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), "PNG"));
    return path;
}

TEST(UiButton, PaintsEachStateIconSkinAndTip)
{
    Canvas parent(280, 100, kParent);
    auto button = [&](int x, int y, const QString& text) {
        auto* b = new CUiButton;
        EXPECT_TRUE(b->Create(text, CUiButton::WS_VISIBLE, Rect{x, y, x + 60, y + 24}, &parent, 100));
        return b;
    };
    button(0, 0, "HHHH");
    CUiButton* pressed = button(70, 0, "");
    pressed->setDown(true);
    CUiButton* hover = button(140, 0, "");
    CUiButton* disabled = button(210, 0, "");
    disabled->setEnabled(false);

    CUiButton* face = button(70, 30, "");
    face->setDown(true);
    face->SetFaceColor(ui::rgb(1, 2, 3));

    QImage iconImage(8, 8, QImage::Format_ARGB32);
    iconImage.fill(qRgba(255, 0, 0, 255));
    const std::string iconPath = writeRes("btn_icon.png", iconImage);
    CUiButton* iconOnly = button(210, 30, "");
    iconOnly->iconRight = true;
    ASSERT_TRUE(iconOnly->LoadImage(iconPath));
    EXPECT_FALSE(iconOnly->iconRight); // a loaded icon goes left
    CUiButton* lost = button(0, 30, "");
    ASSERT_TRUE(lost->LoadImage(iconPath));
    EXPECT_FALSE(lost->LoadImage(ui::resPath("missing.png")));

    // Skin: left caps cyan with a magenta key pixel, middles green, right
    // caps blue; the normal row is 0..3.
    QImage skinImage(9, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 9; ++x)
            skinImage.setPixel(x, y, x < 3 ? qRgb(0, 255, 255) : x < 6 ? qRgb(0, 200, 0) : qRgb(0, 0, 255));
    skinImage.setPixel(0, 0, qRgb(255, 0, 255));
    CUiButton* skinned = button(0, 60, "");
    skinned->skin = &skinImage;
    const QImage narrowSkin = skinImage.copy(0, 0, 2, 16);
    CUiButton* narrow = button(70, 60, "");
    narrow->skin = &narrowSkin;
    CUiButton* bordered = new CUiButton;
    ASSERT_TRUE(
        bordered->Create("", CUiButton::WS_VISIBLE | CUiButton::WS_BORDER, Rect{140, 60, 200, 84}, &parent, 101));
    bordered->frameStyle = 1;
    bordered->colours.border[0] = ui::rgb(9, 9, 9);

    QCursor::setPos(parent.mapToGlobal(QPoint(1000, 1000))); // away from every button
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QTest::mouseMove(&parent, QPoint(270, 95));
    QTest::mouseMove(hover, QPoint(30, 12));
    ASSERT_TRUE(hover->IsHover());

    const QImage shot = tavrix::test::screenshot(parent);
    EXPECT_EQ(pixelAt(shot, 30, 2), kNormalBack);
    EXPECT_GT(countColour(shot, Rect{1, 1, 59, 23}, kText), 0);
    EXPECT_EQ(pixelAt(shot, 100, 12), ui::rgb(186, 183, 166));
    EXPECT_EQ(pixelAt(shot, 70 + 30, 0), ui::rgb(128, 128, 128)); // the pressed border
    EXPECT_EQ(pixelAt(shot, 170, 12), kHoverBack);
    EXPECT_EQ(pixelAt(shot, 240, 12), kDisabledBack);

    EXPECT_EQ(pixelAt(shot, 100, 42), ui::rgb(1, 2, 3)); // the face colour, pressed

    EXPECT_EQ(pixelAt(shot, 210 + 30, 30 + 12), ui::rgb(255, 0, 0)); // icon alone, centred
    EXPECT_EQ(pixelAt(shot, 210 + 5, 30 + 12), kNormalBack);
    EXPECT_EQ(pixelAt(shot, 30, 30 + 12), kNormalBack); // an unreadable file leaves no icon

    EXPECT_EQ(pixelAt(shot, 0, 60), kParent); // the key pixel leaves the background
    EXPECT_EQ(pixelAt(shot, 1, 70), ui::rgb(0, 255, 255));
    EXPECT_EQ(pixelAt(shot, 30, 83), ui::rgb(0, 200, 0));
    EXPECT_EQ(pixelAt(shot, 58, 70), ui::rgb(0, 0, 255));
    EXPECT_EQ(countColour(shot, Rect{70, 60, 130, 84}, kParent), 60 * 24); // too narrow a skin: nothing

    EXPECT_EQ(pixelAt(shot, 140, 70), ui::rgb(9, 9, 9));
    EXPECT_EQ(pixelAt(shot, 170, 70), kParent); // framed, not filled

    // Leaving repaints in the normal colours.
    QTest::mouseMove(&parent, QPoint(270, 95));
    EXPECT_FALSE(hover->IsHover());
    EXPECT_EQ(pixelAt(tavrix::test::screenshot(*hover), 30, 12), kNormalBack);

    // The tip is the widget's own; an empty text shows none.
    auto askForTip = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), hover->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(hover, &help);
    };
    hover->SetToolTipText("预览");
    askForTip();
    EXPECT_EQ(QToolTip::text(), "预览");
    QToolTip::hideText();
    ASSERT_TRUE(tavrix::test::pumpUntil([] { return !QToolTip::isVisible(); }));
    hover->SetToolTipText(QString());
    askForTip();
    EXPECT_FALSE(QToolTip::isVisible());
}

} // namespace
