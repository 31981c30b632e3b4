#include "platform/ui/gdi_paint.h"
#include "platform/ui/rect_convert.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <vector>

namespace ui {

void fillRect(QPainter& p, const Rect& r, ColorRef colour)
{
    if (r.right <= r.left || r.bottom <= r.top || colour == kNoColor)
        return;
    p.fillRect(toQRect(r), toQColor(colour));
}

void frameRect(QPainter& p, const Rect& r, ColorRef colour)
{
    if (r.right <= r.left || r.bottom <= r.top || colour == kNoColor)
        return;
    const QColor c = toQColor(colour);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    p.fillRect(QRect(r.left, r.top, w, 1), c);
    p.fillRect(QRect(r.left, r.bottom - 1, w, 1), c);
    p.fillRect(QRect(r.left, r.top, 1, h), c);
    p.fillRect(QRect(r.right - 1, r.top, 1, h), c);
}

namespace {

template <typename Fill>
void fillInBands(QPainter& p, const QRect& r, const Fill& fill)
{
    constexpr int kBandLines = 64;
    for (int top = r.top(); top <= r.bottom(); top += kBandLines)
        p.fillRect(QRect(r.left(), top, r.width(), std::min(kBandLines, r.bottom() + 1 - top)), fill);
}

} // namespace

void blendFillRect(QPainter& p, const QRect& r, const QColor& colour)
{
    fillInBands(p, r, colour);
}

void blendFillRect(QPainter& p, const QRect& r, const QBrush& brush)
{
    fillInBands(p, r, brush);
}

void frameRectDotted(QPainter& p, const Rect& r, ColorRef colour)
{
    if (r.right <= r.left || r.bottom <= r.top || colour == kNoColor)
        return;
    // Along the frame the pixels alternate with x + y, so a checkerboard
    // anchored at the corner paints them.
    const QRect q = toQRect(r);
    const QPoint origin = p.brushOrigin();
    p.setBrushOrigin(q.topLeft());
    const QBrush dots(toQColor(colour), Qt::Dense4Pattern);
    p.fillRect(QRect(q.left(), q.top(), q.width(), 1), dots);
    p.fillRect(QRect(q.left(), q.bottom(), q.width(), 1), dots);
    blendFillRect(p, QRect(q.left(), q.top(), 1, q.height()), dots);
    blendFillRect(p, QRect(q.right(), q.top(), 1, q.height()), dots);
    p.setBrushOrigin(origin);
}

void drawLineWin(QPainter& p, int x1, int y1, int x2, int y2)
{
    if (x1 == x2 && y1 == y2)
        return;
    // A flat cap on a cosmetic pen is what leaves the end point out.
    p.save();
    QPen pen = p.pen();
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawLine(x1, y1, x2, y2);
    p.restore();
}

namespace {

struct TextLine {
    QString text;
    int mnemonic = -1; // index of the underlined character
};

// "&x" marks x, "&&" is a literal '&'; a trailing '&' is dropped.
TextLine stripPrefix(const QString& raw)
{
    TextLine line;
    line.text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'&') {
            if (i + 1 >= raw.size())
                break;
            ++i;
            if (raw[i] != u'&' && line.mnemonic < 0)
                line.mnemonic = int(line.text.size());
        }
        line.text.append(raw[i]);
    }
    return line;
}

QStringList splitParagraphs(const QString& text, bool singleLine)
{
    QString t = text;
    if (singleLine) {
        t.remove(u'\r');
        t.remove(u'\n');
        return {t};
    }
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t.split(u'\n');
}

// Breaks one paragraph at word boundaries (CJK text between characters) to
// fit `width`; a word longer than the width stays whole.
std::vector<TextLine> wrap(const TextLine& para, const QFont& font, QPaintDevice* device, int width)
{
    std::vector<TextLine> out;
    if (para.text.isEmpty()) {
        out.push_back(para);
        return out;
    }
    QTextLayout layout(para.text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (;;) {
        QTextLine tl = layout.createLine();
        if (!tl.isValid())
            break;
        tl.setLineWidth(std::max(width, 0));
        const int start = tl.textStart();
        TextLine piece;
        piece.text = para.text.mid(start, tl.textLength());
        while (!piece.text.isEmpty() && piece.text.back().isSpace())
            piece.text.chop(1);
        if (para.mnemonic >= start && para.mnemonic < start + piece.text.size())
            piece.mnemonic = para.mnemonic - start;
        out.push_back(piece);
    }
    layout.endLayout();
    if (out.empty())
        out.push_back(TextLine{});
    return out;
}

} // namespace

int drawTextWin(QPainter& p, Rect& r, const QString& text, unsigned format)
{
    const bool singleLine = format & DT_SINGLELINE;
    const QFont font = p.font();
    const QFontMetrics fm(font, p.device());
    const int lineHeight = fm.height();
    const int width = r.right - r.left;

    std::vector<TextLine> lines;
    for (const QString& raw : splitParagraphs(text, singleLine)) {
        TextLine para = (format & DT_NOPREFIX) ? TextLine{raw, -1} : stripPrefix(raw);
        if ((format & DT_WORDBREAK) && !singleLine) {
            for (TextLine& piece : wrap(para, font, p.device(), width))
                lines.push_back(std::move(piece));
        } else {
            lines.push_back(std::move(para));
        }
    }
    const int height = int(lines.size()) * lineHeight;

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& line : lines)
            widest = std::max(widest, fm.horizontalAdvance(line.text));
        r.right = r.left + widest;
        r.bottom = r.top + height;
        return height;
    }

    if (format & DT_END_ELLIPSIS) {
        for (TextLine& line : lines) {
            if (fm.horizontalAdvance(line.text) <= width)
                continue;
            line.text = fm.elidedText(line.text, Qt::ElideRight, std::max(width, 0));
            // An elided mnemonic is no longer shown.
            if (line.mnemonic >= line.text.size() - 1)
                line.mnemonic = -1;
        }
    }

    int y = r.top;
    if (singleLine) {
        if (format & DT_VCENTER)
            y = r.top + (r.bottom - r.top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = r.bottom - lineHeight;
    }

    p.save();
    if (!(format & DT_NOCLIP)) {
        if (r.right <= r.left || r.bottom <= r.top) {
            p.restore();
            return height;
        }
        p.setClipRect(toQRect(r), Qt::IntersectClip);
    }
    for (const TextLine& line : lines) {
        const int lineWidth = fm.horizontalAdvance(line.text);
        int x = r.left;
        if (format & DT_CENTER)
            x = r.left + (width - lineWidth) / 2;
        else if (format & DT_RIGHT)
            x = r.right - lineWidth;
        const int baseline = y + fm.ascent();
        p.drawText(QPoint(x, baseline), line.text);
        if (line.mnemonic >= 0 && line.mnemonic < line.text.size()) {
            const int ux = x + fm.horizontalAdvance(line.text.left(line.mnemonic));
            const int uw = fm.horizontalAdvance(line.text.mid(line.mnemonic, 1));
            p.fillRect(QRect(ux, baseline + 1, uw, 1), p.pen().color());
        }
        y += lineHeight;
    }
    p.restore();
    return height;
}

QSize textExtent(const QFont& font, const QString& text)
{
    const QFontMetrics fm(font);
    return QSize(fm.horizontalAdvance(text), fm.height());
}

} // namespace ui
