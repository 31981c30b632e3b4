#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "core/config.h"
#include "corlane/app_path.h"
#include "model/osd_record.h"
#include "model/processor.h"
#include "model/sig_out.h"
#include "model/sig_src.h"
#include "platform/clock.h"
#include "platform/rect_math.h"
#include "tests/support/ui/screenshot.h"
#include "tests/builder/model10_wall.h"
#include "tests/support/ui/ui_test.h"
#include "tests/views/button_images.h"
#include "tests/views/wall_fixture.h"
#include "views/multi_screen_view.h"

namespace fs = std::filesystem;
using tavrix::test::pixelAt;
using tavrix::test::pumpUntil;
using tavrix::test::screenshot;

namespace {

// An opaque image of `colour` blended at the window opacity over `under`:
// what every one-colour pixel of a translucent window must read.
ui::ColorRef BlendedAtWindowAlpha(ui::ColorRef colour, ui::ColorRef under)
{
    QImage src(1, 1, QImage::Format_ARGB32_Premultiplied);
    src.fill(ui::toQColor(colour));
    QImage dst(1, 1, QImage::Format_ARGB32_Premultiplied);
    dst.fill(ui::toQColor(under));
    QPainter p(&dst);
    p.setOpacity(wallview::kWindowAlpha / 255.0);
    p.drawImage(0, 0, src);
    p.end();
    const QRgb c = dst.pixel(0, 0);
    return ui::rgb(qRed(c), qGreen(c), qBlue(c));
}

bool Near(ui::ColorRef c, int r, int g, int b, int tolerance = 2)
{
    return std::abs(ui::redOf(c) - r) <= tolerance && std::abs(ui::greenOf(c) - g) <= tolerance &&
           std::abs(ui::blueOf(c) - b) <= tolerance;
}

// Pixels of the rectangle that are plainly red.
int RedPixels(const QImage& image, const Rect& r)
{
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const ui::ColorRef c = pixelAt(image, x, y);
            count += ui::redOf(c) > 200 && ui::greenOf(c) < 80 && ui::blueOf(c) < 80;
        }
    return count;
}

void SetViewKeys(bool transparent)
{
    SetConfigBool("MulSView.FitModule", true);
    SetConfigBool("MulSView.AutoExecute", false);
    SetConfigBool("MulSView.Transparent", transparent);
}

// The fixture's client size: 1000 x 600.
void ShowPlan(CMultiScreenView& view, const std::shared_ptr<CQelPlan>& plan)
{
    view.resize(1000, 600);
    view.show();
    view.SetPlan(plan);
}

class WallView : public tavrix::test::UiTest {
protected:
    void SetUp() override { ASSERT_TRUE(WriteButtonImages()); }
};

