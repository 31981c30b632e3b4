#include "uikit/ui_tip_ctrl.h"

#include "platform/ui/colour.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/init_ui.h"
#include "uikit/ui_resource_cache.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr ui::ColorRef kTipBackground = ui::rgb(255, 255, 240);
// Wider windows are refused by X11; a tip that long is cut there.
constexpr int kMaxWindowSide = 32767;

} // namespace

CUiTipCtrl::CUiTipCtrl(QWidget* owner)
    : QWidget(owner,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
      fadeIn_(this), fadeOut_(this), layered_(ui::windowOpacitySupported())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(GetUiFont12());
    connect(&fadeIn_, &ui::UiTimer::timeout, this, &CUiTipCtrl::onFadeIn);
    connect(&fadeOut_, &ui::UiTimer::timeout, this, &CUiTipCtrl::onFadeOut);
}

bool CUiTipCtrl::ShowAt(const Rect& anchor, const QPoint& offset, const QString& text)
{
    if (anchor == anchor_)
        return isVisible();
    anchor_ = anchor;
    text_ = text;

    const QSize extent = ui::textExtent(font(), text_);
    const int width = std::min(extent.width() + 10, kMaxWindowSide);
    const int height = std::min(extent.height() + 6, kMaxWindowSide);
    setGeometry(anchor.left + offset.x(), anchor.top + offset.y(), width, height);
    update();
    fadeOut_.stop();
    if (layered_ && fade_.alpha() < 255)
        fadeIn_.start(fade_.fadeInPeriod());
    // The alpha goes on before the window shows, so it never flashes opaque.
    applyAlpha();
    show();
    raise();
    return true;
}

void CUiTipCtrl::Hide()
{
    anchor_ = Rect{};
    if (!isVisible())
        return;
    if (layered_) {
        fadeIn_.stop();
        fadeOut_.start(fade_.fadeOutPeriod());
    } else {
        hide();
    }
}

void CUiTipCtrl::onFadeIn()
{
    update();
    if (!fade_.fadeInTick())
        fadeIn_.stop();
    applyAlpha();
}

void CUiTipCtrl::onFadeOut()
{
    update();
    if (fade_.fadeOutTick()) {
        applyAlpha();
        return;
    }
    fadeOut_.stop();
    if (isVisible())
        hide();
    applyAlpha();
}

void CUiTipCtrl::applyAlpha()
{
    if (layered_)
        setWindowOpacity(fade_.alpha() / 255.0);
}

void CUiTipCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // A one-pixel window border around the client area.
    ui::frameRect(p, Rect{0, 0, width(), height()}, ui::sysColor(ui::COLOR_WINDOWFRAME));
    p.translate(1, 1);
    const int clientWidth = width() - 2;
    const int clientHeight = height() - 2;
    ui::fillRect(p, Rect{0, 0, clientWidth, clientHeight}, kTipBackground);
    p.setFont(font());
    p.setPen(Qt::black);
    ui::drawTextWin(p, Rect{2, 0, clientWidth - 3, clientHeight}, text_,
                    ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_LEFT);
}
