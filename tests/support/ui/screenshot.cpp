#include "tests/support/ui/screenshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace tavrix::test {

QImage screenshot(QWidget& widget)
{
    const QString dir = QStringLiteral(TAVRIX_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    std::string name = "screenshot";
    if (const auto* info = testing::UnitTest::GetInstance()->current_test_info())
        name = std::string(info->test_suite_name()) + "." + info->name();
    // Parameterised tests have "/" in their names.
    std::replace(name.begin(), name.end(), '/', '_');
    static std::map<std::string, int> taken;
    const int n = ++taken[name];
    const QString path = QStringLiteral("%1/%2-%3.png").arg(dir, QString::fromStdString(name)).arg(n);

    const QPixmap grabbed = widget.grab();
    EXPECT_FALSE(grabbed.isNull()) << "grab() gave nothing";
    // Written under a name of this process first: two runs of one test at
    // once (a repeat beside the suite) must not read each other's picture.
    const QString own = QStringLiteral("%1.%2.tmp").arg(path).arg(QCoreApplication::applicationPid());
    EXPECT_TRUE(grabbed.save(own, "PNG")) << "cannot write " << own.toStdString();
    QImage read(own, "PNG");
    EXPECT_FALSE(read.isNull()) << "cannot read back " << own.toStdString();
    std::rename(own.toLocal8Bit().constData(), path.toLocal8Bit().constData());
    return read.convertToFormat(QImage::Format_RGB32);
}

QImage shownOnScreen(QWidget& widget)
{
    QWidget* top = widget.window();
    const QPoint at = widget.mapTo(top, QPoint(0, 0));
    QScreen* screen = top->screen();
    const QPixmap shown =
        screen ? screen->grabWindow(top->winId(), at.x(), at.y(), widget.width(), widget.height()) : QPixmap();
    EXPECT_FALSE(shown.isNull()) << "the screen gave nothing";
    return shown.toImage().convertToFormat(QImage::Format_RGB32);
}

ui::ColorRef pixelAt(const QImage& image, int x, int y)
{
    if (!image.valid(x, y))
        return ui::kNoColor;
    const QRgb p = image.pixel(x, y);
    return ui::rgb(qRed(p), qGreen(p), qBlue(p));
}

int countColour(const QImage& image, const Rect& r, ui::ColorRef colour)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += pixelAt(image, x, y) == colour;
    return n;
}

} // namespace tavrix::test
