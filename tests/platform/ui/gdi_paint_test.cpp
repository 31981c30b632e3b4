#include "platform/ui/gdi_paint.h"
#include "platform/ui/rect_convert.h"
#include "tests/support/ui/canvas.h"
#include "tests/support/ui/screenshot.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

using tavrix::test::pixelAt;

constexpr ui::ColorRef kBackground = ui::rgb(255, 255, 255);
constexpr ui::ColorRef kInk = ui::rgb(200, 0, 0);

QFont songti12()
{
    QFont font("宋体");
    font.setPixelSize(12);
    return font;
}

// The bounding box of the dark pixels inside `area`.
QRect inkBox(const QImage& shot, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(shot.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(GdiPaint, RectanglesAndLinesExcludeTheirFarEdges)
{
    EXPECT_EQ(ui::toQRect(Rect{10, 10, 20, 20}), QRect(10, 10, 10, 10));
    const Rect back = ui::fromQRect(QRect(3, 4, 5, 6));
    EXPECT_EQ(back.right, 8);
    EXPECT_EQ(back.bottom, 10);

    Canvas canvas(40, 40, kBackground);
    const QImage shot = canvas.shoot([](QPainter& p) {
        ui::frameRect(p, Rect{10, 10, 20, 20}, kInk);
        ui::fillRect(p, Rect{25, 25, 28, 27}, kInk);
        ui::fillRect(p, Rect{30, 30, 35, 35}, ui::kNoColor);
        ui::fillRect(p, Rect{35, 5, 30, 9}, kInk); // inverted
        p.setPen(ui::toQColor(kInk));
        ui::drawLineWin(p, 0, 0, 5, 0);
        ui::drawLineWin(p, 0, 30, 0, 35);
    });
    EXPECT_EQ(pixelAt(shot, 10, 15), kInk);
    EXPECT_EQ(pixelAt(shot, 19, 15), kInk);
    EXPECT_EQ(pixelAt(shot, 20, 15), kBackground);
    EXPECT_EQ(pixelAt(shot, 15, 10), kInk);
    EXPECT_EQ(pixelAt(shot, 15, 19), kInk);
    EXPECT_EQ(pixelAt(shot, 15, 20), kBackground);
    EXPECT_EQ(pixelAt(shot, 15, 15), kBackground);

    EXPECT_EQ(pixelAt(shot, 27, 26), kInk);
    EXPECT_EQ(pixelAt(shot, 28, 26), kBackground);
    EXPECT_EQ(pixelAt(shot, 27, 27), kBackground);
    EXPECT_EQ(pixelAt(shot, 32, 32), kBackground);
    EXPECT_EQ(pixelAt(shot, 32, 7), kBackground);

    EXPECT_EQ(pixelAt(shot, 4, 0), kInk);
    EXPECT_EQ(pixelAt(shot, 5, 0), kBackground);
    EXPECT_EQ(pixelAt(shot, 0, 34), kInk);
    EXPECT_EQ(pixelAt(shot, 0, 35), kBackground);
}

// The pattern fill must paint exactly the pixels a dotted pen drawn around
// the frame paints, for every parity of width and height.
TEST(GdiPaint, DottedFrameMatchesADottedPenAroundIt)
{
    const auto render = [](const Rect& r, bool withPen) {
        QImage image(300, 220, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter p(&image);
        p.translate(7, 3); // as the view's scroll offset does
        if (withPen) {
            QPen pen(ui::toQColor(kInk));
            pen.setCosmetic(true);
            pen.setDashPattern({1.0, 1.0});
            p.setPen(pen);
            p.drawPolygon(QPolygon({QPoint(r.left, r.top), QPoint(r.right - 1, r.top),
                                    QPoint(r.right - 1, r.bottom - 1), QPoint(r.left, r.bottom - 1)}));
        } else {
            ui::frameRectDotted(p, r, kInk);
        }
        return image;
    };
    for (const Rect& r : {Rect{10, 10, 20, 20}, Rect{11, 10, 40, 13}, Rect{10, 11, 13, 150}, Rect{5, 6, 206, 205},
                          Rect{20, 20, 21, 22}, Rect{30, 31, 32, 32}}) {
        SCOPED_TRACE(testing::Message() << r.left << "," << r.top << "," << r.right << "," << r.bottom);
        EXPECT_EQ(render(r, false), render(r, true));
    }
    QImage untouched(10, 10, QImage::Format_ARGB32_Premultiplied);
    untouched.fill(Qt::white);
    QPainter p(&untouched);
    ui::frameRectDotted(p, Rect{2, 2, 2, 8}, kInk);
    ui::frameRectDotted(p, Rect{2, 2, 8, 8}, ui::kNoColor);
    p.end();
    EXPECT_EQ(pixelAt(untouched, 2, 2), kBackground);
}

TEST(DrawTextWin, CalcRectFollowsPrefixesAndLineBreaks)
{
    QImage device(10, 10, QImage::Format_RGB32);
    QPainter p(&device);
    p.setFont(songti12());
    const QFontMetrics fm(songti12(), &device);
    auto calc = [&](const QString& text, unsigned format, int width = 0) {
        Rect r{5, 7, 5 + width, 7};
        const int h = ui::drawTextWin(p, r, text, format | ui::DT_CALCRECT);
        EXPECT_EQ(h, r.bottom - r.top);
        EXPECT_EQ(r.left, 5);
        EXPECT_EQ(r.top, 7);
        return QSize(r.right - r.left, r.bottom - r.top);
    };

    const int lineHeight = fm.height();
    EXPECT_EQ(calc("A&B", ui::DT_SINGLELINE | ui::DT_NOPREFIX).width(), fm.horizontalAdvance("A&B"));
    EXPECT_EQ(calc("A&B", ui::DT_SINGLELINE).width(), fm.horizontalAdvance("AB"));
    EXPECT_NE(fm.horizontalAdvance("A&B"), fm.horizontalAdvance("AB"));
    EXPECT_EQ(calc("A&&B", ui::DT_SINGLELINE).width(), fm.horizontalAdvance("A&B"));
    EXPECT_EQ(calc("A&B", ui::DT_SINGLELINE).height(), lineHeight);

    // "\r\n" breaks a line unless the text is a single line.
    EXPECT_EQ(calc("处理\r\n器", 0), QSize(fm.horizontalAdvance("处理"), 2 * lineHeight));
    EXPECT_EQ(calc("处理\r\n器", ui::DT_SINGLELINE), QSize(fm.horizontalAdvance("处理器"), lineHeight));
    EXPECT_EQ(calc("a\nb\rc", 0).height(), 3 * lineHeight);

    // Word breaks wrap at the width; a word wider than it stays whole.
    const int wordWidth = fm.horizontalAdvance("abcd");
    const QSize wrapped = calc("abcd abcd abcd", ui::DT_WORDBREAK, wordWidth + 2);
    EXPECT_EQ(wrapped, QSize(wordWidth, 3 * lineHeight));
    EXPECT_EQ(calc("abcdefgh", ui::DT_WORDBREAK, wordWidth).height(), lineHeight);
    EXPECT_EQ(calc("处理器处理器", ui::DT_WORDBREAK, fm.horizontalAdvance("处理器")).height(), 2 * lineHeight);
}

TEST(DrawTextWin, AlignsAndClipsToTheRectangle)
{
    Canvas canvas(120, 60, kBackground);
    const QImage shot = canvas.shoot([](QPainter& p) {
        p.setFont(songti12());
        p.setPen(Qt::black);
        ui::drawTextWin(p, Rect{0, 0, 60, 30}, "处", ui::DT_SINGLELINE | ui::DT_RIGHT | ui::DT_BOTTOM);
        ui::drawTextWin(p, Rect{60, 0, 120, 30}, "处", ui::DT_SINGLELINE | ui::DT_CENTER | ui::DT_VCENTER);
        ui::drawTextWin(p, Rect{0, 40, 20, 60}, "处理器处理器处理器", ui::DT_SINGLELINE);
        ui::drawTextWin(p, Rect{30, 40, 120, 60}, "a&bc", ui::DT_SINGLELINE);
    });
    const QFontMetrics fm(songti12());
    const int glyph = fm.horizontalAdvance("处");

    const QRect right = inkBox(shot, QRect(0, 0, 60, 30));
    EXPECT_GE(right.left(), 60 - glyph);
    EXPECT_GE(right.top(), 30 - fm.height());
    const QRect centred = inkBox(shot, QRect(60, 0, 60, 30));
    EXPECT_GE(centred.left(), 60 + (60 - glyph) / 2);
    EXPECT_LE(centred.right(), 60 + (60 + glyph) / 2);
    EXPECT_GE(centred.top(), (30 - fm.height()) / 2);
    EXPECT_LE(centred.bottom(), (30 + fm.height()) / 2);

    EXPECT_TRUE(inkBox(shot, QRect(20, 40, 10, 20)).isEmpty()); // clipped at the right edge

    // The mnemonic is underlined under 'b' only.
    const int under = 40 + fm.ascent() + 1;
    EXPECT_LT(qGray(shot.pixel(30 + fm.horizontalAdvance("a") + 1, under)), 128);
    EXPECT_GT(qGray(shot.pixel(30 + fm.horizontalAdvance("a") / 2, under)), 128);
}

} // namespace
