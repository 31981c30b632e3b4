#include "uikit/draw_helpers.h"
#include "platform/ui/rect_convert.h"

#include <QPainter>
#include <algorithm>

namespace {

bool isEmpty(const Rect& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

// Pixel-exact copies: no smoothing, whatever the caller's painter holds.
class ExactPainting {
public:
    explicit ExactPainting(QPainter& p) : p_(p)
    {
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    ~ExactPainting() { p_.restore(); }
    ExactPainting(const ExactPainting&) = delete;
    ExactPainting& operator=(const ExactPainting&) = delete;

private:
    QPainter& p_;
};

// Bitmaps are copied as they are, as a blit would: alpha plays no part.
QImage opaque(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

// Copies the part of `src` that lies inside the image, 1:1, keeping its
// offset from (dx, dy).
void blit(QPainter& dc, int dx, int dy, const QImage& image, const QRect& src)
{
    const QRect inside = src.intersected(image.rect());
    if (inside.isEmpty())
        return;
    dc.drawImage(QPoint(dx + inside.x() - src.x(), dy + inside.y() - src.y()), image, inside);
}

void stretch(QPainter& dc, const QImage& image, const QRect& src, const QRect& dst)
{
    if (src.isEmpty() || dst.isEmpty())
        return;
    dc.drawImage(dst, image, src);
}

QRgb keyToRgb(ui::ColorRef key)
{
    return qRgb(ui::redOf(key), ui::greenOf(key), ui::blueOf(key));
}

} // namespace

void PremultiplyAlpha(QImage& image)
{
    if (image.isNull() || !image.hasAlphaChannel())
        return;
    if (image.pixelFormat().premultiplied() == QPixelFormat::Premultiplied)
        return;
    if (image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            line[x] = qRgba(qRed(p) * a / 255, qGreen(p) * a / 255, qBlue(p) * a / 255, a);
        }
    }
    // The bytes are premultiplied now; say so, so Qt blends them as such
    // and a second call leaves them alone.
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
}

void DrawImageCentered(const Rect& rc, QPainter& dc, const QImage& image, int srcX, int srcY, int width, int height)
{
    if (image.isNull() || isEmpty(rc) || width < 1 || height < 1)
        return;
    const int left = (rc.left + rc.right) / 2 - width / 2;
    const int top = (rc.top + rc.bottom) / 2 - height / 2;
    ExactPainting exact(dc);
    blit(dc, left, top, image, QRect(srcX, srcY, width, height));
}

void DrawBitmapTransparent(ui::ColorRef key, const Rect& dest, const QImage& bitmap, const Rect& srcRect, QPainter& dc)
{
    if (bitmap.isNull() || isEmpty(dest))
        return;
    const int dw = dest.right - dest.left;
    const int dh = dest.bottom - dest.top;
    Rect s = srcRect;
    if (s.left == 0 && s.top == 0 && s.right == 0 && s.bottom == 0)
        s = Rect{0, 0, dw, dh};
    if (isEmpty(s))
        return;
    const int sw = s.right - s.left;
    const int sh = s.bottom - s.top;

    // Only the part of the source inside the bitmap is read; it lands on
    // the matching part of the destination.
    const QRect inside = ui::toQRect(s).intersected(bitmap.rect());
    if (inside.isEmpty())
        return;
    const int x0 = dest.left + int(qint64(inside.left() - s.left) * dw / sw);
    const int x1 = dest.left + int(qint64(inside.left() + inside.width() - s.left) * dw / sw);
    const int y0 = dest.top + int(qint64(inside.top() - s.top) * dh / sh);
    const int y1 = dest.top + int(qint64(inside.top() + inside.height() - s.top) * dh / sh);
    if (x1 <= x0 || y1 <= y0)
        return;

    const QRgb keyRgb = key == kKeyFromTopLeft ? (bitmap.pixel(0, 0) | 0xFF000000u) : keyToRgb(key);
    QImage piece = bitmap.copy(inside).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < piece.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(piece.scanLine(y));
        for (int x = 0; x < piece.width(); ++x)
            line[x] = (line[x] | 0xFF000000u) == keyRgb ? 0u : (line[x] | 0xFF000000u);
    }
    if (piece.width() != x1 - x0 || piece.height() != y1 - y0)
        piece = piece.scaled(x1 - x0, y1 - y0, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ExactPainting exact(dc);
    dc.drawImage(QPoint(x0, y0), piece);
}

void DrawBitmapCell(const Rect& dest, QPainter& dc, const QImage& strip, int column, int row)
{
    if (isEmpty(dest))
        return;
    const int w = dest.right - dest.left;
    const int h = dest.bottom - dest.top;
    const qint64 left = qint64(w) * column;
    const qint64 top = qint64(h) * row;
    if (left < 0 || top < 0 || left >= strip.width() || top >= strip.height())
        return;
    const Rect src{int(left), int(top), int(left) + w, int(top) + h};
    DrawBitmapTransparent(kKeyFromTopLeft, dest, strip, src, dc);
}

void DrawBitmapInRect(const Rect& rc, QPainter& dc, const QImage& bitmap, int cx, int cy, int mode)
{
    if (bitmap.isNull() || isEmpty(rc))
        return;
    cx = std::min(cx, bitmap.width());
    cy = std::min(cy, bitmap.height());
    if (cx < 1 || cy < 1)
        return;
    const QImage image = opaque(bitmap);
    const int W = rc.right - rc.left;
    const int H = rc.bottom - rc.top;
    const int n = std::min(W, cx);
    ExactPainting exact(dc);

    switch (mode) {
    case 1: {
        dc.setBrushOrigin(rc.left, rc.top);
        dc.fillRect(ui::toQRect(rc), QBrush(image.copy(0, 0, cx, cy)));
        break;
    }
    case 2: stretch(dc, image, QRect(0, 0, cx, cy), ui::toQRect(rc)); break;
    case 3:
        stretch(dc, image, QRect(cx - n, 0, n, cy), QRect(rc.right - n, rc.top, n, H));
        stretch(dc, image, QRect(0, 0, 1, cy), QRect(rc.left, rc.top, W - n, H));
        break;
    case 4:
    case 6:
        stretch(dc, image, QRect(0, 0, n, cy), QRect(rc.left, rc.top, n, H));
        stretch(dc, image, QRect(n - 1, 0, 1, cy), QRect(rc.left + n, rc.top, W - n, H));
        break;
    case 5: {
        const int leftPart = n / 2;
        const int rightPart = n - leftPart;
        stretch(dc, image, QRect(0, 0, leftPart, cy), QRect(rc.left, rc.top, leftPart, H));
        stretch(dc, image, QRect(cx - rightPart, 0, rightPart, cy), QRect(rc.right - rightPart, rc.top, rightPart, H));
        stretch(dc, image, QRect(leftPart, 0, 1, cy), QRect(rc.left + leftPart, rc.top, W - n, H));
        break;
    }
    default: blit(dc, rc.left, rc.top, image, QRect(0, 0, std::min(W, cx), std::min(H, cy))); break;
    }
}

void TileBitmap(QPainter& dc, const Rect& rc, const QImage& bitmap, int srcX, int srcY, int tileWidth, int tileHeight)
{
    if (bitmap.isNull() || isEmpty(rc) || tileWidth < 1 || tileHeight < 1)
        return;
    const QImage image = opaque(bitmap);
    ExactPainting exact(dc);
    for (qint64 y = rc.top; y < rc.bottom; y += tileHeight) {
        const int h = int(std::min<qint64>(tileHeight, rc.bottom - y));
        for (qint64 x = rc.left; x < rc.right; x += tileWidth) {
            const int w = int(std::min<qint64>(tileWidth, rc.right - x));
            blit(dc, int(x), int(y), image, QRect(srcX, srcY, w, h));
        }
    }
}

void DrawDib(QPainter& dc, const std::uint8_t* bits, std::size_t length, const Rect& dest, const Rect& src)
{
    if (!bits || isEmpty(dest) || isEmpty(src))
        return;
    const qint64 width = qint64(src.right) - src.left;
    const qint64 height = qint64(src.bottom) - src.top;
    const qint64 stride = (width + 31) / 32 * 4;
    if (stride * height > qint64(length))
        return;

    QImage image(int(width), int(height), QImage::Format_Mono);
    if (image.isNull())
        return;
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const qsizetype rowBytes = std::min<qsizetype>(stride, image.bytesPerLine());
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(bits + y * stride, rowBytes, image.scanLine(y));
    ExactPainting exact(dc);
    dc.drawImage(ui::toQRect(dest), image);
}

void DrawRoundRect(const Rect& rc, QPainter& dc, int cornerWidth, int cornerHeight)
{
    if (isEmpty(rc))
        return;
    ExactPainting exact(dc);
    // The outline runs along the last column and row inside the rectangle.
    const QRectF outline(rc.left, rc.top, rc.right - rc.left - 1, rc.bottom - rc.top - 1);
    dc.drawRoundedRect(outline, std::max(cornerWidth, 0) / 2.0, std::max(cornerHeight, 0) / 2.0);
}

void FillGlassRoundRect(const Rect& rc, QPainter& dc, int cx, int cy, int alphaUpper, int alphaLower)
{
    if (isEmpty(rc))
        return;
    const int W = rc.right - rc.left;
    const int H = rc.bottom - rc.top;
    const int upper = std::clamp(alphaUpper, 0, 255);
    const int lower = std::clamp(alphaLower, 0, 255);

    // The shape: a white rounded rectangle on black.
    QImage shape(W, H, QImage::Format_RGB32);
    if (shape.isNull())
        return;
    shape.fill(Qt::black);
    {
        QPainter sp(&shape);
        sp.setRenderHint(QPainter::Antialiasing, false);
        sp.setPen(QPen(Qt::white, 0));
        sp.setBrush(Qt::white);
        const QRectF outline(0, 0, W - 1, H - 1);
        sp.drawRoundedRect(outline, std::max(cx, 0) / 2.0, std::max(cy, 0) / 2.0);
    }

    // Which alpha a row takes: without corners the upper half (H / 2 rows)
    // takes the upper alpha; with corners the top corner band and the first
    // two thirds of the middle do.
    const bool corners = cx > 0 || cy > 0;
    const int band = std::max(cy, 0) + 1;
    auto alphaOfRow = [&](int y) {
        if (!corners)
            return y < H / 2 ? upper : lower;
        if (y < band)
            return upper;
        if (y >= H - band)
            return lower;
        const int middle = H - 2 * band;
        return y - band < middle * 2 / 3 ? upper : lower;
    };

    QImage overlay(W, H, QImage::Format_ARGB32_Premultiplied);
    if (overlay.isNull())
        return;
    for (int y = 0; y < H; ++y) {
        const int a = alphaOfRow(y);
        const auto* from = reinterpret_cast<const QRgb*>(shape.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(overlay.scanLine(y));
        for (int x = 0; x < W; ++x)
            to[x] = (from[x] & 0xFFFFFFu) == 0xFFFFFFu ? qRgba(a, a, a, a) : 0u;
    }
    ExactPainting exact(dc);
    dc.setCompositionMode(QPainter::CompositionMode_SourceOver);
    dc.drawImage(QPoint(rc.left, rc.top), overlay);
}
