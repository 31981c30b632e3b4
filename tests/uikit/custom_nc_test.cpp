#include "uikit/custom_nc.h"
#include "uikit/caption_parts.h"
#include "uikit/caption_toolbar.h"
#include "uikit/nc_codes.h"
#include "uikit/system_menu.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"

#include <QFile>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

using tavrix::test::countColour;
using tavrix::test::pixelAt;
using tavrix::test::Prompt;

QPoint centre(const Rect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The glyph the control button should show, sampled in its face.
ui::ColorRef glyphFace(int column, int row)
{
    const QImage glyphs(QString::fromLatin1(kControlGlyphsResource));
    const int w = glyphs.width() / 4, h = glyphs.height() / 4;
    return ui::fromQColor(glyphs.pixelColor(column * w + 3, row * h + h / 2));
}

// An 800 x 600 frame with a blue tool row and three 32 x 32 tool buttons.
class CaptionFrame : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        frame.setWindowTitle("Tavrix");
        frame.setCentralWidget(new QWidget);
        ASSERT_TRUE(title->Attach(&frame));
        title->SetToolBarBackColor(0x00FF0000);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(title.AddToolButton(i + 1, QString(), QString("Tool %1").arg(i + 1), image(i, Qt::darkGreen)), i);
        frame.setGeometry(100, 100, 800, 600);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        // The pointer starts in the client area, so moves onto a part enter
        // it; of two moves at least one is not to where an earlier test left
        // the pointer, which Qt would drop.
        QTest::mouseMove(window(), QPoint(401, 301));
        QTest::mouseMove(window(), QPoint(400, 300));
    }

    std::string image(int n, QColor colour, int size = 32)
    {
        QImage picture(size, size, QImage::Format_ARGB32);
        picture.fill(colour);
        const QString path = dir.filePath(QString("tool%1.png").arg(n));
        picture.save(path);
        return path.toStdString();
    }

    QWindow* window() { return frame.windowHandle(); }
    // Close, maximise and minimise show their glyphs (columns 3, 1, 0) in `row`.
    void expectGlyphRow(const QImage& shot, int row)
    {
        const int columns[kControlButtonCount] = {3, 1, 0};
        for (int b = 0; b < kControlButtonCount; ++b) {
            const Rect& r = layout().buttons[b];
            EXPECT_EQ(pixelAt(shot, r.left + 3, (r.top + r.bottom) / 2), glyphFace(columns[b], row)) << b;
        }
    }
    const CaptionLayout& layout() { return title->Layout(); }
    void clickControl(ControlButton b) { QTest::mouseClick(window(), Qt::LeftButton, {}, centre(layout().buttons[b])); }
    void rightClick(QPoint press, QPoint release)
    {
        QTest::mousePress(window(), Qt::RightButton, {}, press);
        QTest::mouseRelease(window(), Qt::RightButton, {}, release);
    }

    QTemporaryDir dir;
    QMainWindow frame;
    CCustomTitle title;
};

TEST_F(CaptionFrame, ToolButtonClickNotifiesOnceAndNeverMovesTheWindow)
{
    QSignalSpy notify(&*title, &MXCustomNC::quickBarNotify);
    const QPoint start = frame.pos();
    const QPoint second = centre(layout().tools[1].button);
    ToolButton* button = title->ToolBar().Button(1);

    QTest::mouseMove(window(), second);
    EXPECT_EQ(button->State(), ToolButton::kHotBit);
    QTest::mouseClick(window(), Qt::LeftButton, {}, centre(layout().tools[0].button));
    ASSERT_EQ(notify.count(), 1);
    EXPECT_EQ(notify.at(0).at(0).toInt(), 1);

    // Pressed, moved off and released elsewhere: nothing.
    QTest::mousePress(window(), Qt::LeftButton, {}, second);
    QTest::mouseMove(window(), QPoint(400, 300));
    EXPECT_EQ(button->State(), 0);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_EQ(notify.count(), 1);

    // Moved back on and released there: one notification.
    QTest::mousePress(window(), Qt::LeftButton, {}, second);
    QTest::mouseMove(window(), QPoint(400, 300));
    QTest::mouseMove(window(), second);
    EXPECT_EQ(button->State(), ToolButton::kPressedBit);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, second);
    ASSERT_EQ(notify.count(), 2);
    EXPECT_EQ(notify.at(1).at(0).toInt(), 2);
    EXPECT_EQ(frame.pos(), start);
}

