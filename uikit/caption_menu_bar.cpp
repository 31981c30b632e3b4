#include "uikit/caption_menu_bar.h"

#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/modal.h"
#include "platform/ui/rect_convert.h"
#include "platform/ui/virtual_key.h"
#include "uikit/custom_nc.h"
#include "uikit/draw_helpers.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/uikit_resources.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

using M = MenuModeMachine;

constexpr ui::ColorRef kItemText = ui::rgb(232, 232, 255);
constexpr ui::ColorRef kOpenItemText = ui::rgb(0, 0, 0);
constexpr int kHighlightCorner = 6;
constexpr int kChevronFrames = 4;
constexpr int kInactiveChevronFrame = 3;

} // namespace

CMenuHostWnd::CMenuHostWnd(CNCustomMenuBar& bar, QWidget* parent) : QWidget(parent), bar_(bar)
{
    setGeometry(0, 0, 0, 0);
    setMouseTracking(true); // every move, as a capture had them
    hide();
}

void CMenuHostWnd::keyPressEvent(QKeyEvent* event)
{
    const int vk = ui::virtualKey(*event);
    const bool sys = (event->modifiers() & Qt::AltModifier) || vk == M::VK_MENU || vk == M::VK_F10;
    bar_.apply(bar_.session_->machine.KeyDown(vk, sys));
}

void CMenuHostWnd::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        bar_.apply(bar_.session_->machine.KeyUp(ui::virtualKey(*event)));
}

void CMenuHostWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        bar_.apply(bar_.session_->machine.ButtonDown(bar_.itemAt(event->globalPosition().toPoint())));
}

void CMenuHostWnd::mouseMoveEvent(QMouseEvent* event)
{
    bar_.apply(bar_.session_->machine.MouseMove(bar_.itemAt(event->globalPosition().toPoint())));
}

void CMenuHostWnd::focusOutEvent(QFocusEvent* event)
{
    // The keyboard went to another window: menu mode is over. A drop-down
    // taking it is part of menu mode.
    if (event->reason() != Qt::PopupFocusReason && !bar_.DropDownOpen())
        bar_.EndMenuMode();
}

bool CMenuWatcher::popupKey(int virtualKey, int openMenus, bool activeItemHasSubMenu)
{
    if (!bar_)
        return false;
    unsigned effects = 0;
    const bool taken = bar_->session_->machine.PopupKey(virtualKey, openMenus, activeItemHasSubMenu, effects);
    bar_->apply(effects);
    return taken;
}

void CMenuWatcher::popupMouseMove(QPoint global)
{
    if (bar_)
        bar_->apply(bar_->session_->machine.MouseMove(bar_->itemAt(global)));
}

CNCustomMenuBar::CNCustomMenuBar(MXCustomNC& nc)
    : nc_(nc), session_(std::make_shared<Session>(*this)), host_(new CMenuHostWnd(*this, &nc))
{
    CreateMenuFont(font_);
    // A quit asked for while a drop-down is open ends menu mode with it.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &CNCustomMenuBar::EndMenuMode);
}

CNCustomMenuBar::~CNCustomMenuBar()
{
    // A drop-down still open returns into the session, which ends there.
    session_->machine.Leave();
    if (session_->machine.DropDownOpen())
        ui::modalHost().cancelPopup();
}

bool CNCustomMenuBar::LoadResources()
{
    InitUikitResources();
    if (chevron_.isNull())
        chevron_.load(QString::fromLatin1(kChevronResource));
    return chevron_.width() >= kChevronFrames && chevron_.height() > 0;
}

Size CNCustomMenuBar::ChevronSize() const
{
    return Size{chevron_.width() / kChevronFrames, chevron_.height()};
}

void CNCustomMenuBar::SetFrame(QWidget* frame)
{
    if (frame == frame_)
        return;
    if (frame_) {
        qApp->removeEventFilter(this);
        EndMenuMode();
    }
    frame_ = frame;
    if (frame_)
        qApp->installEventFilter(this);
}

