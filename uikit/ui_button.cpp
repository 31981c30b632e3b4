#include "uikit/ui_button.h"

#include "platform/ui/gdi_paint.h"
#include "platform/ui/image_file.h"
#include "uikit/draw_helpers.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/window_helpers.h"

#include <QEnterEvent>
#include <QPainter>
#include <QPen>

namespace {

constexpr ui::ColorRef kSkinKey = ui::rgb(255, 0, 255);

} // namespace

CUiButton::CUiButton(QWidget* parent) : QAbstractButton(parent) {}

bool CUiButton::Create(const QString& caption, unsigned style, const Rect& rect, QWidget* parent, int id)
{
    if (!CreateChildWindow(*this, parent, rect, style & WS_VISIBLE))
        return false;
    setText(caption);
    setEnabled(!(style & WS_DISABLED));
    border_ = style & WS_BORDER;
    id_ = id;
    return true;
}

bool CUiButton::Create(int id, const Rect& rect, QWidget* parent)
{
    return Create(QString(), WS_VISIBLE, rect, parent, id);
}

bool CUiButton::LoadImage(const std::string& path)
{
    icon_ = ui::loadImage(path);
    if (icon_.isNull())
        return false;
    PremultiplyAlpha(icon_);
    iconRight = false;
    update();
    return true;
}

void CUiButton::SetToolTipText(const QString& text)
{
    // Qt shows no tip for an empty text.
    setToolTip(text);
}

void CUiButton::SetFaceColor(ui::ColorRef colour)
{
    colours.back.fill(colour);
    update();
}

void CUiButton::enterEvent(QEnterEvent* event)
{
    if (!hover_) {
        hover_ = true;
        update();
    }
    QAbstractButton::enterEvent(event);
}

void CUiButton::leaveEvent(QEvent* event)
{
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CUiButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const Rect item{0, 0, width(), height()};
    const ButtonState state = ButtonStateOf(isDown(), !isEnabled(), hover_);
    FaceColours face = ResolveFaceColours(colours, state, hover_);

    if (skin) {
        // A skin carries the state; the text keeps the normal colour.
        face.text = ResolveFaceColours(colours, ButtonState::Normal, hover_).text;
        const SkinPieces pieces = LayoutSkin(item, Size{skin->width(), skin->height()}, state);
        if (pieces.valid) {
            DrawBitmapTransparent(kSkinKey, pieces.leftDest, *skin, pieces.leftSource, p);
            DrawBitmapTransparent(kSkinKey, pieces.rightDest, *skin, pieces.rightSource, p);
            const Rect& tile = pieces.middleTile;
            TileBitmap(p, pieces.middleDest, *skin, tile.left, tile.top, tile.right - tile.left,
                       tile.bottom - tile.top);
        }
    } else if (frameStyle == 0) {
        p.setPen(QPen(ui::toQColor(face.border), 1));
        p.setBrush(ui::toQColor(face.back));
        DrawRoundRect(item, p, 3, 3);
    } else if (border_) {
        ui::frameRect(p, item, face.border);
    }

    const QString caption = text();
    const Size iconSize = icon_.isNull() ? Size{} : Size{icon_.width(), icon_.height()};
    const ButtonFace layout = LayoutButtonFace(item, iconSize, !caption.isEmpty(), iconRight, alignRight);
    if (!icon_.isNull())
        p.drawImage(layout.icon.left, layout.icon.top, icon_);
    if (caption.isEmpty())
        return;
    p.setFont(textFont ? *textFont : GetUiFont12());
    p.setPen(ui::toQColor(face.text));
    ui::drawTextWin(p, layout.text, caption, layout.textFormat);
}
