#include "uikit/menu_bar_layout.h"

#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"

#include <QImage>
#include <QPainter>

int MenuMnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        ++i; // the marked character, or the second of a literal pair
        if (text[i] != u'&')
            return text[i].toUpper().unicode();
    }
    return 0;
}

MenuBarItem MeasureMenuItem(const QString& text, const QFont& font)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter p(&scratch);
    p.setFont(font);
    Rect r{};
    ui::drawTextWin(p, r, text, ui::DT_CALCRECT | ui::DT_SINGLELINE);
    MenuBarItem item;
    item.text = text;
    item.mnemonic = MenuMnemonic(text);
    item.width = r.right - r.left + kMenuItemPadding;
    return item;
}

MenuBarLayout LayoutMenuBar(const Rect& bar, const std::vector<Size>& items, Size chevron)
{
    MenuBarLayout L;
    L.items.resize(items.size());
    const int64_t barHeight = RectHeight(bar);
    auto centredTop = [&](int height) { return int64_t(bar.top) + (barHeight - height + 1) / 2; };
    int64_t x = bar.left;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Size s = items[i];
        if (x + s.cx <= bar.right) {
            const int64_t t = centredTop(s.cy);
            L.items[i] = MakeRect(x, t, x + s.cx, t + s.cy);
            x += s.cx;
            continue;
        }
        // The chevron steps back over the placed items it needs room from.
        std::size_t shown = i;
        while (shown > 0 && x + chevron.cx > bar.right) {
            --shown;
            x = L.items[shown].left;
            L.items[shown] = Rect{};
        }
        L.overflow = int(shown);
        const int64_t t = centredTop(chevron.cy);
        L.chevron = MakeRect(x, t, x + chevron.cx, t + chevron.cy);
        break;
    }
    return L;
}

int MenuBarHitTest(const MenuBarLayout& layout, Point pt)
{
    const std::size_t shown = layout.overflow >= 0 ? std::size_t(layout.overflow) : layout.items.size();
    for (std::size_t i = 0; i < shown && i < layout.items.size(); ++i)
        if (PtInRect(layout.items[i], pt.x, pt.y))
            return int(i);
    if (layout.overflow >= 0 && PtInRect(layout.chevron, pt.x, pt.y))
        return layout.overflow;
    return -1;
}

ui::MenuSpec OverflowMenu(const ui::MenuSpec& menu, int from)
{
    ui::MenuSpec overflow;
    if (from >= 0 && std::size_t(from) < menu.items.size())
        overflow.items.assign(menu.items.begin() + from, menu.items.end());
    return overflow;
}
