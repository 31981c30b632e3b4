#include "uikit/custom_nc.h"

#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/image_file.h"
#include "platform/ui/modal.h"
#include "platform/ui/rect_convert.h"
#include "uikit/caption_parts.h"
#include "uikit/caption_toolbar.h"
#include "uikit/draw_helpers.h"
#include "uikit/hit_drag.h"
#include "uikit/nc_codes.h"
#include "uikit/system_menu.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QShortcut>
#include <QWindow>
#include <algorithm>

namespace {

// The three rings of the border, outermost first.
constexpr ui::ColorRef kBorderColours[kBorderWidth] = {ui::rgb(128, 128, 128), ui::rgb(160, 160, 160),
                                                       ui::rgb(128, 128, 128)};
// The tool button whose picture the frame swaps.
constexpr int kSwappableButtonId = 27;

bool isResizeCode(int hit)
{
    return hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
}

Qt::Edges edgesOf(int hit)
{
    const HitEdges dragged = EdgesOfHit(hit);
    Qt::Edges edges;
    if (dragged.left)
        edges |= Qt::LeftEdge;
    if (dragged.right)
        edges |= Qt::RightEdge;
    if (dragged.top)
        edges |= Qt::TopEdge;
    if (dragged.bottom)
        edges |= Qt::BottomEdge;
    return edges;
}

Rect inset(const Rect& r, int d)
{
    return Rect{r.left + d, r.top + d, r.right - d, r.bottom - d};
}

} // namespace

MXCustomNC::MXCustomNC()
    : text_(new CNText(*this)), controls_(new CNControlBtns(*this)), toolBar_(new CNToolBar(this)), menuBar_(*this),
      captionColour_(ui::sysColor(ui::COLOR_ACTIVECAPTION))
{
    setMouseTracking(true);
    // As a posted command reached the frame once the menu had closed.
    connect(&menuBar_, &CNCustomMenuBar::commandChosen, this, &MXCustomNC::menuCommand, Qt::QueuedConnection);
    connect(toolBar_, &CNToolBar::itemClicked, this, &MXCustomNC::quickBarNotify);
    connect(toolBar_, &CNToolBar::buttonsChanged, this, &MXCustomNC::relayout);
    // Alt+Space, wherever the focus is in the frame.
    auto* keyMenu = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    keyMenu->setContext(Qt::WindowShortcut);
    connect(keyMenu, &QShortcut::activated, this, [this] {
        if (frame_) {
            const Rect& row = layout_.captionRow;
            const bool iconic = Style() & WS_MINIMIZE;
            ShowSystemMenu(frame_->mapToGlobal(QPoint(row.left, iconic ? row.top : row.bottom)), true);
        }
    });
}

MXCustomNC::~MXCustomNC()
{
    menuBar_.SetFrame(nullptr);
    if (frame_)
        frame_->removeEventFilter(this);
}

bool MXCustomNC::Attach(QWidget* frame)
{
    if (!frame || !controls_->LoadGlyphs() || !menuBar_.LoadResources())
        return false;
    if (frame_)
        Detach();
    frame_ = frame;
    text_->SetTitle(frame->windowTitle());
    const Qt::WindowFlags flags = frame->windowFlags();
    noCaption_ = !(flags & Qt::WindowTitleHint);
    const bool fixedSize = frame->minimumSize() == frame->maximumSize();
    const QSize clientSize = frame->size();
    if (!(flags & Qt::FramelessWindowHint)) {
        const bool visible = frame->isVisible();
        frame->setWindowFlags(flags | Qt::FramelessWindowHint);
        if (visible)
            frame->show();
    }
    setParent(frame);
    frame->installEventFilter(this);
    menuBar_.SetFrame(frame);
    active_ = frame->isActiveWindow();
    relayout();
    raise();
    if (fixedSize) {
        // A frame of fixed size keeps its client area's size.
        const Rect& client = layout_.client;
        frame->setFixedSize(clientSize.width() + frame->width() - int(RectWidth(client)),
                            clientSize.height() + frame->height() - int(RectHeight(client)));
    } else {
        frame->setMinimumSize(frame->minimumSize().expandedTo(QSize(kFrameMinSize.cx, kFrameMinSize.cy)));
    }
    return true;
}

