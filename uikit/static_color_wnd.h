#pragma once
#include "platform/geometry.h"
#include "platform/ui/colour.h"

#include <QWidget>
#include <cstdint>
#include <vector>

// A colour swatch with a sunken outline; it can also show a one-bit picture
// (rows padded to 32 bits, first row at the top) over the colour.
class CStaticColorWnd : public QWidget {
    Q_OBJECT
public:
    explicit CStaticColorWnd(QWidget* parent = nullptr);

    // Set by the owner; call update() after changing them. The swatch keeps
    // its own copy of the picture; one shorter than its source rectangle
    // needs is not drawn.
    ui::ColorRef color = ui::rgb(0, 0, 0);
    bool pictureOn = false;
    std::vector<std::uint8_t> picture;
    Rect pictureSource;

protected:
    void paintEvent(QPaintEvent* event) override;
};
