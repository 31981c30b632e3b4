#pragma once
#include "platform/ui/colour.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QPainter;

// An offscreen widget that fills itself with a background colour and then
// runs the test's painting; shoot() gives the screenshot read back from PNG.
class Canvas : public QWidget {
public:
    Canvas(int width, int height, ui::ColorRef background);
    QImage shoot(std::function<void(QPainter&)> paint);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ui::ColorRef background_;
    std::function<void(QPainter&)> paint_;
};

// An image whose pixel (x, y) has the colour `colourOf(x, y)`.
QImage patternImage(int width, int height, std::function<QRgb(int, int)> colourOf);
