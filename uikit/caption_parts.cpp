#include "uikit/caption_parts.h"

#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/rect_convert.h"
#include "uikit/caption_title.h"
#include "uikit/custom_nc.h"
#include "uikit/draw_helpers.h"
#include "uikit/nc_codes.h"
#include "uikit/system_menu.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/uikit_resources.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Every part, separator and the inactive title share one colour.
constexpr ui::ColorRef kTitleColour = ui::rgb(232, 232, 255);

QFont titleFont()
{
    QFont font;
    CreateMenuFont(font);
    // The menu font three pixels larger, bold.
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    font.setPixelSize(pixels + 3);
    font.setWeight(QFont::Bold);
    return font;
}

QPoint windowPoint(const QWidget& part, const QPoint& local)
{
    return part.mapTo(part.parentWidget(), local);
}

} // namespace

CNText::CNText(MXCustomNC& nc) : QWidget(&nc), nc_(nc), font_(titleFont())
{
    separatorWidth_ = ui::textExtent(font_, QStringLiteral(" - ")).width();
}

void CNText::SetTitle(const QString& title)
{
    title_ = title;
    parts_ = SplitTitle(title);
    widths_.clear();
    for (const QString& part : parts_)
        widths_.push_back(ui::textExtent(font_, part).width());
    update();
}

void CNText::paintEvent(QPaintEvent*)
{
    const TitleRun run = FitTitle(widths_, separatorWidth_, width());
    if (parts_.empty() || width() <= 0)
        return;
    QPainter p(this);
    p.setFont(font_);
    p.setPen(ui::toQColor(kTitleColour));
    const unsigned format = ui::DT_VCENTER | ui::DT_SINGLELINE | ui::DT_NOPREFIX;
    if (run.count == 0) {
        // Not even the first part fits the room the menu leaves: cut short.
        const QString cut = QFontMetrics(font_).elidedText(parts_.front(), Qt::ElideRight, width());
        ui::drawTextWin(p, Rect{0, 0, width(), height()}, cut, format);
        return;
    }
    int x = (width() - run.width) / 2;
    for (int i = 0; i < run.count; ++i) {
        if (i > 0) {
            ui::drawTextWin(p, Rect{x, 0, x + separatorWidth_, height()}, QStringLiteral(" - "), format);
            x += separatorWidth_;
        }
        ui::drawTextWin(p, Rect{x, 0, x + widths_[i], height()}, parts_[i], format);
        x += widths_[i];
    }
}

CNControlBtns::CNControlBtns(MXCustomNC& nc) : QWidget(&nc), nc_(nc)
{
    setMouseTracking(true);
}

bool CNControlBtns::LoadGlyphs()
{
    InitUikitResources();
    if (glyphs_.isNull())
        glyphs_.load(QString::fromLatin1(kControlGlyphsResource));
    return !glyphs_.isNull() && glyphs_.width() >= 4 && glyphs_.height() >= 4;
}

Size CNControlBtns::GlyphSize() const
{
    return Size{glyphs_.width() / 4, glyphs_.height() / 4};
}

void CNControlBtns::ApplyLayout(const CaptionLayout& layout)
{
    rects_ = layout.buttons;
    states_ = layout.buttonStates;
    pressed_ = -1;
    Rect all{};
    for (const Rect& r : rects_)
        all = UnionRect(all, r);
    setGeometry(ui::toQRect(all));
    setVisible(!RectEmpty(all));
    update();
}

int CNControlBtns::buttonAt(const QPoint& local) const
{
    const QPoint pt = windowPoint(*this, local);
    for (int b = 0; b < kControlButtonCount; ++b)
        if (PtInRect(rects_[b], pt.x(), pt.y()))
            return b;
    return -1;
}

void CNControlBtns::setStates(int button, int special)
{
    auto before = states_;
    for (int b = 0; b < kControlButtonCount; ++b)
        if (states_[b] != kStateDisabled)
            states_[b] = b == button ? special : kStateNormal;
    if (states_ != before)
        update();
}

void CNControlBtns::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.translate(-pos());
    const unsigned style = nc_.Style();
    const int columns[kControlButtonCount] = {3, style & WS_MAXIMIZE ? 2 : 1, style & WS_MINIMIZE ? 2 : 0};
    for (int b = 0; b < kControlButtonCount; ++b) {
        const int row = nc_.IsActive() ? states_[b] : kStateDisabled;
        DrawBitmapCell(rects_[b], p, glyphs_, columns[b], row);
    }
}

void CNControlBtns::mousePressEvent(QMouseEvent* event)
{
    const int button = buttonAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || button < 0) {
        event->ignore(); // the caption's: a drag, a double click or the system menu
        return;
    }
    pressed_ = button;
    setStates(button, kStatePressed);
}

void CNControlBtns::mouseMoveEvent(QMouseEvent* event)
{
    const int button = buttonAt(event->position().toPoint());
    if (pressed_ >= 0)
        setStates(pressed_, button == pressed_ ? kStatePressed : kStateNormal);
    else if (nc_.IsActive()) // an inactive caption shows no hover
        setStates(button, kStateHot);
}

void CNControlBtns::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || pressed_ < 0) {
        event->ignore();
        return;
    }
    const int pressed = pressed_;
    pressed_ = -1;
    const int button = buttonAt(event->position().toPoint());
    setStates(-1, kStateNormal);
    if (button == pressed) {
        if (const int command = ControlButtonCommand(button, nc_.Style()))
            nc_.SysCommand(command);
    }
}

void CNControlBtns::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A quick second click on a button is a click of its own.
    if (event->button() == Qt::LeftButton && buttonAt(event->position().toPoint()) >= 0)
        mousePressEvent(event);
    else
        event->ignore();
}

void CNControlBtns::leaveEvent(QEvent*)
{
    if (pressed_ < 0)
        setStates(-1, kStateNormal);
}
