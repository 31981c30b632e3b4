#include <climits>
#include <gtest/gtest.h>

#include "core/event_pump.h"
#include "core/events.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "platform/clock.h"
#include "tests/views/wall_fixture.h"

namespace {

TEST(WallLayout, FitsTheWallIntoTheCanvas)
{
    WallFixture f;
    CoreProbe core;
    core.SetPlan(f.plan);
    EXPECT_EQ(core.geometry().m_rcCanvas, (Rect{0, 0, 1000, 600}));
    EXPECT_EQ(core.geometry().m_rcWallArea, (Rect{20, 30, 980, 570}));
    EXPECT_EQ(core.geometry().m_rcWallView, core.geometry().m_rcWallArea);
    EXPECT_EQ(core.geometry().m_rcWatchStrip, Rect{});
    EXPECT_GE(core.invalidations, 1);

    // Too low for the full width: fitted to the height, centred.
    core.geometry().SetClientSize(Size{1000, 400});
    core.RecalcLayout();
    EXPECT_EQ(core.geometry().m_rcWallArea, (Rect{180, 20, 820, 380}));

    // The canvas is the client times the scale.
    core.geometry().SetClientSize(Size{1000, 600});
    core.geometry().SetCanvasScaleValue(9);
    core.RecalcLayout();
    EXPECT_EQ(core.geometry().m_nCanvasScale, 5);
    EXPECT_EQ(core.geometry().m_rcCanvas, (Rect{0, 0, 5000, 3000}));

    // Two watch windows: a strip below the wall and a slot for each.
    CoreProbe watching;
    watching.SetPlan(WallFixture::WatchPlan({101, 102}));
    EXPECT_EQ(watching.geometry().m_rcWatchStrip, (Rect{20, 480, 980, 580}));
    EXPECT_EQ(watching.geometry().m_rcWallArea, (Rect{20, 95, 980, 365}));
    EXPECT_EQ(watching.geometry().m_vecWatchSlotRects, (std::vector<Rect>{{120, 480, 320, 580}, {330, 480, 530, 580}}));
    // A strip narrower than its gaps: every slot is 200 wide.
    watching.geometry().SetClientSize(Size{100, 600});
    watching.RecalcLayout();
    ASSERT_EQ(watching.geometry().m_vecWatchSlotRects.size(), 2u);
    EXPECT_EQ(watching.geometry().m_vecWatchSlotRects[1], (Rect{330, 480, 530, 580}));

    CoreProbe unwatched;
    unwatched.SetPlan(WallFixture::WatchPlan({}));
    EXPECT_EQ(unwatched.geometry().m_rcWatchStrip, Rect{});
    EXPECT_TRUE(unwatched.geometry().m_vecWatchSlotRects.empty());
}

TEST(WallConversions, MapWallAndCanvasBothWays)
{
    WallFixture f;
    CoreProbe core;
    core.SetPlan(f.plan);
    EXPECT_EQ(core.geometry().WallToViewRect({1920, 1080, 3840, 2160}), (Rect{500, 300, 980, 570}));
    EXPECT_EQ(core.geometry().ViewToWallRect({500, 300, 980, 570}), (Rect{1920, 1080, 3840, 2160}));
    EXPECT_EQ(core.geometry().ViewToWallRect({100, 100, 300, 250}), (Rect{320, 280, 1120, 880}));
    EXPECT_EQ(core.geometry().WallToViewPoint({1920, 1080}), (Point{500, 300}));
    EXPECT_EQ(core.geometry().ViewToWallPoint({100, 100}), (Point{320, 280}));

    // A resize keeps the old edges it does not move.
    const Rect old{0, 0, 100, 100};
    const Rect view{100, 100, 300, 250}; // wall (320, 280, 1120, 880)
    EXPECT_EQ(core.geometry().ViewToWallForResize(WallViewCore::kDragTop, view, old), (Rect{0, 280, 100, 100}));
    EXPECT_EQ(core.geometry().ViewToWallForResize(WallViewCore::kDragBottomLeft, view, old), (Rect{320, 0, 100, 880}));
    EXPECT_EQ(core.geometry().ViewToWallForResize(WallViewCore::kDragTopRight, view, old), (Rect{0, 280, 1120, 100}));
    EXPECT_EQ(core.geometry().ViewToWallForResize(WallViewCore::kDragBottomRight, view, old), (Rect{0, 0, 1120, 880}));
    EXPECT_EQ(core.geometry().ViewToWallForResize(WallViewCore::kDragMove, view, old), old);

    // Edges near the int range: 64-bit widths, results saturated.
    EXPECT_EQ(core.geometry().ViewToWallRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX}), (Rect{INT_MIN, INT_MIN, -1, -1}));
    EXPECT_EQ(core.geometry().WallToViewRect({INT_MAX, INT_MAX, INT_MAX, INT_MAX}).left, 20 + INT_MAX / 4);

    // Scrolled canvases.
    core.geometry().m_ptViewOrg = Point{-300, -40};
    EXPECT_EQ(core.geometry().DeviceToCanvasPoint({10, 10}), (Point{310, 50}));
    EXPECT_EQ(core.geometry().CanvasToDevicePoint({310, 50}), (Point{10, 10}));

    // No size or no room: empty results, nothing divided by zero.
    CoreProbe narrow(Size{30, 600});
    narrow.SetPlan(f.plan);
    EXPECT_EQ(narrow.geometry().WallToViewRect({0, 0, 100, 100}), Rect{});
    EXPECT_EQ(narrow.geometry().ViewToWallPoint({25, 25}), Point{});
    f.plan->SetGrid(0, 2);
    core.RecalcLayout();
    EXPECT_EQ(core.geometry().WallToViewRect({0, 0, 100, 100}), Rect{});
    EXPECT_EQ(core.geometry().m_rcWallArea, (Rect{20, 0, 980, 600}));
}

