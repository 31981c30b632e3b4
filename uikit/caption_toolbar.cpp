#include "uikit/caption_toolbar.h"

#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/image_file.h"
#include "platform/ui/rect_convert.h"
#include "uikit/draw_helpers.h"
#include "uikit/ui_resource_cache.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr ui::ColorRef kHotFrame = ui::rgb(128, 128, 128);
constexpr ui::ColorRef kTextColour = ui::rgb(255, 255, 255);
// Buttons added while the row is drawn in this mode show their tip under them.
constexpr int kLabelledMode = 6;

QImage premultiplied(QImage image)
{
    if (!image.isNull())
        PremultiplyAlpha(image);
    return image;
}

} // namespace

ToolButton::ToolButton(int id, const QString& text, const QString& tip, const QImage& image, const QFont& font,
                       QWidget* parent)
    : QWidget(parent), id_(id), text_(text), font_(font)
{
    setToolTip(tip);
    SetImage(image);
}

void ToolButton::SetImage(const QImage& image)
{
    image_ = premultiplied(image);
    if (!image_.isNull())
        imageSize_ = Size{image_.width(), image_.height()};
    update();
}

void ToolButton::setState(int state)
{
    if (state != state_) {
        state_ = state;
        update();
    }
}

void ToolButton::paintEvent(QPaintEvent*)
{
    if (image_.isNull() || imageSize_.cx <= 0 || imageSize_.cy <= 0)
        return;
    QPainter p(this);
    const Rect all{0, 0, width(), height()};
    if (state_ & (kPressedBit | kHotBit)) {
        p.setPen(ui::toQColor(kHotFrame));
        p.setBrush(Qt::NoBrush);
        DrawRoundRect(all, p, 6, 6);
    }
    p.drawImage(QPoint(margin_, margin_), image_);
    if (!text_.isEmpty()) {
        p.setFont(font_);
        p.setPen(ui::toQColor(kTextColour));
        ui::drawTextWin(p, Rect{0, margin_ + imageSize_.cy, width(), height()}, text_,
                        ui::DT_CENTER | ui::DT_SINGLELINE);
    }
}

void ToolButton::enterEvent(QEnterEvent*)
{
    // An inactive caption shows no hover.
    if (!tracking_ && isActiveWindow())
        setState(kHotBit);
}

void ToolButton::leaveEvent(QEvent*)
{
    if (!tracking_)
        setState(0);
}

void ToolButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore(); // the caption's system menu
        return;
    }
    tracking_ = true;
    setState(kPressedBit);
}

void ToolButton::mouseMoveEvent(QMouseEvent* event)
{
    if (tracking_)
        setState(rect().contains(event->position().toPoint()) ? kPressedBit : 0);
}

void ToolButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !tracking_) {
        event->ignore();
        return;
    }
    tracking_ = false;
    const bool over = rect().contains(event->position().toPoint());
    const bool click = over && (state_ & kPressedBit);
    setState(over ? kHotBit : 0);
    if (click)
        emit clicked(id_);
}

void ToolButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

CNToolBar::CNToolBar(QWidget* parent) : QWidget(parent), backColour_(ui::sysColor(ui::COLOR_BTNFACE))
{
    CreateMenuFont(labelFont_);
}

int CNToolBar::AddItem(int id, const QString& text, const QString& tip, const std::string& imagePath)
{
    if (imagePath.empty())
        return -1;
    const QImage image = ui::loadImage(imagePath);
    if (image.isNull())
        return -1;
    auto* button = new ToolButton(id, text, tip, image, labelFont_, this);
    if (drawMode_ == kLabelledMode)
        button->SetLabel(tip);
    connect(button, &ToolButton::clicked, this, &CNToolBar::itemClicked);
    buttons_.push_back(button);
    emit buttonsChanged();
    return int(buttons_.size()) - 1;
}

void CNToolBar::Clear()
{
    for (ToolButton* button : buttons_)
        delete button;
    buttons_.clear();
    labels_.clear();
    emit buttonsChanged();
}

ToolButton* CNToolBar::Button(int index) const
{
    return index >= 0 && index < Count() ? buttons_[std::size_t(index)] : nullptr;
}

ToolButton* CNToolBar::ButtonById(int id) const
{
    for (ToolButton* button : buttons_)
        if (button->Id() == id)
            return button;
    return nullptr;
}

std::vector<Size> CNToolBar::ImageSizes() const
{
    std::vector<Size> sizes;
    for (const ToolButton* button : buttons_)
        sizes.push_back(button->ImageSize());
    return sizes;
}

void CNToolBar::SetBackColor(ui::ColorRef colour)
{
    background_ = QImage();
    backColour_ = colour;
    rowHeight_ = 40;
    update();
}

void CNToolBar::SetBackBitmap(const QImage& bitmap, int mode)
{
    background_ = bitmap;
    rowHeight_ = bitmap.isNull() ? 0 : bitmap.height();
    if (!bitmap.isNull())
        drawMode_ = mode;
    update();
}

void CNToolBar::ApplyLayout(const CaptionLayout& layout)
{
    setGeometry(ui::toQRect(layout.toolFill));
    setVisible(!RectEmpty(layout.toolFill));
    labels_.assign(buttons_.size(), Rect{});
    const QPoint origin(layout.toolFill.left, layout.toolFill.top);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        ToolButton* button = buttons_[i];
        const Rect box = i < layout.tools.size() ? layout.tools[i].button : Rect{};
        button->SetMargin(layout.toolMargin);
        button->setGeometry(ui::toQRect(box).translated(-origin));
        button->setVisible(!RectEmpty(box));
        if (i < layout.tools.size())
            labels_[i] = layout.tools[i].label;
    }
    update();
}

void CNToolBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.translate(-pos());
    const Rect fill = ui::fromQRect(geometry());
    if (!background_.isNull())
        DrawBitmapInRect(fill, p, background_, background_.width(), background_.height(), drawMode_);
    else
        ui::fillRect(p, fill, backColour_);
    p.setFont(labelFont_);
    p.setPen(ui::toQColor(kTextColour));
    for (std::size_t i = 0; i < buttons_.size() && i < labels_.size(); ++i) {
        const ToolButton* button = buttons_[i];
        if (!button->Label().isEmpty() && !button->Image().isNull() && !RectEmpty(labels_[i]))
            ui::drawTextWin(p, labels_[i], button->Label(), ui::DT_CENTER | ui::DT_WORDBREAK);
    }
}
