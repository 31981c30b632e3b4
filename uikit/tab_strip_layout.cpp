#include "uikit/tab_strip_layout.h"

#include "platform/rect_math.h"

const QString TabStripLayout::kShortSample = QStringLiteral("一二...");

int TabStripLayout::IndexOfId(int id) const
{
    for (std::size_t i = 0; i < tabs.size(); ++i)
        if (tabs[i]->id == id)
            return int(i);
    return -1;
}

int TabStripLayout::TextWidth(int i, bool shortened) const
{
    if (!ValidIndex(i))
        return 0;
    const QString& text = shortened && i != selected ? kShortSample : tabs[size_t(i)]->text;
    const int extent = measure ? measure(text) : 0;
    return ClampInt32(3 * int64_t(spacing) + RectHeight(tabArea) + extent);
}

Rect TabStripLayout::buttonRect(const Rect& host, const Size& image) const
{
    if (image.cx <= 0 || image.cy <= 0)
        return Rect{};
    const int64_t x = int64_t(host.right) - spacing;
    const int64_t top = (int64_t(host.top) + host.bottom) / 2 - image.cy / 2;
    return MakeRect(x - image.cx / 2, top, x, top + image.cy);
}

Rect TabStripLayout::CloseRect(int i) const
{
    return ValidIndex(i) ? buttonRect(tabs[size_t(i)]->rect, closeImage) : Rect{};
}

Rect TabStripLayout::MenuRect() const
{
    return RectEmpty(menuArea) ? Rect{} : buttonRect(menuArea, menuImage);
}

void TabStripLayout::placeRightward(int from, int to, int x)
{
    int64_t left = x;
    for (int i = from; i < to; ++i) {
        Rect& r = tabs[size_t(i)]->rect;
        const int64_t w = RectWidth(r);
        r = MakeRect(left, tabArea.top, left + w, tabArea.bottom);
        left += w;
    }
}

void TabStripLayout::placeLeftward(int from, int to, int x)
{
    int64_t right = x;
    for (int i = to - 1; i >= from; --i) {
        Rect& r = tabs[size_t(i)]->rect;
        const int64_t w = RectWidth(r);
        r = MakeRect(right - w, tabArea.top, right, tabArea.bottom);
        right -= w;
    }
}

void TabStripLayout::placeAtWidths(bool shortened)
{
    int64_t left = tabArea.left;
    for (int i = 0; i < int(tabs.size()); ++i) {
        const int64_t w = TextWidth(i, shortened);
        tabs[size_t(i)]->rect = MakeRect(left, tabArea.top, left + w, tabArea.bottom);
        left += w;
    }
}

bool TabStripLayout::lastEndsPastArea() const
{
    return tabs.back()->rect.right > tabArea.right;
}

void TabStripLayout::Layout(const Rect& client)
{
    tabArea = MakeRect(int64_t(client.left) + 1, int64_t(client.top) + 1, int64_t(client.right) - 1,
                       int64_t(client.bottom) - 1);
    menuArea = Rect{};
    if (tabs.empty())
        return;
    const Rect remembered = ValidIndex(selected) ? tabs[size_t(selected)]->rect : Rect{};

    placeAtWidths(false);
    if (lastEndsPastArea())
        placeAtWidths(true);
    if (!lastEndsPastArea())
        return;

    // The overflow button takes one and a half times the strip's height.
    menuArea = tabArea;
    menuArea.left = ClampInt32(int64_t(menuArea.right) - 3 * RectHeight(client) / 2);
    tabArea.right = ClampInt32(int64_t(menuArea.left) - 1);
    placeAtWidths(true);
    if (!ValidIndex(selected))
        return;

    const int count = int(tabs.size());
    const int64_t w = TextWidth(selected, true);
    Rect& sel = tabs[size_t(selected)]->rect;
    if (!RectEmpty(IntersectRect(remembered, tabArea))) {
        // Stay where the operator last saw the tab, growing away from the
        // nearer end of the area. The height is always the area's.
        sel.left = remembered.left;
        sel.right = remembered.right;
        if (int64_t(sel.left) < (int64_t(tabArea.left) + tabArea.right) / 2)
            sel.left = ClampInt32(sel.right - w);
        else
            sel.right = ClampInt32(sel.left + w);
    }
    if (sel.right > tabArea.right)
        sel = MakeRect(tabArea.right - w, tabArea.top, tabArea.right, tabArea.bottom);
    if (sel.left < tabArea.left)
        sel = MakeRect(tabArea.left, tabArea.top, tabArea.left + w, tabArea.bottom);

    placeLeftward(0, selected, sel.left);
    if (tabs.front()->rect.left <= tabArea.left) {
        placeRightward(selected + 1, count, sel.right);
        if (tabs.back()->rect.right < tabArea.right)
            placeLeftward(0, count, tabArea.right);
    } else {
        placeRightward(0, count, tabArea.left);
    }
}

int TabStripLayout::HitTest(const Point& pt, int& index) const
{
    index = -1;
    if (PtInRect(menuArea, pt.x, pt.y))
        return PtInRect(MenuRect(), pt.x, pt.y) ? HitMenu : HitNothing;
    if (!PtInRect(tabArea, pt.x, pt.y))
        return HitNothing;
    for (int i = 0; i < int(tabs.size()); ++i) {
        if (PtInRect(CloseRect(i), pt.x, pt.y)) {
            index = i;
            return HitClose;
        }
        if (PtInRect(tabs[size_t(i)]->rect, pt.x, pt.y)) {
            index = i;
            return HitTab;
        }
    }
    return HitNothing;
}

QString TabStripLayout::ShownText(int i) const
{
    if (!ValidIndex(i))
        return QString();
    const CUiTab& tab = *tabs[size_t(i)];
    if (RectWidth(tab.rect) >= TextWidth(i, false))
        return tab.text;
    // Never split a surrogate pair: two characters, not two code units.
    qsizetype cut = 0;
    for (int chars = 0; chars < 2 && cut < tab.text.size(); ++chars)
        cut += tab.text[cut].isHighSurrogate() && cut + 1 < tab.text.size() ? 2 : 1;
    return tab.text.left(cut) + QStringLiteral("...");
}

ui::MenuSpec TabStripLayout::OverflowMenu() const
{
    ui::MenuSpec menu;
    for (int i = 0; i < int(tabs.size()); ++i)
        menu.items.push_back(ui::MenuSpec::item(i + 1, tabs[size_t(i)]->text, i == selected));
    return menu;
}

int TabStripLayout::SelectionAfterClose(int closing, int selected, int count)
{
    if (closing < selected)
        return selected - 1;
    if (closing == selected && closing == count - 1)
        return selected - 1;
    return selected;
}
