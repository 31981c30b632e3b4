#include "views/static_text_cache.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "platform/rect_math.h"

namespace {

// Enough for every text of a full wall several times over; past it the
// cache starts afresh rather than grow with every position a drag shows.
constexpr size_t kMaxTexts = 4096;

} // namespace

StaticTextCache::FontTexts& StaticTextCache::Of(const QFont& font)
{
    auto [it, added] = fonts_.try_emplace(&font);
    if (added)
        it->second.height = QFontMetrics(font).height();
    return it->second;
}

const QStaticText& StaticTextCache::Get(const QFont& font, const QString& text)
{
    FontTexts& texts = Of(font);
    auto it = texts.texts.find(text);
    if (it != texts.texts.end())
        return *it;
    if (count_ >= kMaxTexts) {
        for (auto& [key, entry] : fonts_)
            entry.texts.clear();
        count_ = 0;
    }
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.setPerformanceHint(QStaticText::AggressiveCaching);
    laid.prepare(QTransform(), font);
    ++count_;
    return *texts.texts.insert(text, laid);
}

int StaticTextCache::Width(const QFont& font, const QString& text)
{
    return int(std::ceil(Get(font, text).size().width()));
}

int StaticTextCache::LineHeight(const QFont& font)
{
    return Of(font).height;
}

Rect StaticTextCache::LineBox(const QFont& font, const Rect& r, const QString& text, bool centred)
{
    if (text.isEmpty())
        return Rect{};
    const int width = Width(font, text);
    const int64_t x = centred ? r.left + (RectWidth(r) - width) / 2 : r.left;
    const int64_t y = r.top + (RectHeight(r) - LineHeight(font)) / 2;
    return MakeRect(x, y, x + width, y + LineHeight(font));
}

void StaticTextCache::DrawLine(QPainter& p, const QFont& font, const Rect& r, const QString& text, bool centred)
{
    if (text.isEmpty())
        return;
    const Rect box = LineBox(font, r, text, centred);
    if (p.font() != font)
        p.setFont(font);
    p.drawStaticText(QPointF(double(box.left), double(box.top)), Get(font, text));
}