QWidget* MXCustomNC::Detach()
{
    QWidget* frame = frame_;
    if (!frame)
        return nullptr;
    endDrag();
    menuBar_.SetFrame(nullptr);
    frame->removeEventFilter(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame_ = nullptr;
    hide();
    setParent(nullptr);
    return frame;
}

unsigned MXCustomNC::Style() const
{
    if (!frame_)
        return 0;
    const Qt::WindowFlags flags = frame_->windowFlags();
    unsigned style = 0;
    if (flags & Qt::WindowTitleHint)
        style |= WS_CAPTION;
    if (flags & Qt::WindowSystemMenuHint)
        style |= WS_SYSMENU;
    if (flags & Qt::WindowMinimizeButtonHint)
        style |= WS_MINIMIZEBOX;
    if (flags & Qt::WindowMaximizeButtonHint)
        style |= WS_MAXIMIZEBOX;
    if (frame_->minimumSize() != frame_->maximumSize())
        style |= WS_THICKFRAME;
    const Qt::WindowStates state = frame_->windowState();
    if (state & Qt::WindowMinimized)
        style |= WS_MINIMIZE;
    else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        style |= WS_MAXIMIZE;
    return style;
}

void MXCustomNC::relayout()
{
    if (frame_)
        RecalcLayout(Rect{0, 0, frame_->width(), frame_->height()});
}

void MXCustomNC::RecalcLayout(const Rect& windowRect)
{
    CaptionInput in;
    in.window = windowRect;
    in.style = Style();
    in.noCaption = noCaption_;
    in.leftMargin = leftMargin_;
    in.glyph = controls_->GlyphSize();
    in.toolBarShown = toolBar_->IsShown();
    in.toolRowHeight = toolBar_->RowHeight();
    in.toolImages = toolBar_->ImageSizes();
    in.menuItems = menuBar_.ItemSizes();
    in.chevron = menuBar_.ChevronSize();
    layout_ = LayoutCaption(in);
    menuBar_.ApplyLayout(layout_.menu);
    if (!frame_)
        return;

    const QRect all = ui::toQRect(layout_.window);
    const Rect& client = layout_.client;
    setGeometry(all);
    // Everything but the client area, which stays the frame's.
    const QRegion surface = QRegion(all).subtracted(QRegion(ui::toQRect(client)));
    setVisible(!surface.isEmpty());
    if (!surface.isEmpty())
        setMask(surface);
    frame_->setContentsMargins(std::max(client.left, 0), std::max(client.top, 0),
                               std::max(int(layout_.window.right - client.right), 0),
                               std::max(int(layout_.window.bottom - client.bottom), 0));
    text_->setGeometry(ui::toQRect(layout_.text));
    text_->setVisible(!RectEmpty(layout_.text));
    controls_->ApplyLayout(layout_);
    toolBar_->ApplyLayout(layout_);
    update();
}

void MXCustomNC::SetToolBarBackColor(ui::ColorRef colour)
{
    toolBar_->SetBackColor(colour);
    relayout();
}

void MXCustomNC::SetToolBarBackBitmap(const QImage& bitmap, int mode)
{
    toolBar_->SetBackBitmap(bitmap, mode);
    relayout();
}

void MXCustomNC::SetToolBarImage(const std::string& imagePath)
{
    ToolButton* button = toolBar_->ButtonById(kSwappableButtonId);
    if (!button)
        return;
    button->SetImage(ui::loadImage(imagePath));
    relayout();
}

void MXCustomNC::SetCaptionImage(const QImage& image)
{
    captionImage_ = image;
    update();
}

void MXCustomNC::SetCaptionDrawMode(int mode)
{
    captionDrawMode_ = mode;
    update();
}

void MXCustomNC::SetLeftMargin(int margin)
{
    leftMargin_ = margin;
    relayout();
}

void MXCustomNC::SetMenu(const ui::MenuSpec& menu)
{
    menuBar_.CancelDropDown();
    menuBar_.SetMenu(menu);
    relayout();
}

void MXCustomNC::SetMenuUpdate(std::function<void(ui::MenuSpec&)> update)
{
    menuBar_.SetUpdateHandler(std::move(update));
}

void MXCustomNC::SysCommand(int command)
{
    if (!frame_)
        return;
    const Qt::WindowStates state = frame_->windowState();
    switch (command) {
    case SC_MINIMIZE:
        // The maximised bit stays, so restoring brings the frame back maximised.
        frame_->setWindowState((state & ~Qt::WindowActive) | Qt::WindowMinimized);
        break;
    case SC_MAXIMIZE:
        frame_->setWindowState((state & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) | Qt::WindowMaximized);
        break;
    case SC_RESTORE:
        if (state & Qt::WindowMinimized)
            frame_->setWindowState(state & ~Qt::WindowMinimized);
        else
            frame_->setWindowState(state & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
        break;
    case SC_CLOSE: frame_->close(); break;
    case SC_MOVE: beginDrag(HTCAPTION, true, QCursor::pos()); break;
    case SC_SIZE: beginDrag(HTBOTTOMRIGHT, true, QCursor::pos()); break;
    default: break;
    }
}

void MXCustomNC::ShowSystemMenu(const QPoint& globalPos, bool byKeyboard)
{
    if (!frame_)
        return;
    const QPointer<MXCustomNC> self(this);
    const int command = ui::popupMenu(frame_, SystemMenuSpec(Style()), globalPos, {.selectFirst = byKeyboard});
    if (self && command >= SC_SIZE)
        SysCommand(command);
}

bool MXCustomNC::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != frame_)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::WindowStateChange: relayout(); break;
    case QEvent::ActivationChange:
        // A drop-down of the caption menu is a popup: it leaves the frame active.
        active_ = frame_->isActiveWindow();
        controls_->update();
        text_->update();
        update();
        break;
    case QEvent::Close:
    case QEvent::Hide:
        // Nothing of the menu may outlive the window: no drop-down stays open
        // and none opens, so a close or quit asked for meanwhile goes through.
        menuBar_.EndMenuMode();
        break;
    case QEvent::WindowTitleChange: text_->SetTitle(frame_->windowTitle()); break;
    default: break;
    }
    return false;
}

