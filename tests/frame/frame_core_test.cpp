// The main window's decisions, without a window: the status poll, the XML
// menu, the caption button sets, the control bar's geometry, the source
// drag, the first plan's grid and the shipped data.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "context/context.h"
#include "corlane/app_path.h"
#include "frame/caption_buttons.h"
#include "frame/ctrl_bar_layout.h"
#include "frame/heartbeat.h"
#include "frame/plan_grid.h"
#include "frame/shipped_data.h"
#include "frame/source_drag.h"
#include "frame/xml_menu.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "platform/rect_math.h"
#include "tests/model/link_fixture.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;
using tavrix::test::WriteText;

namespace {

std::vector<int> Ids(const std::vector<CaptionButtonSpec>& set)
{
    std::vector<int> ids;
    for (const auto& button : set)
        ids.push_back(button.id);
    return ids;
}

ui::MenuSpec MenuFrom(const std::string& text)
{
    const std::string path = (fs::current_path() / "menu.xml").string();
    WriteText(path, text);
    ui::MenuSpec menu;
    BuildMenuFromXml(menu, path);
    return menu;
}

void CollectIds(const ui::MenuSpec& menu, std::vector<int>& ids)
{
    for (const auto& item : menu.items) {
        if (!item.separator && item.items.empty() && item.id != 0)
            ids.push_back(item.id);
        CollectIds(item, ids);
    }
}

} // namespace