TEST(TitleButtons, SitInTheTitleBarWhenTheirImagesLoaded)
{
    CoreProbe core;
    const Rect window{100, 100, 400, 300};
    core.geometry().SetImageSizes({40, 20}, {40, 20}, {44, 11}, {32, 16});
    EXPECT_EQ(core.geometry().GetCloseButtonRect(window), (Rect{376, 100, 396, 120}));
    EXPECT_EQ(core.geometry().GetMaxCellButtonRect(window), (Rect{353, 105, 364, 116}));
    EXPECT_EQ(core.geometry().GetMaxButtonRect(window), (Rect{369, 105, 380, 116}));
    EXPECT_EQ(core.geometry().GetCloseButtonRect(Rect{}), Rect{});

    core.geometry().SetImageSizes({}, {40, 20}, {}, {});
    EXPECT_EQ(core.geometry().GetCloseButtonRect(window), Rect{});
    EXPECT_EQ(core.geometry().GetMaxButtonRect(window), Rect{});
    EXPECT_EQ(core.geometry().GetMaxCellButtonRect(window), (Rect{353, 105, 364, 116}));
}

TEST(WindowGeometry, StartsOnEvenPixelsAndKeepsLogoSize)
{
    WallFixture f;
    CoreProbe core;
    core.SetPlan(f.plan);
    struct Case {
        int32_t source;
        Rect rect;
        Rect expected;
    };
    const Case cases[] = {
        {100, {101, 50, 404, 250}, {100, 50, 404, 250}},
        {100, {100, 50, 403, 250}, {100, 50, 402, 250}},
        {100, {100, 50, 404, 251}, {100, 50, 404, 251}},
        {100, {-3, 0, 8, 10}, {-3, 0, 7, 10}},
        {kLogoSigSrc, {101, 50, 102, 51}, {101, 50, 357, 178}},
        {kLogoSigSrc, {INT_MAX - 1, 0, 0, 0}, {INT_MAX - 1, 0, INT_MAX, 128}},
    };
    for (const Case& c : cases) {
        auto window = AddTestWindow(*f.plan, c.source, c.rect);
        core.geometry().UpdateWindowGeometry(window);
        EXPECT_EQ(window->rect, c.expected) << c.rect.left << "," << c.rect.right;
        // An unchanged window is left alone, view rectangle included.
        EXPECT_EQ(window->rectView, c.rect == c.expected ? Rect{} : core.geometry().WallToViewRect(c.expected));
    }

    // A full-screen window keeps the rectangle it returns to, whatever the
    // area it covers meanwhile.
    f.plan->SetMargin({1, 0, 0, 0});
    auto full = AddTestWindow(*f.plan, 100, {101, 50, 404, 250});
    full->fullscreen = true;
    core.geometry().UpdateWindowGeometry(full);
    EXPECT_EQ(full->rect, (Rect{100, 50, 404, 250}));
    EXPECT_EQ(core.geometry().GetWindowWallRect(full), (Rect{0, 0, 3840, 2160}));
    EXPECT_EQ(core.geometry().GetWindowViewRect(full), core.geometry().m_rcWallArea);
}

