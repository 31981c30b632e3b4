#pragma once
#include "uikit/caption_layout.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

class MXCustomNC;

// The control-button glyphs: a 4 x 4 grid, columns minimise, maximise,
// restore and close, rows normal, hot, pressed and disabled; the colour of
// pixel (0, 0) is transparent.
inline constexpr const char* kControlGlyphsResource = ":/uikit/caption_buttons.png";

// The title in the caption's title box: its parts joined by " - ", as many
// leading parts as fit, centred. Mouse input goes on to the caption.
class CNText : public QWidget {
public:
    explicit CNText(MXCustomNC& nc);

    void SetTitle(const QString& title);
    const QString& Title() const { return title_; }
    const std::vector<QString>& Parts() const { return parts_; }
    const QFont& TitleFont() const { return font_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MXCustomNC& nc_;
    QString title_;
    std::vector<QString> parts_;
    std::vector<int> widths_;
    int separatorWidth_ = 0;
    QFont font_;
};

// The minimise, maximise and close buttons, drawn from the glyph grid in the
// row of their state (the disabled row while the caption is inactive). A
// click sends the frame the button's system command; presses between the
// buttons and every other mouse button go on to the caption.
class CNControlBtns : public QWidget {
public:
    explicit CNControlBtns(MXCustomNC& nc);

    // False when the glyphs cannot be loaded.
    bool LoadGlyphs();
    Size GlyphSize() const;
    // Takes the button rectangles and states of a new layout.
    void ApplyLayout(const CaptionLayout& layout);
    int State(ControlButton button) const { return states_[button]; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int buttonAt(const QPoint& local) const;
    // Every enabled button takes `state`, `button` (when 0 or more) `special`.
    void setStates(int button, int special);

    MXCustomNC& nc_;
    QImage glyphs_;
    std::array<Rect, kControlButtonCount> rects_{}; // window coordinates
    std::array<int, kControlButtonCount> states_{};
    int pressed_ = -1;
};
