#pragma once
#include <QHash>
#include <QStaticText>
#include <QString>
#include <map>

#include "platform/geometry.h"

class QFont;
class QPainter;

// Texts laid out once and drawn many times: dragging a window repaints the
// wall on every mouse move, and at most that window's texts change.
// Fonts are named by address and must outlive the cache (the shared fonts).
class StaticTextCache {
public:
    // One line in `r`, left-aligned or centred, vertically centred, in the
    // painter's pen; not clipped.
    void DrawLine(QPainter& p, const QFont& font, const Rect& r, const QString& text, bool centred);
    // Where DrawLine puts the text: its advance width by the line height;
    // empty for an empty text.
    Rect LineBox(const QFont& font, const Rect& r, const QString& text, bool centred);
    int Width(const QFont& font, const QString& text);
    int LineHeight(const QFont& font);

private:
    struct FontTexts {
        int height = 0;
        QHash<QString, QStaticText> texts;
    };
    FontTexts& Of(const QFont& font);
    const QStaticText& Get(const QFont& font, const QString& text);

    std::map<const QFont*, FontTexts> fonts_;
    size_t count_ = 0;
};