TEST(WallViewEvents, FollowTheModelOnlyForTheirProcessorAndPlan)
{
    WallFixture f;
    AddTestSource(*f.processor, 100, 1920, 1080);
    AddTestSource(*f.processor, 200, 1920, 1080);
    CoreProbe core;
    core.SetPlan(f.plan);
    core.Subscribe();
    auto odd = AddTestWindow(*f.plan, 100, {101, 50, 404, 250});
    auto other = AddTestWindow(*f.plan, 200, {101, 50, 404, 250});

    PostEvent(new CSigSrcResolutionChangedEvent(2, 100, 1280, 720)); // another processor
    PostEvent(new CSigSrcResolutionChangedEvent(1, 999, 1280, 720)); // no such source
    PumpEvents();
    EXPECT_EQ(odd->rect.left, 101);
    PostEvent(new CSigSrcResolutionChangedEvent(1, 100, 1280, 720));
    PumpEvents();
    EXPECT_EQ(odd->rect, (Rect{100, 50, 404, 250}));
    EXPECT_EQ(other->rect.left, 101);

    // The selection event names a layer that has moved since: the plan's
    // selected window is the one.
    f.plan->SelectWindow(odd); // posts layer 1
    f.plan->MoveWindowLayer(odd, kLayerTop);
    PumpEvents();
    EXPECT_EQ(core.m_pActiveWnd, odd);

    const int before = core.invalidations;
    PostEvent(new CSigSrcRenameEvent(1, 100));
    PostEvent(new CSigSrcRenameEvent(3, 100));
    PostEvent(new CPlanWindowEvent(8, 1)); // another plan
    PumpEvents();
    EXPECT_EQ(core.invalidations, before + 1);
    EXPECT_EQ(core.m_pActiveWnd, odd);
}

TEST(WallViewEvents, RecoveryForgetsWindowsThatLeftThePlan)
{
    WallFixture f;
    CoreProbe core;
    core.SetPlan(f.plan);
    core.Subscribe();
    auto first = AddTestWindow(*f.plan, 100, {0, 0, 960, 540});
    f.plan->AddHistory(kActNewWindow);
    auto second = AddTestWindow(*f.plan, 100, {960, 0, 1920, 540});
    f.plan->SelectWindow(second);
    f.plan->AddHistory(kActNewWindow);
    core.m_pActiveWnd = second;
    core.m_vecSelection = {first, second};

    core.m_bAutoExecute = false;
    ASSERT_TRUE(f.plan->RecoverHistory(f.plan->GetHistoryAt(0)->GetSerial(), CurrentPlanSelection()));
    PumpEvents();
    EXPECT_TRUE(core.m_vecSelection.empty()); // both are copies now
    EXPECT_EQ(core.m_pActiveWnd, f.plan->GetSelectedWindow());
    EXPECT_TRUE(core.executed.empty());
    ASSERT_EQ(f.plan->GetWindowCount(), 1);
    EXPECT_EQ(f.plan->GetWindowAt(0)->rectView, core.geometry().WallToViewRect({0, 0, 960, 540}));

    core.m_bAutoExecute = true;
    ASSERT_TRUE(f.plan->RecoverHistory(f.plan->GetHistoryAt(1)->GetSerial(), CurrentPlanSelection()));
    PumpEvents();
    EXPECT_EQ(core.executed, (std::vector<std::pair<int, int>>{{0, 1}}));
    core.AutoSendFixedWindow();
    EXPECT_EQ(core.executed.back(), (std::pair<int, int>{1, 0}));

    // Showing another plan drops the selection of the first.
    core.m_vecSelection = {f.plan->GetWindowAt(0)};
    core.SetPlan(MakeTestPlan(1, 1, kPlanUniform));
    EXPECT_TRUE(core.m_vecSelection.empty());
    EXPECT_EQ(core.m_pActiveWnd, nullptr);
}

