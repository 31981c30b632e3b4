#pragma once
// The wall view: one plan drawn as the video wall it describes. A scroll
// area whose canvas is its client area (the viewport without scroll bars)
// times the canvas scale; every paint draws the visible part of the canvas
// straight onto the viewport, the toolkit's own double buffering keeping it
// from flickering. The decisions are WallViewCore's; this class paints them
// and carries the window's life: images, tip, settings and subscriptions.
#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <array>
#include <map>
#include <memory>
#include <optional>

#include "core/progress.h"
#include "model/job_progress.h"
#include "platform/ui/ui_timer.h"
#include "views/ms_view_tip_ctrl.h"
#include "views/static_text_cache.h"
#include "views/wall_view_core.h"

class CMultiScreenView : public QAbstractScrollArea, public WallViewCore, public IProgress {
    Q_OBJECT
public:
    // The tip's one tool.
    static constexpr int kTipToolId = 1;

    explicit CMultiScreenView(QWidget* parent = nullptr);
    ~CMultiScreenView() override;

    // The wall's geometry part; the widget's own rectangle is
    // QWidget::geometry().
    using WallViewCore::geometry;

    // The canvas as 1 to 5 times the client size (the frame's zoom); lays
    // the wall out again.
    void SetCanvasScale(int scale);
    void RecalcLayout() override;
    // Scroll ranges: the canvas less the viewport.
    void UpdateScrollSizes();

    // Paints the visible part of the canvas onto `p`, which paints the
    // viewport; a paint event and the benchmark run it.
    void OnDraw(QPainter& p);
    // Translates the painter by the scroll offset (origin in m_ptViewOrg).
    void PrepareCanvasDC(QPainter& p);

    // A long send's progress (IProgress; the progress value is its kind).
    void OnProgress(int done, int total) override;
    // A logo saving's progress, from the saving job's thread.
    void OnSavingProgress(int done, int total);
    // What the view hands a logo saving job; revoked when the view goes.
    ReceiverPtr<IOSDSavingProgress> GetOsdSavingReceiver() const override { return m_osdSavingHandle; }

    // Red Arial text of the given height, left-top aligned in rect.
    void DrawNoticeText(QPainter& p, const QString& text, int height, const Rect& rect) const;
    // Draws the text on the window now, over the canvas, even while the UI
    // thread is busy; the next ordinary repaint wipes it.
    void DrawNoticeOnWindow(const QString& text, int height, const Rect& rect);
    QString WindowNotice() const { return m_notice.text; }

    // A source from the source tree released at a global (screen) point.
    void DropSignalSource(const QPoint& screen);

    QString m_strTitle;
    CMSViewTipCtrl m_tip;
    QImage m_imgClose;
    QImage m_imgMaxCell;
    QImage m_imgMaxScreen;
    QImage m_imgLock;

protected:
    void InvalidateView() override;
    void SetViewCursor(ViewCursor cursor) override;
    void SetTip(const Rect& canvasRect, bool moved, const QString& text) override;
    void ReleaseCapture() override;
    void RepaintNow() override;
    IProgress* ProgressReceiver() override { return this; }
    QWidget* DialogParent() override { return this; }
    bool AltKeyDown() const override;
    void StopOsdNoticeTimer() override { m_osdTimer.stop(); }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Relays the viewport's mouse to the tip before handling it.
    bool viewportEvent(QEvent* event) override;

    void OnCreate();
    void OnSize();
    void OnShowWindow(bool show);
    void OnDestroy();
    void OnTimer();

    // The parts of a paint, in canvas coordinates.
    void DrawCellNames(QPainter& p, const std::vector<CellPaint>& cells);
    void DrawColumnLines(QPainter& p, const Rect& rc);
    void DrawRowLines(QPainter& p, const Rect& rc);
    // The windows of the base layer, bottom first.
    void DrawWindows(QPainter& p, const std::vector<LayerWindow>& windows);
    // An opaque window painted only within `shown` (texts and images may
    // reach past it).
    void DrawWindowOpaque(QPainter& p, const LayerWindow& window, const QRegion& shown);
    void DrawWindowTranslucent(QPainter& p, const LayerWindow& window);
    // The drag marks, wall texts, watch strip, resource layers and notices.
    void DrawTopLayer(QPainter& p, const TopLayerScene& top);
    void DrawSnapMark(QPainter& p, const std::vector<Point>& points);
    void DrawRubberBand(QPainter& p, const Rect& r);
    void DrawWatchStrip(QPainter& p, const WatchStripPaint& strip);

private:
    // The logo saving job's receiver: a member, so the view's own
    // OnProgress stays the send progress.
    class OsdSavingReceiver final : public IOSDSavingProgress {
    public:
        explicit OsdSavingReceiver(CMultiScreenView& view) : view_(view) {}
        void OnProgress(int done, int total) override { view_.OnSavingProgress(done, total); }

