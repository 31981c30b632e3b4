#pragma once
#include "platform/geometry.h"
#include "platform/ui/popup_menu.h"

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// One tab of the strip. The image and the value belong to the owner; the
// strip neither sets nor reads them.
class CUiTab {
public:
    int id = 0;
    Rect rect; // client coordinates, set by the layout
    QString text;
    QImage image;
    int value = 0;
};

// What the tab strip decides, apart from the widget: tab widths, the three
// placing passes, the close and overflow buttons, hit testing and the text
// a tab shows. Text is measured by the function the strip is given.
struct TabStripLayout {
    using Tabs = std::vector<std::shared_ptr<CUiTab>>;
    using MeasureText = std::function<int(const QString&)>;

    enum HitCode { HitNothing = 0, HitTab = 1, HitClose = 2, HitMenu = 3 };

    // Every unselected tab is this wide when the tabs do not fit.
    static const QString kShortSample;

    MeasureText measure;
    Tabs tabs; // display order
    int selected = -1;
    int spacing = 4;
    Rect tabArea;  // where tabs are drawn
    Rect menuArea; // the overflow button; empty when every tab fits
    // Sizes of the button images, each a strip of two square frames; an
    // empty size means no image and no button.
    Size closeImage;
    Size menuImage;

    bool ValidIndex(int i) const { return i >= 0 && i < int(tabs.size()); }
    int IndexOfId(int id) const;

    // 3 x spacing + tab area height + text extent; with `shortened`, an
    // unselected tab measures the sample instead. 0 for a bad index.
    int TextWidth(int i, bool shortened) const;
    Rect CloseRect(int i) const;
    Rect MenuRect() const;
    // Places the tabs and the overflow area in the client rectangle; keeps
    // the selected tab in view at its full width.
    void Layout(const Rect& client);
    // HitNothing (index -1), HitTab or HitClose with the tab's index, or
    // HitMenu.
    int HitTest(const Point& pt, int& index) const;

    // The text a tab shows: its first two characters and "..." when its
    // rectangle is narrower than its full width.
    QString ShownText(int i) const;
    // One item per tab, id = index + 1, the selected one checked.
    ui::MenuSpec OverflowMenu() const;

    // The selection once tab `closing` is removed: the next tab takes the
    // place of a closed selected tab, the one before when it was the last.
    static int SelectionAfterClose(int closing, int selected, int count);

private:
    // Lays the tabs [from, to) side by side at their current widths,
    // left to right from x, or right to left ending at x.
    void placeRightward(int from, int to, int x);
    void placeLeftward(int from, int to, int x);
    void placeAtWidths(bool shortened);
    Rect buttonRect(const Rect& host, const Size& image) const;
    bool lastEndsPastArea() const;
};