TEST_F(WallView, PaintsTheWallItsWindowsAndTheirStates)
{
    WallFixture f;
    AddTestSource(*f.processor, 1, 960, 540);
    f.processor->GetSigSrc(1)->SetJoined(true);
    AddTestSource(*f.processor, 2, 1920, 1080);
    auto wall = f.processor->GetWall();
    wall.cells.erase({1, 1});
    f.processor->SetWall(wall);
    f.plan->SetMargin({8, 8, 8, 8});
    auto larger = AddTestWindow(*f.plan, 1, {0, 0, 1920, 1080});
    auto selected = AddTestWindow(*f.plan, 2, {1920, 0, 3840, 1080});
    AddTestWindow(*f.plan, 99, {0, 1080, 960, 1620});
    auto logo = AddTestWindow(*f.plan, kLogoSigSrc, {2880, 1620, 3136, 1748});
    logo->osd->bitmap.assign(32 * 128, 0xFF);
    std::fill_n(logo->osd->bitmap.begin(), 32 * 64, 0x00); // the upper half black
    f.plan->SelectWindow(larger);

    SetViewKeys(false);
    CMultiScreenView view;
    ShowPlan(view, f.plan);
    view.m_vecSelection = {selected};
    const QImage shot = screenshot(view);

    EXPECT_EQ(pixelAt(shot, 10, 10), ui::rgb(164, 164, 164));   // canvas
    EXPECT_EQ(pixelAt(shot, 400, 500), ui::rgb(128, 128, 128)); // bare wall
    EXPECT_EQ(pixelAt(shot, 800, 500), ui::rgb(150, 150, 150)); // cell without output
    EXPECT_EQ(pixelAt(shot, 22, 520), ui::rgb(0, 0, 164));      // margin frame
    // Larger than its source: the joined source's part, dark red beyond.
    EXPECT_EQ(pixelAt(shot, 100, 150), ui::rgb(196, 240, 238));
    EXPECT_EQ(pixelAt(shot, 490, 290), ui::rgb(150, 0, 20));
    EXPECT_EQ(pixelAt(shot, 350, 34), ui::rgb(0, 0, 255)); // active title
    EXPECT_EQ(pixelAt(shot, 900, 200), ui::rgb(192, 192, 192));
    EXPECT_EQ(pixelAt(shot, 800, 34), ui::rgb(100, 100, 101));
    EXPECT_EQ(pixelAt(shot, 500, 200), ui::rgb(239, 156, 0)); // selection frame
    EXPECT_EQ(pixelAt(shot, 200, 420), ui::rgb(150, 0, 20));  // no such source
    EXPECT_EQ(pixelAt(shot, 770, 440), ui::rgb(0, 0, 0));     // logo bitmap
    EXPECT_EQ(pixelAt(shot, 770, 463), ui::rgb(255, 255, 255));
    EXPECT_EQ(pixelAt(shot, 480, 40), ui::rgb(10, 160, 10)); // close button
    EXPECT_EQ(RedPixels(shot, {0, 0, 1000, 20}), 0);         // resolutions match

    // Translucent windows, and a device that differs in its rate only.
    view.m_bTransparent = true;
    f.processor->SetOutputResolution(1920, 1080, 50);
    const QImage translucent = screenshot(view);
    EXPECT_TRUE(Near(pixelAt(translucent, 900, 200), 177, 177, 177, 1));
    // Blended straight onto the canvas, bodies read exactly what blending
    // the window's image would give.
    const ui::ColorRef bareWall = ui::rgb(128, 128, 128);
    EXPECT_EQ(pixelAt(translucent, 900, 200), BlendedAtWindowAlpha(ui::rgb(192, 192, 192), bareWall));
    EXPECT_EQ(pixelAt(translucent, 490, 290), BlendedAtWindowAlpha(ui::rgb(150, 0, 20), bareWall));
    EXPECT_GT(RedPixels(translucent, {0, 0, 1000, 20}), 0);
}

// Opaque windows paint only what no later window covers: every pixel of
// the wall must still be the one painting all of them in order gives.
TEST_F(WallView, OpaqueWindowsShowOnlyTheirUncoveredParts)
{
    WallFixture f;
    AddTestSource(*f.processor, 1, 1920, 1080);
    AddTestSource(*f.processor, 2, 1920, 1080);
    AddTestSource(*f.processor, 3, 960, 540);
    const auto planWith = [&](const std::vector<std::pair<int32_t, Rect>>& windows) {
        std::shared_ptr<CQelPlan> plan = MakeTestPlan(2, 2, kPlanUniform);
        plan->SetCellSplit(2, 2);
        // Named after their sources: titles must not depend on the order.
        for (const auto& [source, rect] : windows)
            AddTestWindow(*plan, source, rect)->name = "W" + std::to_string(source);
        return plan;
    };
    const Rect below{0, 0, 1920, 1080};
    const Rect hidden{1200, 700, 1700, 1000}; // under `top` entirely
    const Rect top{960, 540, 2880, 1620};     // over half of `below`'s texts
    SetViewKeys(false);
    const auto shoot = [&](const std::shared_ptr<CQelPlan>& plan, Rect* topRect) {
        CMultiScreenView view;
        ShowPlan(view, plan);
        if (topRect)
            *topRect = view.geometry().GetWindowViewRect(plan->GetWindows().back());
        return screenshot(view);
    };
    Rect onView{};
    const QImage all = shoot(planWith({{1, below}, {3, hidden}, {2, top}}), &onView);
    const QImage topAlone = shoot(planWith({{2, top}}), nullptr);
    const QImage belowAlone = shoot(planWith({{1, below}}), nullptr);
    ASSERT_FALSE(RectEmpty(onView));

    int wrongInTop = 0;
    int wrongElsewhere = 0;
    for (int y = 0; y < all.height(); ++y) {
        for (int x = 0; x < all.width(); ++x) {
            const bool inTop = PtInRect(onView, x, y);
            const QImage& expected = inTop ? topAlone : belowAlone;
            if (all.pixel(x, y) != expected.pixel(x, y))
                ++(inTop ? wrongInTop : wrongElsewhere);
        }
    }
    EXPECT_EQ(wrongInTop, 0);
    EXPECT_EQ(wrongElsewhere, 0);
}

