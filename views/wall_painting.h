#pragma once
// The wall view's paint decisions: what each part of a paint draws, from
// the plan, the layout and the edit under way, without a widget. The
// widget paints what these describe.
#include <QString>
#include <optional>
#include <vector>

#include "views/overlay_cache.h"
#include "views/wall_view_core.h"
#include "views/wall_view_paint.h"

class WallPainting {
public:
    using WindowPtr = WallViewCore::WindowPtr;

    explicit WallPainting(WallViewCore& core);
    WallPainting(const WallPainting&) = delete;
    WallPainting& operator=(const WallPainting&) = delete;

    // Whether the plan can be laid out and drawn at all (positive size and
    // grid, a wall area); else only the background is drawn.
    bool PlanDrawable() const;
    // False for a type-1 plan whose size lists do not match its grid: the
    // wall is then drawn without grid, windows, texts or watch strip.
    bool GridListsMatch() const;
    // The canvas around the wall area, in four bands.
    std::vector<Rect> BackgroundBands() const;
    std::vector<CellPaint> CellNames() const;
    // Model 6: the wall-coloured part of each output's half; nothing for
    // other models.
    std::optional<std::vector<Rect>> TwoOutputParts() const;
    GridLines RowLines(const Rect& area) const;
    GridLines ColumnLines(const Rect& area) const;
    // The content frame when the plan has a margin, else empty.
    Rect MarginFrame() const;
    std::vector<TextItem> WallSizeTexts() const;
    // The processor's output resolution differs from the plan's.
    bool ResolutionMismatch() const;
    WindowPaint DescribeWindow(const WindowPtr& window, const Rect& rc, Point mouse) const;
    // What the base layer is painted from, `visible` being the visible
    // canvas.
    WallLayerScene DescribeBaseLayer(const Rect& visible);
    bool ShowsMoveFrame() const;
    bool ShowsRubberBand() const;
    // The pending snap's polyline on the window rectangle; empty: none.
    std::vector<Point> SnapMarkPoints(const Rect& rc) const;
    WatchStripPaint DescribeWatchStrip() const;
    // The 8-part resource layers, in canvas pixels; each sets m_bShortage
    // when it marks something.
    std::vector<OverlayMark> EightPartShortageMarks();
    std::vector<OverlayMark> EightPartOverlayMarks();
    void BeginDrawPass() { m_bShortage = false; }
    QString LogoSaveStatusText() const;
    QString ShortageNoticeText() const;
    // What a paint draws over the base layer, from a new draw pass; the
    // drag marks are cut to just beyond `visible`.
    TopLayerScene DescribeTopLayer(const Rect& visible, bool windowsDrawn);

    // ---- State, with the names the view has always used
    ui::ColorRef m_clrNoOutputCell = ui::rgb(150, 150, 150);
    ui::ColorRef m_clrBackground = ui::rgb(164, 164, 164);
    ui::ColorRef m_clrWall = ui::rgb(128, 128, 128);
    ui::ColorRef m_clrGridLine = ui::rgb(0, 0, 0);
    bool m_bShortage = false;

private:
    // Grid lines across `area`: y values of the row lines or x values of
    // the column lines.
    GridLines AxisLines(const Rect& area, bool rows) const;

    // The plan, the layout and the drag it describes, through the core.
    WallViewCore& core_;
    EightPartOverlayCache m_overlays;
};