void CNCustomMenuBar::SetMenu(const ui::MenuSpec& menu)
{
    menu_ = menu;
    items_.clear();
    std::vector<int> mnemonics;
    for (const ui::MenuSpec& item : menu_.items) {
        items_.push_back(MeasureMenuItem(item.text, font_));
        mnemonics.push_back(items_.back().mnemonic);
    }
    layout_ = MenuBarLayout{};
    session_->machine.SetItems(std::move(mnemonics));
    apply(M::kNothing);
}

std::vector<Size> CNCustomMenuBar::ItemSizes() const
{
    std::vector<Size> sizes;
    for (const MenuBarItem& item : items_)
        sizes.push_back(Size{item.width, item.height});
    return sizes;
}

void CNCustomMenuBar::ApplyLayout(const MenuBarLayout& layout)
{
    layout_ = layout;
    session_->machine.SetOverflow(layout.overflow);
    apply(M::kNothing);
}

void CNCustomMenuBar::Paint(QPainter& p, bool active) const
{
    const std::size_t shown = layout_.overflow >= 0 ? std::size_t(layout_.overflow) : layout_.items.size();
    p.save();
    p.setFont(font_);
    for (std::size_t i = 0; i < shown && i < items_.size(); ++i) {
        Rect r = layout_.items[i];
        if (RectEmpty(r))
            continue;
        ui::ColorRef colour = kItemText;
        switch (StateOf(int(i))) {
        case M::kHot: FillGlassRoundRect(r, p, kHighlightCorner, kHighlightCorner, 88, 58); break;
        case M::kOpened:
            FillGlassRoundRect(r, p, kHighlightCorner, kHighlightCorner, 196, 164);
            r = OffsetRect(r, 1, 1);
            if (active)
                colour = kOpenItemText;
            break;
        default: break;
        }
        p.setPen(ui::toQColor(colour));
        ui::drawTextWin(p, r, items_[i].text, ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
    }
    if (!RectEmpty(layout_.chevron) && !chevron_.isNull()) {
        const Size s = ChevronSize();
        const int frame = active ? int(StateOf(layout_.overflow)) : kInactiveChevronFrame;
        p.drawImage(QPoint(layout_.chevron.left, layout_.chevron.top), chevron_, QRect(frame * s.cx, 0, s.cx, s.cy));
    }
    p.restore();
}

void CNCustomMenuBar::Hover(int item)
{
    if (session_->machine.Hover(item))
        redraw();
}

void CNCustomMenuBar::EnterMenu(int index, bool byKeyboard)
{
    const bool shown = !layout_.items.empty() && (!RectEmpty(layout_.items[0]) || !RectEmpty(layout_.chevron));
    if (frame_ && frame_->isVisible() && shown)
        apply(session_->machine.Enter(index, byKeyboard));
}

void CNCustomMenuBar::CancelDropDown()
{
    apply(session_->machine.CancelDropDown());
}

void CNCustomMenuBar::EndMenuMode()
{
    apply(session_->machine.Leave());
}

void CNCustomMenuBar::apply(unsigned effects)
{
    const MenuModeMachine& machine = session_->machine;
    if (!machine.InMenuMode())
        releaseInput();
    else if (!inputTaken_)
        takeInput();
    if (effects & M::kCancelDropDown)
        ui::modalHost().cancelPopup();
    if (effects & M::kOpen)
        QMetaObject::invokeMethod(this, &CNCustomMenuBar::openPending, Qt::QueuedConnection);
    if (effects & M::kBeep)
        QApplication::beep();
    redraw();
}

void CNCustomMenuBar::openPending()
{
    const std::shared_ptr<Session> session = session_;
    const QPointer<CNCustomMenuBar> self(this);
    const int command = session->machine.RunDropDowns(
        [&](int index, bool byKeyboard) { return self ? showDropDown(index, byKeyboard) : 0; });
    if (!self)
        return;
    if (command)
        emit commandChosen(command);
    apply(M::kNothing);
}

int CNCustomMenuBar::showDropDown(int index, bool byKeyboard)
{
    ui::MenuSpec dropDown;
    Rect at;
    if (index == layout_.overflow) {
        dropDown = OverflowMenu(menu_, index);
        at = layout_.chevron;
    } else if (std::size_t(index) < menu_.items.size() && std::size_t(index) < layout_.items.size()) {
        dropDown = menu_.items[std::size_t(index)];
        at = layout_.items[std::size_t(index)];
    }
    if (dropDown.items.empty() || RectEmpty(at) || !frame_)
        return -1;
    const std::shared_ptr<Session> session = session_;
    const QPointer<CNCustomMenuBar> self(this);
    if (update_)
        update_(dropDown);
    if (!self || !session->machine.Running() || !frame_)
        return 0;
    redraw();
    const QPoint pos = nc_.mapToGlobal(QPoint(at.left, at.bottom - 1));
    const int command = ui::popupMenu(frame_, dropDown, pos, {.selectFirst = byKeyboard, .watcher = &session->watcher});
    if (!self || !session->machine.Running())
        return command;
    takeInput(); // the popup had the keyboard and the mouse
    // Closed by a click: where the platform hands that click on, the host
    // gets it and leaves; where it does not, menu mode ends after it anyway.
    if (command == 0 && session->machine.Pending() < 0 && QGuiApplication::mouseButtons() != Qt::NoButton)
        QMetaObject::invokeMethod(this, &CNCustomMenuBar::EndMenuMode, Qt::QueuedConnection);
    return command;
}

int CNCustomMenuBar::itemAt(const QPoint& global) const
{
    const QPoint local = nc_.mapFromGlobal(global);
    return MenuBarHitTest(layout_, Point{local.x(), local.y()});
}

void CNCustomMenuBar::takeInput()
{
    if (!inputTaken_) {
        inputTaken_ = true;
        focusBefore_ = QApplication::focusWidget();
        host_->show();
    }
    host_->setFocus(Qt::OtherFocusReason);
    if (QWidget::mouseGrabber() != host_)
        host_->grabMouse();
}

void CNCustomMenuBar::releaseInput()
{
    if (!inputTaken_)
        return;
    inputTaken_ = false;
    if (QWidget::mouseGrabber() == host_)
        host_->releaseMouse();
    const bool hadFocus = host_->hasFocus();
    host_->hide();
    if (hadFocus && focusBefore_)
        focusBefore_->setFocus(Qt::OtherFocusReason);
    focusBefore_ = nullptr;
}

void CNCustomMenuBar::redraw()
{
    Rect all = layout_.chevron;
    for (const Rect& r : layout_.items)
        all = UnionRect(all, r);
    if (!RectEmpty(all))
        nc_.update(ui::toQRect(all));
}

bool CNCustomMenuBar::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride &&
        type != QEvent::MouseButtonPress)
        return false;
    if (!frame_ || !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != frame_)
        return false;
    MenuModeMachine& machine = session_->machine;
    if (type == QEvent::MouseButtonPress) {
        machine.Disarm();
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const int vk = ui::virtualKey(*key);
    if (type == QEvent::ShortcutOverride) {
        // A shortcut may take the key press itself: Alt is no longer alone.
        if (vk != M::VK_MENU && vk != M::VK_F10)
            machine.Disarm();
        return false;
    }
    if (key->isAutoRepeat())
        return false;
    const bool wasInMenuMode = machine.InMenuMode();
    unsigned effects = 0;
    const bool taken = machine.FrameKey(type == QEvent::KeyPress, vk, key->modifiers() & Qt::AltModifier, effects);
    if (effects || machine.InMenuMode() != wasInMenuMode)
        apply(effects);
    return taken;
}