TEST_F(WallView, LaysRedOverWindowsTheProcessorCannotShow)
{
    FixtureF f;
    const auto plan = UnplaceablePlan(f);
    SetViewKeys(false);
    CMultiScreenView view;
    ShowPlan(view, plan);
    const QImage shot = screenshot(view);
    EXPECT_TRUE(Near(pixelAt(shot, 300, 400), 217, 117, 117)) << std::hex << pixelAt(shot, 300, 400);
    EXPECT_GT(RedPixels(shot, {0, 0, 800, 100}), 0); // the shortage notice
}

TEST_F(WallView, SubscribesOnlyWhileShownAndNeverSavesThePlan)
{
    WallFixture f;
    f.plan->SetName("declined");
    f.plan->SetDirty(true);
    SetConfigBool("MulSView.FitModule", false);
    SetConfigBool("MulSView.AutoExecute", false);
    SetConfigBool("MulSView.Transparent", true);
    {
        CMultiScreenView view;
        view.SetPlan(f.plan);
        EXPECT_EQ(view.ConnectionCount(), 0);
        for (int cycle = 0; cycle < 3; ++cycle) {
            view.show();
            EXPECT_EQ(view.ConnectionCount(), 6);
            view.hide();
            EXPECT_EQ(view.ConnectionCount(), 0);
        }
        view.show();
        EXPECT_EQ(view.ConnectionCount(), 6);
        EXPECT_FALSE(view.m_bFitModule);
        EXPECT_FALSE(view.m_bAutoExecute);
        EXPECT_TRUE(view.m_bTransparent);
        view.m_bFitModule = true;
        view.m_bAutoExecute = true;
        view.hide();
        EXPECT_TRUE(GetConfigBool("MulSView.FitModule", false));
        EXPECT_TRUE(GetConfigBool("MulSView.AutoExecute", false));
        view.show();
    }
    // A plan the operator may still decline to keep is not written.
    const fs::path plans = qz::vok::path::GetPlanPath();
    EXPECT_TRUE(fs::is_empty(plans)) << plans;
}

TEST_F(WallView, DrawsProgressOnTheWindowUntilTheLastReport)
{
    WallFixture f;
    CMultiScreenView view;
    ShowPlan(view, f.plan);
    view.SetProgress(ProgressNotice::kKindExecute);
    view.OnProgress(3, 10);
    EXPECT_EQ(view.WindowNotice(), QStringLiteral("台标显示处理中，请稍等...    3 / 10"));
    view.OnProgress(10, 10);
    EXPECT_TRUE(view.WindowNotice().isEmpty());

    // A report from another thread is drawn on the UI thread.
    view.SetProgress(ProgressNotice::kKindStore);
    std::thread job([&] { view.OnProgress(1, 4); });
    job.join();
    EXPECT_TRUE(pumpUntil([&] { return !view.WindowNotice().isEmpty(); }));
    EXPECT_EQ(view.WindowNotice(), QStringLiteral("正保存至处理器，请稍等...   3"));
}