    private:
        CMultiScreenView& view_;
    };

    struct Notice {
        QString text;
        int height = 0;
        Rect rect;
    };

    // Brings the base layer up to date and copies it onto `p`; false when
    // the plan's windows are not drawn.
    bool DrawBaseLayer(QPainter& p);
    // Paints the base layer's `damage` (canvas rectangles; all of it when
    // empty) into m_layer.
    void PaintBaseLayer(const LayerFrame& frame, const std::vector<LayerWindow>& windows,
                        const std::vector<Rect>& damage);
    void DrawGridLines(QPainter& p, const GridLines& lines, const Rect& rc, bool rows);
    // The part of the canvas the viewport shows.
    Rect VisibleCanvas() const;
    // What the base layer's title-bar buttons were painted from.
    std::array<qint64, 4> ButtonImageKeys() const;
    // While the mouse drags, the viewport pixels where a paint now would
    // differ from the last one; nothing when that may be anywhere.
    std::optional<QRegion> DragDamage();
    void DrawOverlayMarks(QPainter& p, const std::vector<OverlayMark>& marks);
    void DrawButton(QPainter& p, const TitleButton& button, const QImage& image, int cellWidth);
    struct Fill {
        Rect rect;
        ui::ColorRef colour;
    };
    static std::vector<Fill> BodyFills(const WindowPaint& d);
    // The whole window, or its fills only within `shown` and its texts
    // and images only when they meet it.
    void PaintWindow(QPainter& p, const LayerWindow& window, const QRegion* shown = nullptr);
    const QFont& InfoFont(const WindowPaint& d);
    // Where a window's texts and images may leave pixels, cut to the
    // window; empty for what is not drawn.
    struct DetailBoxes {
        Rect sourceName, title, lock, close, maxCell, maxScreen;
        struct Line {
            Rect rect; // the line DrawLine centres the text in
            Rect box;
        };
        std::vector<Line> infoLines; // those that start inside the window
    };
    DetailBoxes DetailBoxesOf(const WindowPaint& d);
    // The part of a translucent window that is not one colour per layer.
    QRegion WindowDetail(const WindowPaint& d);
    static QRegion Ring(const Rect& rc);
    // The painter on m_blend, grown to at least `size`.
    QPainter& BlendPainter(const QSize& size);
    static int WindowBlendAlpha();
    // Blends the window's one-colour parts within `solid` onto the canvas.
    void BlendWindowSolids(QPainter& p, const WindowPaint& d, const QRegion& solid);

    QPointer<QObject> m_self;
    OsdSavingReceiver m_osdSaving{*this};
    ReceiverPtr<IOSDSavingProgress> m_osdSavingHandle;
    ui::UiTimer m_osdTimer;
    ProgressNotice m_progressNotice;
    Notice m_notice;
    Rect m_rcVisible;
    // The part of the visible canvas the base layer is being painted in.
    Rect m_rcRedraw;
    // The base layer of the last paint, in viewport pixels, what it was
    // painted from, and the device and images it was painted for.
    struct LayerDevice {
        QSize size;
        QImage::Format format = QImage::Format_Invalid;
        std::array<qint64, 4> images{};
        friend bool operator==(const LayerDevice&, const LayerDevice&) = default;
    };
    QImage m_layer;
    WallLayerScene m_layerScene;
    LayerDevice m_layerDevice;
    // What the last paint drew over the base layer.
    TopLayerScene m_topScene;
    StaticTextCache m_texts;
    QFont m_watchHeaderFont;
    mutable std::map<int, QFont> m_noticeFonts; // by pixel height
    // A translucent window's texts and images are drawn here first; never
    // larger than the viewport.
    QImage m_blend;
    // Open on m_blend while the windows are painted.
    std::unique_ptr<QPainter> m_blendPainter;
};