TEST(WallGrid, LinesFollowCellsSubdivisionsAndReferenceStyle)
{
    WallFixture f;
    CoreProbe core;
    core.SetPlan(f.plan);
    const Rect area = core.geometry().m_rcWallArea;
    GridLines rows = core.painting().RowLines(area);
    EXPECT_EQ(rows.solid, (std::vector<int>{30, 300, 570}));
    EXPECT_EQ(rows.dotted, (std::vector<int>{165, 435}));
    EXPECT_EQ(core.painting().ColumnLines(area).dotted, (std::vector<int>{260, 740}));
    f.plan->SetCellSplit(0, -1); // no sub-division
    EXPECT_TRUE(core.painting().RowLines(area).dotted.empty());
    EXPECT_TRUE(core.painting().ColumnLines(area).dotted.empty());
    EXPECT_EQ(core.painting().ColumnLines(area).solid, (std::vector<int>{20, 500, 980}));
    f.plan->SetCellSplit(INT_MAX, INT_MAX); // finer than a pixel: none
    EXPECT_TRUE(core.painting().RowLines(area).dotted.empty());

    // Type 1: module lines dotted, screen boundaries solid.
    CoreProbe sized;
    sized.SetPlan(WallFixture::WatchPlan({}));
    const Rect wall = sized.geometry().m_rcWallArea; // (20, 165, 980, 435)
    EXPECT_EQ(sized.geometry().ModuleGrid(), (Size{4, 2}));
    EXPECT_EQ(sized.painting().ColumnLines(wall).dotted, (std::vector<int>{20, 260, 500, 740}));
    EXPECT_EQ(sized.painting().ColumnLines(wall).solid, (std::vector<int>{20, 500, 980}));
    EXPECT_EQ(sized.painting().RowLines(wall).dotted, (std::vector<int>{165, 300}));
    int style = 0;
    sized.geometry().SetReferenceLineStyleProvider([&] { return style; });
    const std::pair<int, Size> styles[] = {{0, {2, 1}}, {1, {4, 2}}, {2, {8, 2}}, {3, {6, 3}},
                                           {4, {8, 3}}, {5, {8, 4}}, {6, {4, 2}}, {-1, {4, 2}}};
    for (const auto& [s, grid] : styles) {
        style = s; // read at each use
        EXPECT_EQ(sized.geometry().ModuleGrid(), grid) << "style " << s;
    }
}

TEST(WallGrid, BadPlansDrawOnlyTheBackground)
{
    WallFixture f;
    const auto bad = [](auto change) {
        std::shared_ptr<CQelPlan> plan = MakeTestPlan(2, 2, kPlanSizedGrid);
        change(*plan);
        return plan;
    };
    const std::shared_ptr<CQelPlan> plans[] = {
        bad([](CQelPlan& p) {
            p.SetGrid(0, 2);
            p.SetRowHeights({});
        }),
        bad([](CQelPlan& p) {
            p.SetType(kPlanUniform);
            p.SetGrid(2, 0);
        }),
        bad([](CQelPlan& p) {
            p.SetType(kPlanUniform);
            p.SetResolution({0, 1080, 60});
        }),
        bad([](CQelPlan& p) {
            p.SetColumnWidths({0, 0});
        }),
        bad([](CQelPlan& p) {
            p.SetType(kPlanUniform);
            p.SetGrid(5000, 5000);
        }),
    };
    for (const auto& plan : plans) {
        CoreProbe core;
        core.SetPlan(plan);
        EXPECT_FALSE(core.painting().PlanDrawable());
        EXPECT_TRUE(core.painting().RowLines(core.geometry().m_rcWallArea).solid.empty());
        EXPECT_TRUE(core.painting().CellNames().empty());
        EXPECT_TRUE(core.painting().WallSizeTexts().empty());
        EXPECT_EQ(core.painting().BackgroundBands().size(), 4u);
    }

    // Lists that do not match the grid: cells, but no lines or windows.
    CoreProbe mismatched;
    mismatched.SetPlan(bad([](CQelPlan& p) { p.SetRowHeights({1080}); }));
    EXPECT_TRUE(mismatched.painting().PlanDrawable());
    EXPECT_FALSE(mismatched.painting().GridListsMatch());
    EXPECT_EQ(mismatched.painting().CellNames().size(), 4u);
    EXPECT_TRUE(mismatched.painting().ColumnLines(mismatched.geometry().m_rcWallArea).solid.empty());

    // A client narrower than the insets: the whole canvas is background.
    CoreProbe narrow(Size{39, 600});
    narrow.SetPlan(f.plan);
    EXPECT_FALSE(narrow.painting().PlanDrawable());
    EXPECT_EQ(narrow.painting().BackgroundBands(), (std::vector<Rect>{{0, 0, 39, 600}}));
}