TEST_F(CaptionFrame, ToolRowKeepsItsButtonsThroughBadImages)
{
    CNToolBar& bar = title->ToolBar();
    QFile bad(dir.filePath("bad.png"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    EXPECT_EQ(bar.AddItem(9, QString(), "x", dir.filePath("missing.png").toStdString()), -1);
    EXPECT_EQ(bar.AddItem(9, QString(), "x", bad.fileName().toStdString()), -1);
    EXPECT_EQ(title.AddToolButton(9, QString(), "x", ""), -1);
    EXPECT_EQ(bar.Count(), 3);

    // Only the button with id 27 swaps its picture; none without one.
    title->SetToolBarImage(image(10, Qt::red));
    EXPECT_EQ(bar.Button(0)->Image().pixelColor(0, 0), QColor(Qt::darkGreen));
    ASSERT_EQ(title.AddToolButton(27, QString(), "27", image(11, Qt::darkGreen)), 3);
    title->SetToolBarImage(image(12, Qt::red));
    EXPECT_EQ(bar.Button(3)->Image().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(bar.Button(2)->Image().pixelColor(0, 0), QColor(Qt::darkGreen));
    title->SetToolBarImage(dir.filePath("missing.png").toStdString());
    EXPECT_TRUE(bar.Button(3)->Image().isNull());
    EXPECT_EQ(layout().tools[3].button.right - layout().tools[3].button.left, 38); // keeps its room

    // A background image that cannot be read: no tool row at all.
    title->SetToolBarBackBitmap(QImage(), 2);
    EXPECT_EQ(bar.RowHeight(), 0);
    EXPECT_TRUE(layout().toolRow == Rect{});
    EXPECT_EQ(frame.contentsRect().top(), 27);

    // One that can: as high as the image; in mode 6 new buttons carry their tip under them.
    QImage background(16, 50, QImage::Format_RGB32);
    background.fill(Qt::gray);
    title->SetToolBarBackBitmap(background, 6);
    EXPECT_EQ(frame.contentsRect().top(), 77);
    ASSERT_EQ(title.AddToolButton(5, QString(), "方案", image(13, Qt::blue)), 4);
    EXPECT_EQ(bar.Button(4)->Label(), "方案");
    EXPECT_TRUE(bar.Button(0)->Label().isEmpty());

    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(bar.AddItem(100 + i, QString(), QString(), image(14, Qt::blue)), 5 + i);
    EXPECT_EQ(layout().tools.size(), 205u);
    EXPECT_GT(layout().tools[204].button.left, frame.width());
    bar.Clear();
    EXPECT_TRUE(layout().tools.empty());

    for (const QString& text : {QString(), QString("---"), QString(10000, QChar(0x6f14))})
        frame.setWindowTitle(text);
    EXPECT_EQ(title->TitleText().Parts().size(), 1u);
    EXPECT_FALSE(tavrix::test::screenshot(frame).isNull());
}

TEST_F(CaptionFrame, ControlButtonsChangeTheWindowState)
{
    // Hot under the pointer; pressed only while the pointer stays on it.
    QTest::mouseMove(window(), centre(layout().buttons[kCloseButton]));
    EXPECT_EQ(title->ControlButtons().State(kCloseButton), kStateHot);
    QTest::mousePress(window(), Qt::LeftButton, {}, centre(layout().buttons[kCloseButton]));
    EXPECT_EQ(title->ControlButtons().State(kCloseButton), kStatePressed);
    QTest::mouseMove(window(), QPoint(400, 15));
    EXPECT_EQ(title->ControlButtons().State(kCloseButton), kStateNormal);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(400, 15));
    EXPECT_TRUE(frame.isVisible());

    clickControl(kMaxButton);
    EXPECT_TRUE(frame.isMaximized());
    EXPECT_EQ(layout().border, 0);
    EXPECT_EQ(frame.contentsMargins().left(), 0);
    clickControl(kMaxButton);
    EXPECT_FALSE(frame.isMaximized());
    EXPECT_EQ(frame.contentsMargins().left(), 3);

    // Minimising a maximised frame and restoring it brings it back maximised.
    clickControl(kMaxButton);
    clickControl(kMinButton);
    EXPECT_TRUE(frame.isMinimized());
    // What the minimise button does on a minimised frame (offscreen gives it no input).
    title->SysCommand(ControlButtonCommand(kMinButton, title->Style()));
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(frame.isMaximized());
    clickControl(kMaxButton);

    frame.resize(100, 100);
    EXPECT_EQ(frame.size(), QSize(400, 300));
    clickControl(kCloseButton);
    EXPECT_FALSE(frame.isVisible());
}

TEST_F(CaptionFrame, CaptionAndBorderMoveAndResizeTheWindowWithoutAWindowManager)
{
    const QPoint start = frame.pos();
    QTest::mousePress(window(), Qt::LeftButton, {}, QPoint(200, 15));
    QTest::mouseMove(window(), QPoint(230, 35));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(200, 15));
    EXPECT_EQ(frame.pos(), start + QPoint(30, 20));

    QTest::mousePress(window(), Qt::LeftButton, {}, QPoint(798, 598));
    QTest::mouseMove(window(), QPoint(748, 558));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(748, 558));
    EXPECT_EQ(frame.size(), QSize(750, 560));
    EXPECT_EQ(frame.pos(), start + QPoint(30, 20));

    // A double click on the caption maximises, another restores.
    QTest::mouseDClick(window(), Qt::LeftButton, {}, QPoint(200, 15));
    EXPECT_TRUE(frame.isMaximized());
    QTest::mouseDClick(window(), Qt::LeftButton, {}, QPoint(200, 12));
    EXPECT_FALSE(frame.isMaximized());

    // The left edge dragged far to the right stops at the smallest width.
    const int right = frame.geometry().right();
    QTest::mousePress(window(), Qt::LeftButton, {}, QPoint(1, 300));
    QTest::mouseMove(window(), QPoint(700, 300));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(frame.width(), 400);
    EXPECT_EQ(frame.geometry().right(), right);
}

