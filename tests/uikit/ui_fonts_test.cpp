#include "uikit/ui_resource_cache.h"
#include "platform/ui/init_ui.h"

#include <QFontInfo>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

TEST(UiFonts, EachGetterKeepsOneFontOfItsSize)
{
    struct Expect {
        const QFont& (*get)();
        int pixels;
        bool bold;
    };
    const Expect fonts[] = {{GetUiFont12, 12, false},
                            {GetUiFontA, 10, false},
                            {GetUiFontB, 11, false},
                            {GetUiFont18, 18, false},
                            {GetUiFont18Bold, 18, true}};
    for (const Expect& e : fonts) {
        const QFont& first = e.get();
        EXPECT_EQ(&first, &e.get());
        EXPECT_EQ(first.family(), "宋体");
        EXPECT_EQ(first.pixelSize(), e.pixels);
        EXPECT_EQ(first.bold(), e.bold);
    }
    EXPECT_NE(&GetUiFont18(), &GetUiFont18Bold());

    FreeUiResourceCache();
    EXPECT_EQ(GetUiFont12().pixelSize(), 12); // made again after a free
}

TEST(UiFonts, SongtiResolvesToTheInstalledCjkFamily)
{
    EXPECT_TRUE(ui::initUi());
    EXPECT_EQ(QFontInfo(GetUiFont12()).family(), ui::kCjkFamily);
    EXPECT_EQ(QFontInfo(QFont("SimSun")).family(), ui::kCjkFamily);
}

TEST(UiFonts, ChineseGlyphsAreDrawnAndDiffer)
{
    auto draw = [](const QString& ch) {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(GetUiFont12());
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, ch);
        return image;
    };
    const QImage glyphs[] = {draw("处"), draw("理"), draw("器")};
    for (const QImage& g : glyphs) {
        int dark = 0;
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x)
                dark += qGray(g.pixel(x, y)) < 128;
        EXPECT_GT(dark, 10);
    }
    EXPECT_NE(glyphs[0], glyphs[1]);
    EXPECT_NE(glyphs[1], glyphs[2]);
    EXPECT_NE(glyphs[0], glyphs[2]);
}

} // namespace