TEST_F(WallView, ShowsTheEndOfALogoSavingForThreeSeconds)
{
    platform::ScaledClock clock(100);
    platform::ScopedClock scoped(clock);
    WallFixture f;
    auto view = std::make_unique<CMultiScreenView>();
    view->SetPlan(f.plan);
    const auto receiver = view->GetOsdSavingReceiver();
    const auto report = [&](int done, int total) {
        std::thread job([&] { receiver->Invoke([&](IOSDSavingProgress& r) { r.OnProgress(done, total); }); });
        job.join();
    };

    const auto start = platform::Now();
    report(50, 50);
    ASSERT_TRUE(pumpUntil([&] { return view->m_nMode == 3; }));
    EXPECT_EQ(view->painting().LogoSaveStatusText(), QStringLiteral("台标保存完毕"));
    ASSERT_TRUE(pumpUntil([&] { return view->m_nMode == 0; }));
    EXPECT_GE(platform::MillisSince(start), 3000);

    report(51, 50);
    ASSERT_TRUE(pumpUntil([&] { return view->m_nMode == 3; }));
    EXPECT_EQ(view->painting().LogoSaveStatusText(), QStringLiteral("台标保存失败"));

    // A job that outlives the view reaches nothing.
    view.reset();
    EXPECT_FALSE(receiver->Invoke([](IOSDSavingProgress& r) { r.OnProgress(1, 50); }));
}

TEST_F(WallView, PaintsBadPlansAndLargeCanvasesSafely)
{
    WallFixture f;
    CMultiScreenView view;
    ShowPlan(view, f.plan);
    const auto paint = [&] {
        QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        QPainter p(&image);
        view.OnDraw(p);
        return image.convertToFormat(QImage::Format_RGB32);
    };

    // Scrolled to the middle of a canvas five times the client.
    AddTestWindow(*f.plan, 99, {0, 0, 3840, 2160});
    view.SetCanvasScale(5);
    EXPECT_EQ(view.geometry().m_rcCanvas, (Rect{0, 0, 5000, 3000}));
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    EXPECT_EQ(pixelAt(paint(), 100, 100), ui::rgb(150, 0, 20));
    view.SetCanvasScale(1);

    std::shared_ptr<CQelPlan> empty = MakeTestPlan(0, 0, kPlanUniform);
    std::shared_ptr<CQelPlan> lists = MakeTestPlan(2, 2, kPlanSizedGrid);
    lists->SetRowHeights({1080});
    AddTestWindow(*lists, 99, {0, 0, 3840, 2160});
    for (const auto& plan : {empty, lists}) {
        view.SetPlan(plan);
        const QImage image = paint();
        EXPECT_EQ(pixelAt(image, 10, 10), ui::rgb(164, 164, 164));
        EXPECT_NE(pixelAt(image, 500, 300), ui::rgb(150, 0, 20)); // no window
    }
    view.resize(30, 600);
    EXPECT_EQ(pixelAt(paint(), 15, 300), ui::rgb(164, 164, 164));
}