TEST_F(CaptionFrame, SystemMenuOpensByRightClickAndAltSpaceAndActs)
{
    modal().answerMenu(SC_MAXIMIZE);
    const QPoint releasedAt = frame.mapToGlobal(QPoint(210, 20));
    rightClick(QPoint(200, 15), QPoint(210, 20));
    ASSERT_EQ(modal().prompts().size(), 1u);
    const Prompt first = modal().prompts()[0];
    EXPECT_EQ(first.pos, releasedAt);
    EXPECT_FALSE(first.popup.selectFirst);
    EXPECT_FALSE(first.menu.find(SC_RESTORE)->enabled);
    EXPECT_TRUE(first.menu.find(SC_SIZE)->enabled);
    EXPECT_TRUE(first.menu.find(SC_CLOSE)->isDefault);
    EXPECT_TRUE(frame.isMaximized());

    // Maximised, from a tool button: Restore instead of Move, Size and Maximise.
    modal().answerMenu(SC_RESTORE);
    const QPoint tool = centre(layout().tools[0].button);
    rightClick(tool, tool);
    ASSERT_EQ(modal().prompts().size(), 2u);
    const ui::MenuSpec& maximised = modal().prompts()[1].menu;
    EXPECT_TRUE(maximised.find(SC_RESTORE)->enabled);
    EXPECT_FALSE(maximised.find(SC_MOVE)->enabled);
    EXPECT_FALSE(maximised.find(SC_SIZE)->enabled);
    EXPECT_FALSE(maximised.find(SC_MAXIMIZE)->enabled);
    EXPECT_FALSE(frame.isMaximized());

    // Released off the caption: no menu.
    rightClick(QPoint(200, 15), QPoint(400, 300));
    EXPECT_EQ(modal().prompts().size(), 2u);

    // Alt+Space: under the caption row's left end, first item active.
    modal().answerMenu(SC_MINIMIZE);
    QTest::keyClick(&frame, Qt::Key_Space, Qt::AltModifier);
    ASSERT_EQ(modal().prompts().size(), 3u);
    EXPECT_EQ(modal().prompts()[2].pos, frame.mapToGlobal(QPoint(3, 27)));
    EXPECT_TRUE(modal().prompts()[2].popup.selectFirst);
    EXPECT_TRUE(frame.isMinimized());

    title->SysCommand(SC_RESTORE);
    modal().answerMenu(SC_CLOSE);
    rightClick(QPoint(200, 15), QPoint(200, 15));
    EXPECT_FALSE(frame.isVisible());
}