TEST(WallPaint, WindowsShowTheirSourceStateAndFacts)
{
    WallFixture f;
    AddTestSource(*f.processor, 100, 960, 540);
    f.processor->GetSigSrc(100)->SetName("Cam");
    CoreProbe core;
    core.geometry().SetImageSizes({40, 20}, {}, {44, 11}, {32, 16});
    core.SetPlan(f.plan);
    auto window = AddTestWindow(*f.plan, 100, {0, 0, 1920, 1080});
    const Rect rc = core.geometry().GetWindowViewRect(window);

    WindowPaint d = core.painting().DescribeWindow(window, rc, Point{478, 40});
    EXPECT_EQ(d.title, QStringLiteral("Win_1(Cam)"));
    EXPECT_EQ(d.fill, wallview::kNoSourceBody); // larger than its source
    EXPECT_EQ(d.sourcePart, (Rect{20, 30, 260, 165}));
    EXPECT_EQ(d.body, wallview::kIdleBody);
    EXPECT_EQ(d.frame, WindowPaint::Frame::Solid);
    EXPECT_EQ(d.close.cellX, 20); // hovered
    EXPECT_EQ(d.maxScreen.cellX, 11);
    EXPECT_EQ(d.lock.cellX, 16); // unlocked
    EXPECT_EQ(d.titleTextLeft, 20 + 4 + 16 + 4);
    EXPECT_EQ(d.infoLines, (std::vector<QString>{"窗口位置[0,0,1920,1080]", "窗口尺寸[1920,1080]"}));

    // Placed by the processor: not checked again.
    window->resourceOk = true;
    EXPECT_EQ(core.painting().DescribeWindow(window, rc, Point{}).fill, wallview::kIdleBody);
    window->resourceOk = false;

    // Smaller than its source: a dotted outline; full screen shows the
    // whole wall; LED models list the crop; groups name themselves.
    f.processor->SetKind(8);
    window->rect = {0, 0, 100, 100};
    window->rcsigsrc = {0, 0, 200, 100};
    window->fullscreen = true;
    window->status = 1;
    const int32_t group = f.plan->AddGroup(std::make_shared<CQelGroup>(CQelGroup{5, "G"}));
    ASSERT_GE(group, 0);
    window->group = 5;
    d = core.painting().DescribeWindow(window, rc, Point{});
    EXPECT_EQ(d.lock.cellX, 0);
    EXPECT_EQ(d.maxScreen.cellX, 22);
    EXPECT_EQ(d.infoLines, (std::vector<QString>{"窗口位置[0,0,3840,2160]", "窗口尺寸[3840,2160]",
                                                 "截取信号源[0,0,200,100]", "截取尺寸[200, 100]", "分组 G"}));
    window->fullscreen = false;
    EXPECT_EQ(core.painting().DescribeWindow(window, rc, Point{}).frame, WindowPaint::Frame::Dotted);
    core.m_vecSelection = {window};
    EXPECT_EQ(core.painting().DescribeWindow(window, rc, Point{}).frame, WindowPaint::Frame::Selected);

    // A window without its processor's source.
    auto lost = AddTestWindow(*f.plan, 999, {0, 0, 1920, 1080});
    d = core.painting().DescribeWindow(lost, rc, Point{});
    EXPECT_EQ(d.fill, wallview::kNoSourceBody);
    EXPECT_TRUE(d.title.isEmpty());
}

TEST(WallPaint, ResolutionMismatchNeedsAnyOfTheThreeToDiffer)
{
    WallFixture f;
    CoreProbe core;
    core.SetPlan(f.plan);
    EXPECT_FALSE(core.painting().ResolutionMismatch());
    for (const Resolution r : {Resolution{1920, 1080, 50}, Resolution{1280, 1080, 60}, Resolution{1920, 720, 60}}) {
        f.processor->SetOutputResolution(r.width, r.height, r.rate);
        EXPECT_TRUE(core.painting().ResolutionMismatch()) << r.width << "x" << r.height << "@" << r.rate;
    }
}

