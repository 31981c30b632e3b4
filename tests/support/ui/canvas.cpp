#include "tests/support/ui/canvas.h"
#include "tests/support/ui/screenshot.h"

#include <QPainter>

Canvas::Canvas(int width, int height, ui::ColorRef background) : background_(background)
{
    setFixedSize(width, height);
}

QImage Canvas::shoot(std::function<void(QPainter&)> paint)
{
    paint_ = std::move(paint);
    return tavrix::test::screenshot(*this);
}

void Canvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ui::toQColor(background_));
    if (paint_)
        paint_(p);
}

QImage patternImage(int width, int height, std::function<QRgb(int, int)> colourOf)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colourOf(x, y));
    return image;
}
