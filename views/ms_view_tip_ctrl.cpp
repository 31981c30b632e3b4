#include "views/ms_view_tip_ctrl.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "uikit/ui_resource_cache.h"

namespace {

// Below the pointer's hot spot, clear of the cursor.
constexpr QPoint kOffset{0, 20};
constexpr int kPadding = 3;

} // namespace

CMSViewTipCtrl::CMSViewTipCtrl(QWidget* parent)
    : QWidget(parent,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
      rest_(this), autoPop_(this)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(GetUiFont12());
    connect(&rest_, &ui::UiTimer::timeout, this, [this] {
        rest_.stop();
        ShowTip();
    });
    connect(&autoPop_, &ui::UiTimer::timeout, this, [this] { HideTip(); });
}

void CMSViewTipCtrl::AddTool(QWidget* owner, int toolId, const QString& text, const Rect& rect)
{
    owner_ = owner;
    toolId_ = toolId;
    toolText_ = text;
    toolRect_ = rect;
}

void CMSViewTipCtrl::DelTool(QWidget* owner, int toolId)
{
    if (!IsTool(owner, toolId))
        return;
    HideTip();
    owner_ = nullptr;
}

void CMSViewTipCtrl::SetToolRect(QWidget* owner, int toolId, const Rect& rect)
{
    if (IsTool(owner, toolId))
        toolRect_ = rect;
}

void CMSViewTipCtrl::UpdateText(QWidget* owner, int toolId, const QString& text)
{
    if (text == text_ || !IsTool(owner, toolId))
        return;
    text_ = text;
    toolText_ = text;
    if (!isVisible())
        return;
    if (toolText_.trimmed().isEmpty())
        HideTip();
    else
        Place();
}

void CMSViewTipCtrl::RefreshText(QWidget* owner, int toolId)
{
    if (IsTool(owner, toolId))
        toolText_ = text_;
}

void CMSViewTipCtrl::SetTipTextColor(ui::ColorRef colour)
{
    colour_ = colour;
    update();
}

void CMSViewTipCtrl::SetDelayTime(int initialMs, int autoPopMs)
{
    initialMs_ = std::max(initialMs, 0);
    autoPopMs_ = std::max(autoPopMs, 0);
}

void CMSViewTipCtrl::RelayEvent(QEvent& event)
{
    if (!owner_)
        return;
    switch (event.type()) {
    case QEvent::MouseMove: {
        const auto& move = static_cast<QMouseEvent&>(event);
        if (!InTool(move.position().toPoint())) {
            HideTip();
            return;
        }
        if (isVisible())
            return; // a shown tip stays while the pointer is on the tool
        anchor_ = move.globalPosition().toPoint();
        rest_.start(initialMs_);
        return;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Leave: HideTip(); return;
    default: return;
    }
}

bool CMSViewTipCtrl::IsTool(QWidget* owner, int toolId) const
{
    return owner_ && owner == owner_ && toolId == toolId_;
}

bool CMSViewTipCtrl::InTool(const QPoint& ownerPos) const
{
    const Rect area = RectEmpty(toolRect_) ? Rect{0, 0, owner_->width(), owner_->height()} : toolRect_;
    return PtInRect(area, ownerPos.x(), ownerPos.y());
}

void CMSViewTipCtrl::ShowTip()
{
    if (!owner_ || toolText_.trimmed().isEmpty())
        return;
    Place();
    show();
    raise();
    autoPop_.start(autoPopMs_);
}

void CMSViewTipCtrl::HideTip()
{
    rest_.stop();
    autoPop_.stop();
    if (isVisible())
        hide();
}

void CMSViewTipCtrl::Place()
{
    const QSize text = ui::textExtent(font(), toolText_);
    setGeometry(QRect(anchor_ + kOffset, text + QSize(2 * kPadding, 2 * kPadding)));
    update();
}

void CMSViewTipCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const Rect client{0, 0, width(), height()};
    ui::fillRect(p, client, ui::sysColor(ui::COLOR_INFOBK));
    ui::frameRect(p, client, ui::sysColor(ui::COLOR_WINDOWFRAME));
    p.setFont(font());
    p.setPen(ui::toQColor(colour_));
    ui::drawTextWin(p, Rect{kPadding, 0, width() - kPadding, height()}, toolText_,
                    ui::DT_LEFT | ui::DT_VCENTER | ui::DT_SINGLELINE | ui::DT_NOPREFIX);
}
