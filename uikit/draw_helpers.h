#pragma once
#include "platform/geometry.h"
#include "platform/ui/colour.h"

#include <QImage>
#include <cstddef>
#include <cstdint>

class QPainter;

// The bitmap and image helpers the widgets paint with. Rectangles are in the
// painter's coordinates and exclude their right and bottom edges. Null
// images, empty or inverted rectangles and sizes below 1 draw nothing; a
// source piece reaching beyond its bitmap draws only the part inside it.

// Key colour meaning "the colour of the source's pixel (0, 0)".
inline constexpr ui::ColorRef kKeyFromTopLeft = 0xFF000000u;

// Multiplies each pixel's blue, green and red by alpha / 255, truncating,
// and marks the image premultiplied; a second call changes nothing.
void PremultiplyAlpha(QImage& image);

// Draws the width x height piece at (srcX, srcY), unscaled and alpha-blended,
// centred in the rectangle (integer halves).
void DrawImageCentered(const Rect& rc, QPainter& dc, const QImage& image, int srcX, int srcY, int width, int height);

// Draws `srcRect` of the bitmap stretched onto `dest`, leaving out the pixels
// of the key colour. A source rectangle of all zeros means the destination's
// size at (0, 0).
void DrawBitmapTransparent(ui::ColorRef key, const Rect& dest, const QImage& bitmap, const Rect& srcRect, QPainter& dc);

// One cell of a sprite strip whose cells have the destination's size, keyed
// on the strip's pixel (0, 0).
void DrawBitmapCell(const Rect& dest, QPainter& dc, const QImage& strip, int column, int row);

// Fills the rectangle from the cx x cy bitmap: 1 tiles from the rectangle's
// top-left, 2 stretches, 3 keeps the right end and stretches column 0 over
// the rest, 4 and 6 keep the left end and stretch the last column kept, 5
// keeps both ends and stretches the middle column; pieces are stretched to
// the rectangle's height. Other modes copy unscaled.
void DrawBitmapInRect(const Rect& rc, QPainter& dc, const QImage& bitmap, int cx, int cy, int mode);

// Repeats the tile at (srcX, srcY) over the rectangle, 1:1; the last column
// and row are cut to what is left.
void TileBitmap(QPainter& dc, const Rect& rc, const QImage& bitmap, int srcX, int srcY, int tileWidth, int tileHeight);

// Draws a one-bit-per-pixel buffer (rows padded to 32 bits, first row at the
// top, most significant bit first; clear bits black, set bits white) of the
// source rectangle's size, stretched into the destination rectangle. A
// buffer shorter than the size needs draws nothing.
void DrawDib(QPainter& dc, const std::uint8_t* bits, std::size_t length, const Rect& dest, const Rect& src);

// A rounded rectangle in the painter's pen and brush; the corner sizes are
// the corner ellipse's width and height.
void DrawRoundRect(const Rect& rc, QPainter& dc, int cornerWidth, int cornerHeight);

// Lays a white, rounded, translucent overlay over the rectangle: the upper
// part with `alphaUpper`, the lower with `alphaLower` (0-255).
void FillGlassRoundRect(const Rect& rc, QPainter& dc, int cx, int cy, int alphaUpper, int alphaLower);