// A paint after an edit shows the edit: what the view keeps from the last
// paint is painted again where it changed, and the pixels are those of a
// view that paints the plan for the first time.
TEST_F(WallView, PaintsEveryEditSinceTheLastPaint)
{
    SenderContextGuard guard;
    auto processor = std::make_shared<CQelProcessor>();
    BuildModel10(*processor);
    SelectTestProcessor(processor);
    std::shared_ptr<CQelPlan> plan = MakeTestPlan(kModel10Side, kModel10Side);
    AddModel10Windows(*plan);
    const auto paint = [](CMultiScreenView& view) {
        QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        QPainter p(&image);
        view.OnDraw(p);
        return image;
    };
    const auto top = [&] { return plan->GetWindowAt(plan->GetWindowCount() - 1); };
    const auto source = [&] { return processor->GetSigSrc(uint32_t(top()->sigsrc)); };
    int n = 0; // each edit gives a value of its own
    const std::vector<std::pair<const char*, std::function<void(CMultiScreenView&)>>> edits = {
        {"dragged by its title",
         [&](CMultiScreenView& view) {
             const Rect r = view.geometry().GetWindowViewRect(top());
             const Point grip =
                 view.geometry().CanvasToDevicePoint(Point{int32_t(r.left + RectWidth(r) / 2), r.top + 5});
             view.editing().OnLButtonDown(grip, false);
             view.editing().OnMouseMove(Point{grip.x - 9, grip.y - 5});
             paint(view);
             view.editing().OnMouseMove(Point{grip.x - 97, grip.y - 61});
             view.editing().OnLButtonUp(Point{grip.x - 97, grip.y - 61});
         }},
        {"renamed in its record", [&](CMultiScreenView&) { top()->name = "W " + std::to_string(++n); }},
        {"moved in its record",
         [&](CMultiScreenView&) {
             const auto w = plan->GetWindowAt(0);
             w->rect = OffsetRect(w->rect, 960, 540);
             w->rectView = Rect{};
         }},
        {"its source renamed", [&](CMultiScreenView&) { source()->SetName("In " + std::to_string(++n)); }},
        {"its source joined", [&](CMultiScreenView&) { source()->SetJoined(!source()->IsJoined()); }},
        {"its source resized", [&](CMultiScreenView&) { source()->SetResolution(++n % 2 ? 3840 : 1280, 720, 60); }},
        {"the outputs renamed",
         [&](CMultiScreenView&) {
             for (const auto& output : processor->GetSigOuts())
                 output->SetName("Out " + std::to_string(++n));
         }},
    };
    for (const bool translucent : {true, false}) {
        SetViewKeys(translucent);
        for (const auto& [what, edit] : edits) {
            CMultiScreenView view;
            ShowPlan(view, plan);
            const QImage before = paint(view);
            edit(view);
            const QImage after = paint(view);
            CMultiScreenView fresh;
            ShowPlan(fresh, plan);
            fresh.m_pActiveWnd = view.m_pActiveWnd;
            fresh.editing().m_ptCurrent = view.editing().m_ptCurrent;
            EXPECT_NE(after, before) << what << (translucent ? ", translucent" : ", opaque");
            EXPECT_TRUE(after == paint(fresh)) << what << (translucent ? ", translucent" : ", opaque");
        }
    }
}

// Each move of a drag repaints only what it changed, and the window then
// shows what a whole repaint gives.
TEST_F(WallView, DragRepaintsOnlyWhatItChanged)
{
    SenderContextGuard guard;
    auto processor = std::make_shared<CQelProcessor>();
    BuildModel10(*processor);
    SelectTestProcessor(processor);
    std::shared_ptr<CQelPlan> plan = MakeTestPlan(kModel10Side, kModel10Side);
    AddModel10Windows(*plan);
    struct Regions : QObject {
        std::vector<QRegion> painted;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                painted.push_back(static_cast<QPaintEvent*>(e)->region());
            return false;
        }
    };
    for (const bool translucent : {true, false}) {
        SetViewKeys(translucent);
        CMultiScreenView view;
        ShowPlan(view, plan);
        QApplication::processEvents();
        const auto shown = [&] { return view.screen()->grabWindow(view.winId()).toImage(); };
        const Rect r = view.geometry().GetWindowViewRect(plan->GetWindowAt(plan->GetWindowCount() - 1));
        const Point grip = view.geometry().CanvasToDevicePoint(Point{int32_t(r.left + RectWidth(r) / 2), r.top + 5});
        view.editing().OnLButtonDown(grip, false);
        QApplication::processEvents();
        Regions regions;
        view.viewport()->installEventFilter(&regions);
        for (const int step : {1, 9, 97}) {
            view.editing().OnMouseMove(Point{grip.x - step, grip.y - step / 2});
            QApplication::processEvents();
        }
        const QImage dragged = shown();
        view.viewport()->repaint();
        EXPECT_TRUE(dragged == shown()) << (translucent ? "translucent" : "opaque");
        ASSERT_GE(regions.painted.size(), 3u);
        for (size_t i = 0; i + 1 < regions.painted.size(); ++i)
            EXPECT_FALSE(QRegion(view.viewport()->rect()).subtracted(regions.painted[i]).isEmpty()) << i;
        view.editing().OnLButtonUp(Point{grip.x - 97, grip.y - 48});
    }
}

} // namespace