void MXCustomNC::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    for (int ring = 0; ring < layout_.border; ++ring)
        ui::frameRect(p, inset(layout_.window, ring), kBorderColours[ring]);
    if (RectEmpty(layout_.caption))
        return;
    const Rect& row = layout_.captionRow;
    if (!captionImage_.isNull())
        DrawBitmapInRect(row, p, captionImage_, captionImage_.width(), captionImage_.height(), captionDrawMode_);
    else
        ui::fillRect(p, row, captionColour_);
    menuBar_.Paint(p, active_);
}

bool MXCustomNC::startPlatformDrag(int hit)
{
    QWindow* window = frame_ ? frame_->windowHandle() : nullptr;
    if (!window)
        return false;
    return hit == HTCAPTION ? window->startSystemMove() : window->startSystemResize(edgesOf(hit));
}

void MXCustomNC::beginDrag(int hit, bool fromMenu, const QPoint& globalPos)
{
    if (!frame_)
        return;
    drag_ = Drag{hit, fromMenu, !fromMenu, !fromMenu, globalPos, ui::fromQRect(frame_->geometry())};
    if (!fromMenu)
        return;
    // Chosen from the menu, no button is down: the window manager's own
    // move or size from the keyboard, else the frame follows the mouse
    // until a click.
    if (startPlatformDrag(hit)) {
        drag_ = Drag{};
        return;
    }
    grabMouse();
}

void MXCustomNC::endDrag()
{
    if (drag_.fromMenu)
        releaseMouse();
    drag_ = Drag{};
}

void MXCustomNC::mousePressEvent(QMouseEvent* event)
{
    if (drag_.fromMenu) {
        endDrag(); // a click ends a move or size chosen from the system menu
        return;
    }
    const Point pt = windowPoint(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        rightTracking_ = PtInRect(layout_.caption, pt.x, pt.y);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const unsigned style = Style();
    const int hit = CaptionHitTest(layout_, style, pt);
    if (hit == HTMENU) {
        menuBar_.EnterMenu(MenuBarHitTest(layout_.menu, pt), false);
        return;
    }
    const bool movable = !(style & (WS_MINIMIZE | WS_MAXIMIZE));
    if ((hit == HTCAPTION && movable) || isResizeCode(hit))
        beginDrag(hit, false, event->globalPosition().toPoint());
}

void MXCustomNC::mouseMoveEvent(QMouseEvent* event)
{
    if (!drag_.hit) {
        const Point pt = windowPoint(event->position().toPoint());
        setCursor(CursorOfHit(CaptionHitTest(layout_, Style(), pt)));
        menuBar_.Hover(MenuBarHitTest(layout_.menu, pt));
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (!drag_.anchored) {
        drag_.anchor = global;
        drag_.anchored = true;
        return;
    }
    // The window manager takes over at the first move, not at the press, so
    // that it leaves both clicks of a double click to the caption.
    if (drag_.askPlatform) {
        drag_.askPlatform = false;
        if (startPlatformDrag(drag_.hit)) {
            drag_ = Drag{};
            return;
        }
    }
    const QPoint delta = global - drag_.anchor;
    const QSize minimum = frame_->minimumSize();
    const Rect r = DragRect(drag_.start, drag_.hit, delta.x(), delta.y(), Size{minimum.width(), minimum.height()});
    if (drag_.hit == HTCAPTION)
        frame_->move(r.left, r.top);
    else
        frame_->setGeometry(ui::toQRect(r));
}

void MXCustomNC::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton && rightTracking_) {
        rightTracking_ = false;
        const Point pt = windowPoint(event->position().toPoint());
        if (PtInRect(layout_.caption, pt.x, pt.y))
            ShowSystemMenu(event->globalPosition().toPoint(), false);
        return;
    }
    if (event->button() == Qt::LeftButton && drag_.hit && !drag_.fromMenu)
        endDrag();
}

void MXCustomNC::mouseDoubleClickEvent(QMouseEvent* event)
{
    const unsigned style = Style();
    const int hit = CaptionHitTest(layout_, style, windowPoint(event->position().toPoint()));
    if (event->button() != Qt::LeftButton || hit != HTCAPTION) {
        mousePressEvent(event);
        return;
    }
    endDrag();
    if (style & WS_MAXIMIZEBOX)
        SysCommand(style & WS_MAXIMIZE ? SC_RESTORE : SC_MAXIMIZE);
}

void MXCustomNC::leaveEvent(QEvent*)
{
    menuBar_.Hover(-1);
}

CCustomTitle::CCustomTitle() : nc_(new MXCustomNC) {}

CCustomTitle::~CCustomTitle()
{
    delete nc_.data();
}

int CCustomTitle::AddToolButton(int id, const QString& text, const QString& tip, const std::string& imagePath)
{
    if (imagePath.empty() || !nc_)
        return -1;
    // Adding a button lays the caption out again.
    return nc_->ToolBar().AddItem(id, text, tip, imagePath);
}
