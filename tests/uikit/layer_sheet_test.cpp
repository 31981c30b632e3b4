#include "uikit/layer_cell.h"
#include "model/sig_src.h"
#include "uikit/ui_layer_sheet_ctrl.h"

#include "context/context.h"
#include "corlane/app_path.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "plan/plan.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"
#include "uikit/res_path.h"

#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using tavrix::test::pixelAt;

TEST(LayerCellLayout, PlacesIconMiniatureAndTextLines)
{
    const Rect cell{0, 40, 300, 80};
    const LayerCellWindow w1{"W1", Rect{0, 0, 1920, 1080}, true, QString("DVI-1")};
    const Size wall{3840, 1080};
    LayerCellLayout l = LayOutLayerCell(cell, cell, w1, wall, 16, 12);
    EXPECT_EQ(l.lockSquare, (Rect{4, 52, 20, 68}));
    EXPECT_EQ(l.iconX, 0);
    EXPECT_EQ(l.miniature, (Rect{24, 44, 137, 76})); // 32 high, 32 x 3840 / 1080 wide
    EXPECT_EQ(l.miniWindow, (Rect{25, 45, 80, 75}));
    ASSERT_TRUE(l.lines);
    EXPECT_EQ(*l.lines, (std::array<QString, 2>{"W1(DVI-1)", "(0,0,1920,1080)"}));
    EXPECT_EQ(l.line1, (Rect{143, 46, 292, 58}));
    EXPECT_EQ(l.line2, (Rect{143, 61, 292, 73}));

    // Unlocked, scaled below 6 pixels (drawn 10 long), off the wall, no
    // image, no source, no wall, too narrow.
    const LayerCellWindow tiny{"W2", Rect{3000, 1000, 3010, 1005}, false, QString("DVI-1")};
    l = LayOutLayerCell(cell, cell, tiny, wall, 16, 12);
    EXPECT_EQ(l.iconX, 16);
    EXPECT_EQ(l.miniWindow, (Rect{111, 72, 121, 75}));
    const LayerCellWindow away{"W3", Rect{5000, -3000, 6000, -2000}, false, {}};
    l = LayOutLayerCell(cell, cell, away, wall, 0, 12);
    EXPECT_EQ(l.miniWindow, Rect{});
    EXPECT_FALSE(l.lockSquare || l.lines);
    EXPECT_EQ(l.textArea.left, 8);
    for (const Size empty : {Size{0, 1080}, Size{0, 0}, Size{-5, 1080}}) {
        l = LayOutLayerCell(cell, cell, w1, empty, 16, 12);
        EXPECT_TRUE(l.ownText && l.lockSquare && !l.miniature && !l.lines);
    }
    EXPECT_FALSE(LayOutLayerCell(cell, cell, w1, Size{3840, 0}, 16, 12).miniature);
    l = LayOutLayerCell(Rect{0, 40, 6, 80}, cell, w1, wall, 16, 12);
    EXPECT_FALSE(l.lockSquare || l.ownText || l.miniature || l.lines);
}

// Pixels of text, black or grey, in the area.
int InkPixels(const QImage& shot, const Rect& area)
{
    int ink = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            ink += ui::greenOf(pixelAt(shot, x, y)) < 200;
    return ink;
}

// The layer pane's sheet (no header, rows 40 high, one column 300 wide)
// over a plan on a 3840 x 1080 wall: W1 locked on the left half showing
// "DVI-1", W2 unlocked showing a source the processor lacks, and a row
// more than there are windows. The lock strip is red (locked) and green.
TEST(LayerSheet, PaintsEachWindowsLockMiniatureAndText)
{
    CQelContext::Destroy();
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    CQelSigSrc::Values source;
    source.id = 101;
    source.name = "DVI-1";
    processor->AddSigSrc(std::make_shared<CQelSigSrc>(source), false, false);
    CQelContext::GetProMan()->AddProcessor(processor);
    auto plan = std::make_shared<CQelPlan>();
    plan->SetGrid(1, 2);
    plan->SetResolution(ResolutionTriple{1920, 1080, 60});
    for (const auto& [name, status, sigsrc] : {std::tuple{"W1", 1, 101}, std::tuple{"W2", 0, 999}}) {
        auto window = std::make_shared<CQelWindow>();
        window->processor = 1;
        window->sigsrc = sigsrc;
        window->rect = Rect{0, 0, 1920, 1080};
        plan->AddWindow(window, CurrentPlanSelection());
        window->name = name;
        window->status = status;
    }

    QImage strip(32, 16, QImage::Format_ARGB32);
    strip.fill(Qt::green);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            strip.setPixel(x, y, qRgb(255, 0, 0));
    std::filesystem::create_directories(qz::vok::path::GetSysPath() + "/res");
    ASSERT_TRUE(strip.save(QString::fromStdString(ui::resPath("lock.png")), "PNG"));
    auto makeSheet = [&] {
        auto sheet = std::make_unique<CUiLayerSheetCtrl>();
        sheet->resize(320, 160);
        sheet->SetStyle(0x2011);
        sheet->SetHeaderHeight(0);
        sheet->SetDefaultRowHeight(40);
        sheet->InsertColumn(0, "", 0, 0, 300);
        for (const char* text : {"", "", "own"})
            sheet->AddRow(-1, text);
        sheet->SetPlan(plan);
        sheet->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        return sheet;
    };
    const auto made = makeSheet();
    CUiLayerSheetCtrl& sheet = *made;

    EXPECT_EQ(sheet.HitTestLockIcon(3, 20), -1);
    EXPECT_EQ(sheet.HitTestLockIcon(4, 20), 0);
    EXPECT_EQ(sheet.HitTestLockIcon(19, 67), 1);
    EXPECT_EQ(sheet.HitTestLockIcon(20, 60), -1);
    const QImage shot = tavrix::test::screenshot(sheet);
    EXPECT_EQ(pixelAt(shot, 12, 20), ui::rgb(255, 0, 0));
    EXPECT_EQ(pixelAt(shot, 12, 60), ui::rgb(0, 255, 0));
    EXPECT_EQ(pixelAt(shot, 4, 20), ui::rgb(128, 128, 128));
    EXPECT_EQ(pixelAt(shot, 40, 20), ui::rgb(0x40, 0x80, 0xC0)); // W1 in the miniature
    EXPECT_GT(InkPixels(shot, Rect{143, 20, 292, 36}), 5);       // the grey rectangle line
    EXPECT_EQ(InkPixels(shot, Rect{143, 40, 292, 80}), 0);       // no source, no text
    EXPECT_GT(InkPixels(shot, Rect{4, 80, 40, 120}), 5);         // no window: the cell's own
    EXPECT_EQ(pixelAt(shot, 19, 93), ui::rgb(255, 255, 255));    // ... and no icon

    std::filesystem::remove(ui::resPath("lock.png"));
    EXPECT_EQ(makeSheet()->HitTestLockIcon(4, 20), -1);
    CQelContext::Destroy();
}

} // namespace