TEST(WallPaint, EightPartShortageIsMarkedUnlessTipsAreOff)
{
    FixtureF f;
    const auto plan = UnplaceablePlan(f);
    CoreProbe core;
    core.SetPlan(plan);

    core.painting().BeginDrawPass();
    const auto marks = core.painting().EightPartOverlayMarks();
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].colour, ui::rgb(255, 0, 0));
    EXPECT_EQ(marks[0].rect, core.geometry().WallToViewRect({0, 0, 1920, 1080}));
    EXPECT_EQ(core.painting().ShortageNoticeText(), QStringLiteral("资源不足，请调整窗口"));

    // Five narrow windows on one output: the cells past four a band.
    std::shared_ptr<CQelPlan> split = MakeTestPlan(1, 2);
    for (int32_t x = 0; x < 1000; x += 200)
        AddTestWindow(*split, 100, {x, 0, x + 100, 1080});
    core.SetPlan(split);
    core.painting().BeginDrawPass();
    const auto shortage = core.painting().EightPartShortageMarks();
    ASSERT_EQ(shortage.size(), 3u);
    EXPECT_EQ(shortage[0].colour, wallview::kShortageMark);
    EXPECT_EQ(shortage[0].rect, core.geometry().WallToViewRect({700, 0, 800, 1080}));
    EXPECT_TRUE(core.painting().m_bShortage);

    auto options = f.processor->settings().GetAppOptions();
    options.disableResourcePoorTip = 1;
    f.processor->settings().SetAppOptions(options);
    core.painting().BeginDrawPass();
    EXPECT_TRUE(core.painting().EightPartOverlayMarks().empty());
    EXPECT_TRUE(core.painting().EightPartShortageMarks().empty());
    EXPECT_TRUE(core.painting().ShortageNoticeText().isEmpty());
}

TEST(WallPaint, WatchSlotsNameTheInputOfEachCell)
{
    WallFixture f;
    AddTestSource(*f.processor, 100, 1920, 1080);
    f.processor->GetSigSrc(100)->SetName("Cam");
    auto plan = WallFixture::WatchPlan({101, 102});
    auto watch = plan->GetWatchWindowById(101);
    ASSERT_TRUE(watch);
    watch->row = 1;
    watch->col = 3;
    watch->cells = {100};                   // shorter than the grid
    plan->SetWatchOutputs({101, 102, 103}); // 103 has no watch window
    CoreProbe core;
    core.SetPlan(plan);

    // Three ids but two slots: only the header.
    WatchStripPaint strip = core.painting().DescribeWatchStrip();
    EXPECT_TRUE(strip.shown);
    EXPECT_TRUE(strip.watchSlots.empty());

    plan->BuildWatchWindows({101, 103}, CurrentPlanSelection());
    plan->GetWatchWindowById(101)->col = 3;
    plan->GetWatchWindowById(101)->cells = {100};
    plan->SetWatchOutputs({101, 999});
    strip = core.painting().DescribeWatchStrip();
    ASSERT_EQ(strip.watchSlots.size(), 2u);
    const WatchSlotPaint& first = strip.watchSlots[0];
    EXPECT_EQ(first.title.text, QStringLiteral("监视输出 1"));
    ASSERT_EQ(first.inputs.size(), 3u);
    EXPECT_EQ(first.inputs[0].text, QStringLiteral("输入: Cam"));
    EXPECT_EQ(first.inputs[1].text, QStringLiteral("输入: 无"));
    EXPECT_EQ(first.inputs[2].text, QStringLiteral("输入: 无"));
    EXPECT_EQ(first.columnLines.solid.size(), 2u);
    ASSERT_EQ(strip.watchSlots[1].inputs.size(), 1u); // no watch window
    EXPECT_EQ(strip.watchSlots[1].inputs[0].text, QStringLiteral("输入: 无"));
}

TEST(ProgressNotice, ThrottlesReportsButNeverTheLast)
{
    platform::SteppedClock clock;
    platform::ScopedClock scoped(clock);
    ProgressNotice notice;
    EXPECT_EQ(notice.Report(1, 3, 10), QStringLiteral("台标显示处理中，请稍等...    3 / 10"));
    EXPECT_EQ(notice.Report(2, 3, 10), QStringLiteral("正保存至处理器，请稍等...   7"));
    EXPECT_EQ(notice.Report(3, 3, 10), std::nullopt);
    clock.Advance(std::chrono::milliseconds(19));
    EXPECT_EQ(notice.Report(1, 4, 10), std::nullopt);
    EXPECT_TRUE(notice.Report(1, 10, 10));
    clock.Advance(std::chrono::milliseconds(20));
    EXPECT_TRUE(notice.Report(2, 5, 10));
}

} // namespace