TEST_F(CaptionFrame, ScreenshotShowsBorderCaptionTitleAndToolRow)
{
    ASSERT_TRUE(title->IsActive());
    const Rect hot = layout().tools[1].button;
    QTest::mouseMove(window(), centre(hot));
    const QImage shot = tavrix::test::screenshot(frame);

    EXPECT_EQ(pixelAt(shot, 0, 300), ui::rgb(128, 128, 128));
    EXPECT_EQ(pixelAt(shot, 1, 300), ui::rgb(160, 160, 160));
    EXPECT_EQ(pixelAt(shot, 2, 300), ui::rgb(128, 128, 128));
    EXPECT_EQ(pixelAt(shot, 799, 5), ui::rgb(128, 128, 128));
    EXPECT_EQ(pixelAt(shot, 100, 15), ui::sysColor(ui::COLOR_ACTIVECAPTION));
    EXPECT_EQ(pixelAt(shot, 400, 50), ui::rgb(0, 0, 255));
    EXPECT_GT(countColour(shot, layout().text, ui::rgb(232, 232, 255)), 10);
    EXPECT_EQ(countColour(shot, Rect{200, 3, 340, 27}, ui::rgb(232, 232, 255)), 0);
    // The hot tool button is framed, its picture inside.
    EXPECT_EQ(pixelAt(shot, (hot.left + hot.right) / 2, hot.top), ui::rgb(128, 128, 128));
    EXPECT_EQ(pixelAt(shot, hot.left + 10, hot.top + 10), ui::fromQColor(Qt::darkGreen));
    expectGlyphRow(shot, kStateNormal); // active control buttons in the normal row
}

TEST_F(CaptionFrame, ScreenshotOfAnInactiveFrameWithCaptionImageAndTooWideTitle)
{
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(title->IsActive());
    QImage caption(40, 24, QImage::Format_RGB32);
    caption.fill(Qt::red);
    for (int y = 0; y < 24; ++y)
        for (int x = 20; x < 40; ++x)
            caption.setPixelColor(x, y, Qt::green);
    title->SetCaptionImage(caption);
    title->SetCaptionDrawMode(3); // right end kept, column 0 stretched over the rest
    frame.setWindowTitle(QString(30, 'W') + " - Tavrix");
    const QImage shot = tavrix::test::screenshot(frame);

    EXPECT_EQ(pixelAt(shot, 10, 15), ui::rgb(255, 0, 0));
    EXPECT_EQ(pixelAt(shot, 796, 4), ui::rgb(0, 255, 0));
    // Too wide for its room, the title is cut short there, not dropped.
    EXPECT_GT(countColour(shot, layout().text, ui::rgb(232, 232, 255)), 0);
    expectGlyphRow(shot, kStateDisabled);
}

TEST(CustomNC, AttachFitsTheFrameItIsGiven)
{
    CCustomTitle title;
    EXPECT_FALSE(title->Attach(nullptr));

    // Without a caption: the border only.
    QWidget bare;
    bare.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    ASSERT_TRUE(title->Attach(&bare));
    bare.resize(500, 400);
    EXPECT_TRUE(title->Layout().caption == Rect{});
    EXPECT_EQ(bare.contentsMargins(), QMargins(3, 3, 3, 3));
    EXPECT_EQ(title->Detach(), &bare);
    EXPECT_EQ(bare.contentsMargins(), QMargins());

    // A frame of fixed size grows so that its client area keeps its size.
    QWidget fixed;
    fixed.setFixedSize(500, 400);
    ASSERT_TRUE(title->Attach(&fixed));
    EXPECT_TRUE(fixed.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(fixed.size(), QSize(506, 430));
    EXPECT_EQ(fixed.contentsRect().size(), QSize(500, 400));
    EXPECT_FALSE(title->Style() & WS_THICKFRAME);

    // A maximise box without a minimise box: the minimise button is disabled.
    QWidget noMin;
    noMin.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    ASSERT_TRUE(title->Attach(&noMin));
    noMin.setGeometry(50, 50, 600, 400);
    noMin.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&noMin));
    QTest::mouseClick(noMin.windowHandle(), Qt::LeftButton, {}, centre(title->Layout().buttons[kMinButton]));
    EXPECT_EQ(title->ControlButtons().State(kMinButton), kStateDisabled);
    EXPECT_FALSE(noMin.isMinimized());
}

} // namespace