TEST(StatusPoll, PollsEvery200MsAcrossTheWrapAndFirstAtOnce)
{
    // Ticks every 50 ms of a stepped clock, starting wherever the clock is.
    platform::SteppedClock clock;
    platform::ScopedClock scoped(clock);
    StatusPollGate gate;
    const uint32_t start = TickCount();
    std::vector<uint32_t> polls;
    for (int tick = 0; tick <= 16; ++tick) {
        if (gate.ShouldPoll(TickCount()))
            polls.push_back(TickCount() - start);
        clock.Advance(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(polls, (std::vector<uint32_t>{0, 250, 500, 750}));

    // A steady clock may read near 0: the first tick polls whatever it reads.
    for (uint32_t first : {0u, 100u, 0xFFFFFFFFu}) {
        StatusPollGate fresh;
        EXPECT_TRUE(fresh.ShouldPoll(first)) << first;
        EXPECT_FALSE(fresh.ShouldPoll(first + 200)) << first;
    }
    StatusPollGate wrap;
    ASSERT_TRUE(wrap.ShouldPoll(0xFFFFFF00u));
    EXPECT_FALSE(wrap.ShouldPoll(0xFFFFFFC0u));
    EXPECT_TRUE(wrap.ShouldPoll(0x10u)); // 272 ms later
    EXPECT_EQ(wrap.LastPoll(), 0x10u);
}

TEST(StatusPoll, AsksForSlotsUntilTheFirstSourceIsKnown)
{
    platform::SteppedClock clock;
    LinkFixture link(clock, 3, 0);
    link.processor->records().AddResolution({CQelProcessor::kDefaultResolutionId, "1080p", {1920, 1080, 60}});
    std::mutex mutex;
    std::vector<std::string> queued;
    link.processor->link().SetPushObserver([&](std::string_view text, int32_t) {
        std::lock_guard<std::mutex> lock(mutex);
        queued.emplace_back(text);
    });
    const auto discoveries = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        const auto n = std::count_if(queued.begin(), queued.end(),
                                     [](const std::string& s) { return s.rfind("GP RISMG 0", 0) == 0; });
        queued.clear();
        return n;
    };

    // Not the current processor: only the status request.
    PollProcessors();
    EXPECT_EQ(discoveries(), 0);

    CQelContext::SetSelSigSrc(1, -1);
    ASSERT_TRUE(link.processor->IsConnected());
    PollProcessors();
    EXPECT_EQ(discoveries(), 1);
    PollProcessors();
    EXPECT_EQ(discoveries(), 1);

    // The first source is known: no more discovery.
    {
        CQelSigSrc::Values values;
        values.id = 100;
        link.processor->AddSigSrc(std::make_shared<CQelSigSrc>(values), false, false);
    }
    PollProcessors();
    EXPECT_EQ(discoveries(), 0);
    link.processor->link().SetPushObserver({});
}

TEST(XmlMenu, ReadsItemsAsTheFileSaysAndFailsToAnEmptyBar)
{
    const ui::MenuSpec menu = MenuFrom(R"(<?xml version="1.0" encoding="utf-8"?>
<Menu Version="V1">
  <!-- a comment -->
  <MenuItem Caption="文件" Popup="1">
    <MenuItem Caption="新建" CmdId="1001"/>
    <MenuItem Separator="1" CmdId="1004"/>
    <Other Caption="skipped" CmdId="9"/>
    <MenuItem Caption="Both" Popup="1" Separator="1"><MenuItem Caption="inner" CmdId="7"/></MenuItem>
  </MenuItem>
  <MenuItem Caption="plain"/>
  <MenuItem Caption="odd" CmdId="12x" Popup="yes" Separator="no"/>
  <MenuItem Caption="empty" Popup="1"/>
</Menu>)");
    ASSERT_EQ(menu.items.size(), 4u);
    const ui::MenuSpec& file = menu.items[0];
    EXPECT_EQ(file.text, "文件");
    ASSERT_EQ(file.items.size(), 3u);
    EXPECT_EQ(file.items[0].id, 1001);
    EXPECT_EQ(file.items[0].text, "新建");
    EXPECT_TRUE(file.items[1].separator);
    EXPECT_EQ(file.items[2].text, "Both"); // a popup wins over a separator
    ASSERT_EQ(file.items[2].items.size(), 1u);
    EXPECT_EQ(file.items[2].items[0].id, 7);
    EXPECT_EQ(menu.items[1].id, 0); // no attributes: a string item of id 0
    EXPECT_FALSE(menu.items[1].separator);
    EXPECT_EQ(menu.items[2].id, 0); // non-numbers take their defaults
    EXPECT_TRUE(menu.items[2].items.empty());
    EXPECT_EQ(menu.items[3].text, "empty"); // a popup without items still shows
    EXPECT_FALSE(menu.items[3].enabled);

    for (const char* broken :
         {"", "<Menu><MenuItem Caption=\"x\"", "<Other><MenuItem CmdId=\"1\"/></Other>", "not xml at all"})
        EXPECT_TRUE(MenuFrom(broken).items.empty()) << broken;
    ui::MenuSpec missing;
    BuildMenuFromXml(missing, (fs::current_path() / "absent.xml").string());
    EXPECT_TRUE(missing.items.empty());

    EXPECT_EQ(MainMenuPath(0), qz::vok::path::GetSysPath() + "/MainMenu.xml");
    EXPECT_EQ(MainMenuPath(1), qz::vok::path::GetSysPath() + "/MainMenu2.xml");
    CQelContext::Destroy();
}

TEST(ShippedData, InstallsEveryFileKeepsOursAndTheMenusHoldOnlyHandledIds)
{
    const fs::path sys = fs::current_path() / "ship" / "Sys";
    fs::create_directories(sys);
    WriteText(sys / "MainMenu.xml", "<Menu/>");
    ASSERT_TRUE(InstallShippedData(sys.string()));
    EXPECT_EQ(tavrix::test::ReadText(sys / "MainMenu.xml"), "<Menu/>");
    for (const std::string& name : ShippedFiles()) {
        ASSERT_TRUE(fs::exists(sys / name)) << name;
        if (name.rfind("res/", 0) == 0) {
            EXPECT_FALSE(QImage(QString::fromStdString((sys / name).string())).isNull()) << name;
        }
    }
    const QImage arrows(QString::fromStdString((sys / "res/ctlbar_float.png").string()));
    EXPECT_EQ(arrows.size(), QSize(32, 32));
    // The four arrow cells each hold a picture.
    for (QPoint cell : {QPoint(0, 0), QPoint(16, 0), QPoint(0, 16), QPoint(16, 16)}) {
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                opaque += qAlpha(arrows.pixel(cell.x() + x, cell.y() + y)) > 0;
        EXPECT_GT(opaque, 10) << cell.x() << "," << cell.y();
    }

    // Every id of both shipped menus is the frame's or the wall view's.
    const std::set<int> frameIds = {1001, 1004, 1005, 1006, 1101, 1102, 1104, 1211, 1212,
                                    1213, 1214, 1301, 1302, 1303, 1304, 1305, 2001};
    fs::remove(sys / "MainMenu.xml");
    ASSERT_TRUE(InstallShippedData(sys.string()));
    for (const char* file : {"MainMenu.xml", "MainMenu2.xml"}) {
        ui::MenuSpec menu;
        BuildMenuFromXml(menu, (sys / file).string());
        std::vector<int> ids;
        CollectIds(menu, ids);
        std::set<int> viewIds;
        for (int id : ids) {
            EXPECT_TRUE(frameIds.count(id) || (id >= 1201 && id <= 1210)) << file << " " << id;
            if (id >= 1201 && id <= 1210)
                viewIds.insert(id);
        }
        EXPECT_EQ(viewIds.size(), 10u) << file;
    }
    CQelContext::Destroy();
}

// Every picture name the program's sources load is written by the
// installer as a picture, each button's drawn from its icon and no two
// alike.
TEST(ShippedData, EveryPictureTheCodeLoadsIsShippedAndNoTwoAreAlike)
{
    std::set<std::string> loaded;
    const std::regex name("\"([A-Za-z0-9][A-Za-z0-9_]*\\.(png|bmp))\"");
    for (auto it = fs::recursive_directory_iterator(TAVRIX_SOURCE_DIR); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string leaf = it->path().filename().string();
        if (it.depth() == 0 && it->is_directory() && (leaf == "tests" || leaf == "build" || leaf[0] == '.')) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string ext = it->path().extension().string();
        if (ext != ".cpp" && ext != ".h")
            continue;
        std::ifstream file(it->path());
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (std::sregex_iterator it(text.begin(), text.end(), name), end; it != end; ++it)
            loaded.insert((*it)[1]);
    }
    EXPECT_GT(loaded.size(), 40u);
    for (const char* picture :
         {"tab_close_btn.png", "tab_maxcell_btn.png", "tab_maxscreen_btn.png", "tab_pop_menu.png"})
        EXPECT_TRUE(loaded.count(picture)) << picture;

    const fs::path sys = fs::current_path() / "pictures" / "Sys";
    std::vector<std::string> plain;
    ASSERT_TRUE(InstallShippedData(sys.string(), nullptr, &plain));
    EXPECT_EQ(plain, std::vector<std::string>{});
    const std::vector<std::string> shipped = ShippedFiles();
    for (const std::string& picture : loaded) {
        EXPECT_NE(std::find(shipped.begin(), shipped.end(), "res/" + picture), shipped.end()) << picture;
        EXPECT_FALSE(QImage(QString::fromStdString((sys / "res" / picture).string())).isNull()) << picture;
    }
    std::map<QByteArray, std::string> seen;
    for (const std::string& file : shipped) {
        const QImage image(QString::fromStdString((sys / file).string()));
        if (image.isNull())
            continue;
        const QByteArray bits(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
        const auto [at, fresh] = seen.emplace(bits, file);
        EXPECT_TRUE(fresh) << file << " looks like " << at->second;
    }
}

TEST(CaptionButtons, SetFollowsTypeKindSwitchAndObm)
{
    CaptionButtonContext wall{1, true, 3, false, 10000};
    EXPECT_EQ(Ids(CaptionButtonSet(wall)), (std::vector<int>{1, 2, 4, 5, 15, 19, 22, 23, 27}));
    EXPECT_EQ(CaptionButtonSet(wall).back().picture, "ctl_pro_select_close.png");

    CaptionButtonContext more = wall;
    more.moreOn = true;
    EXPECT_EQ(Ids(CaptionButtonSet(more)),
              (std::vector<int>{1, 2, 4, 5, 6, 7, 8, 13, 15, 16, 17, 18, 19, 21, 22, 23, 24, 25, 26, 27}));
    EXPECT_EQ(CaptionButtonSet(more).back().picture, "ctl_pro_select_open.png");
    more.obm = 1;
    const auto noZoom = Ids(CaptionButtonSet(more));
    EXPECT_EQ(std::count(noZoom.begin(), noZoom.end(), 13), 0);
    EXPECT_EQ(noZoom.size(), 19u);

    CaptionButtonContext kind6 = wall;
    kind6.kind = 6;
    EXPECT_EQ(Ids(CaptionButtonSet(kind6)).front(), 2);

    // Without a processor the switch reads as off, whatever it held.
    CaptionButtonContext none{1, false, 6, true, 1};
    EXPECT_EQ(Ids(CaptionButtonSet(none)), (std::vector<int>{1, 2, 4, 5, 15, 19, 22, 23, 27}));

    for (bool on : {false, true}) {
        CaptionButtonContext switching{0, true, 3, on, 10000};
        EXPECT_EQ(Ids(CaptionButtonSet(switching)), (std::vector<int>{1, 2, 4, 5, 21, 26, 29}));
    }
    const auto first = CaptionButtonSet(wall).front();
    EXPECT_STREQ(first.tip, "设置屏幕墙");
    EXPECT_EQ(first.picture, "ctl_set_video_wall.png");
}

TEST(CtrlBarLayout, DockedLeftAtTheFramesSizes)
{
    using namespace ctrlbar;
    const Rect client{0, 0, 268, 600};
    const auto expanded = LayOutFloatTabBar(client, CBRS_ALIGN_LEFT, true, 48, {32, 0, 32});
    EXPECT_EQ(expanded.caption, (Rect{0, 0, 268, 24}));
    EXPECT_EQ(expanded.floatButton, (Rect{242, 2, 262, 22}));
    EXPECT_EQ(expanded.strip, (Rect{0, 24, 48, 600}));
    EXPECT_EQ(expanded.pageArea, (Rect{48, 24, 267, 599}));
    // Tabs stack from the strip's top: image height + 6, or square without.
    EXPECT_EQ(expanded.items, (std::vector<Rect>{{0, 24, 48, 62}, {0, 62, 48, 110}, {0, 110, 48, 148}}));

    const auto collapsed = LayOutFloatTabBar(Rect{0, 0, 48, 600}, CBRS_ALIGN_LEFT, false, 48, {32});
    EXPECT_EQ(collapsed.floatButton, (Rect{2, 2, 46, 22}));
    EXPECT_TRUE(RectEmpty(collapsed.pageArea));

    const auto right = LayOutFloatTabBar(client, CBRS_ALIGN_RIGHT, true, 48, {});
    EXPECT_EQ(right.strip, (Rect{220, 24, 268, 600}));
    EXPECT_EQ(right.pageArea, (Rect{1, 24, 220, 599}));

    // The hit area is pushed 2 pixels away from the page and deflated by 2.
    const Rect tab{0, 24, 48, 62};
    EXPECT_TRUE(HitTestItem(tab, CBRS_ALIGN_LEFT, Point{0, 30}));
    EXPECT_FALSE(HitTestItem(tab, CBRS_ALIGN_LEFT, Point{44, 30}));
    EXPECT_TRUE(HitTestItem(tab, CBRS_ALIGN_LEFT, Point{43, 30}));
    EXPECT_FALSE(HitTestItem(tab, CBRS_ALIGN_LEFT, Point{20, 25}));

    EXPECT_EQ(FloatButtonCell(CBRS_ALIGN_LEFT, true), (Point{0, 0}));
    EXPECT_EQ(FloatButtonCell(CBRS_ALIGN_LEFT, false), (Point{16, 0}));
    EXPECT_EQ(FloatButtonCell(CBRS_ALIGN_BOTTOM, true), (Point{0, 16}));

    // A popped-out page: at the bar's right edge, as tall, 220 wide; it
    // stays until the pointer passes left + 270.
    const Rect bar{100, 50, 148, 650};
    EXPECT_EQ(FloatWindowRect(bar, 48, 268), (Rect{148, 50, 368, 650}));
    EXPECT_TRUE(KeepsFloatWindow(bar, 268, Point{100 + 269, 300}));
    EXPECT_FALSE(KeepsFloatWindow(bar, 268, Point{100 + 271, 300}));
    EXPECT_FALSE(KeepsFloatWindow(bar, 268, Point{150, 49}));
    EXPECT_FALSE(KeepsFloatWindow(bar, 268, Point{150, 650}));
}

TEST(SourceDrag, ArmsInTheSourcePageDragsOverTheWallAndDrops)
{
    using Action = SourceDragMachine::Action;
    SourceDragMachine drag;
    EXPECT_EQ(drag.OnMove(true).consumed, false); // idle moves are not ours
    drag.OnLeftDown(false);
    EXPECT_EQ(drag.State(), 0);

    drag.OnLeftDown(true);
    EXPECT_EQ(drag.State(), 1);
    EXPECT_EQ(drag.OnMove(false).action, Action::None);
    auto step = drag.OnMove(true);
    EXPECT_EQ(step.action, Action::Capture);
    EXPECT_TRUE(step.consumed);
    EXPECT_EQ(drag.State(), 2);
    EXPECT_EQ(drag.OnMove(true).action, Action::None);
    EXPECT_EQ(drag.OnMove(false).action, Action::Release);
    EXPECT_EQ(drag.State(), 1);
    EXPECT_EQ(drag.OnMove(true).action, Action::Capture);
    EXPECT_EQ(drag.CheckButton(true), Action::None);
    EXPECT_EQ(drag.OnLeftUp(), Action::Drop);
    EXPECT_EQ(drag.State(), 0);

    // A button found up ends a drag without a drop, and an armed press
    // without a release.
    drag.OnLeftDown(true);
    drag.OnMove(true);
    EXPECT_EQ(drag.CheckButton(false), Action::Release);
    EXPECT_EQ(drag.State(), 0);
    EXPECT_EQ(drag.OnLeftUp(), Action::None);
    drag.OnLeftDown(true);
    EXPECT_EQ(drag.CheckButton(false), Action::None);
    EXPECT_EQ(drag.State(), 0);
}

TEST(PlanGrid, TakesTheWallAndForCellSizedKindsTheSizesAndWatchWindows)
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, -1);
    auto wall = processor->GetWall();
    wall.rows = 2;
    wall.cols = 3;
    wall.rowHeights = {1080, 1080};
    wall.colWidths = {1920, 1920, 1280};
    wall.margin = Rect{1, 2, 3, 4};
    wall.watch = {301};
    wall.cells = {{{0, 0}, 301}};
    processor->SetWall(wall);
    processor->SetOutputResolution(1280, 720, 50);

    for (int kind : {3, 7}) {
        processor->SetKind(kind);
        CQelPlan plan;
        plan.SetType(0);
        FillPlanGridFromProcessor(plan, *processor);
        EXPECT_EQ(plan.GetRows(), 2);
        EXPECT_EQ(plan.GetCols(), 3);
        EXPECT_EQ(plan.GetCellRows(), 2);
        EXPECT_EQ(plan.GetCellCols(), 2);
        EXPECT_EQ(plan.GetResolution(), (ResolutionTriple{1280, 720, 50}));
        EXPECT_EQ(plan.GetMargin(), (Rect{1, 2, 3, 4}));
        if (kind == 7) {
            EXPECT_EQ(plan.GetType(), 1);
            EXPECT_EQ(plan.GetRowHeights(), wall.rowHeights);
            EXPECT_EQ(plan.GetColumnWidths(), wall.colWidths);
            EXPECT_EQ(plan.GetWatchWindows().size(), 1u);
        } else {
            EXPECT_EQ(plan.GetType(), 0);
            EXPECT_TRUE(plan.GetRowHeights().empty());
            EXPECT_TRUE(plan.GetWatchWindows().empty());
        }
    }

    auto plans = CQelContext::GetPlanMan();
    EXPECT_EQ(FirstFreePlanName(*plans, "P"), "P_1");
    std::shared_ptr<CQelPlan> first;
    ASSERT_TRUE(plans->OpenPlan("P_1", first));
    FillPlanGridFromProcessor(*first, *processor);
    ASSERT_TRUE(plans->SavePlanFile(first));
    EXPECT_EQ(FirstFreePlanName(*plans, "P"), "P_2");
    CQelContext::Destroy();
}
