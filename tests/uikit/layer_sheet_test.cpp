#include "uikit/layer_cell.h"
#include "uikit/ui_layer_sheet_ctrl.h"

#include "app/context.h"
#include "corlane/app_path.h"
#include "model/processor_manager.h"
#include "plan/plan.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"
#include "uikit/res_path.h"

#include <QFile>
#include <QFontMetrics>
#include <QTest>
#include <gtest/gtest.h>
#include <filesystem>

namespace {

using tavrix::test::pixelAt;

constexpr ui::ColorRef kRed = ui::rgb(255, 0, 0);
constexpr ui::ColorRef kGreen = ui::rgb(0, 255, 0);
constexpr ui::ColorRef kWhite = ui::rgb(255, 255, 255);
constexpr ui::ColorRef kFrame = ui::rgb(128, 128, 128);

// Processor 1 with source 101 "DVI-1"; a plan on a 3840 x 1080 wall with
// W1 (locked, on the left half, showing DVI-1) and W2 (unlocked, showing a
// source the processor lacks).
class LayerPlanTest : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CQelContext::Destroy();
        auto processor = std::make_shared<CQelProcessor>();
        processor->SetId(1);
        CQelSigSrc::Values values;
        values.id = 101;
        values.name = "DVI-1";
        processor->AddSigSrc(std::make_shared<CQelSigSrc>(values), false, false);
        CQelContext::GetProMan()->AddProcessor(processor);

        plan->SetGrid(1, 2);
        plan->SetResolution(ResolutionTriple{1920, 1080, 60});
        for (const auto& [name, status, sigsrc] :
             {std::tuple{"W1", 1, 101}, std::tuple{"W2", 0, 999}}) {
            auto window = std::make_shared<CQelWindow>();
            window->processor = 1;
            window->sigsrc = sigsrc;
            window->rect = Rect{0, 0, 1920, 1080};
            plan->AddWindow(window);
            window->name = name;
            window->status = status;
        }
    }
    void TearDown() override
    {
        CQelContext::Destroy();
        tavrix::test::UiTest::TearDown();
    }

    std::shared_ptr<CQelPlan> plan = std::make_shared<CQelPlan>();
};

TEST_F(LayerPlanTest, CellShowsTheWindowOfItsRowWithItsSource)
{
    const auto w1 = LayerCellWindowOf(plan.get(), 0);
    ASSERT_TRUE(w1);
    EXPECT_EQ(w1->name, "W1");
    EXPECT_EQ(w1->rect, (Rect{0, 0, 1920, 1080}));
    EXPECT_TRUE(w1->locked);
    EXPECT_EQ(w1->sourceName, "DVI-1");
    const auto w2 = LayerCellWindowOf(plan.get(), 1);
    ASSERT_TRUE(w2);
    EXPECT_FALSE(w2->locked);
    EXPECT_FALSE(w2->sourceName);
    EXPECT_FALSE(LayerCellWindowOf(plan.get(), 2)); // more rows than windows
    EXPECT_FALSE(LayerCellWindowOf(nullptr, 0));
    plan->GetWindowAt(0)->sigsrc = kLogoSigSrc;
    EXPECT_FALSE(LayerCellWindowOf(plan.get(), 0)->sourceName);
}

TEST(LayerCellLayout, PlacesIconMiniatureAndTextLines)
{
    const Rect cell{0, 40, 300, 80};
    const LayerCellWindow w1{"W1", Rect{0, 0, 1920, 1080}, true, QString("DVI-1")};
    const Size wall{3840, 1080};

    LayerCellLayout l = LayOutLayerCell(cell, cell, w1, wall, 16, 12);
    EXPECT_EQ(l.lockSquare, (Rect{4, 52, 20, 68}));
    EXPECT_EQ(l.iconX, 0);
    EXPECT_EQ(l.textArea, (Rect{24, 40, 292, 80}));
    EXPECT_FALSE(l.ownText);
    // 32 high, 32 x 3840 / 1080 wide; the left half of the wall inside.
    EXPECT_EQ(l.miniature, (Rect{24, 44, 137, 76}));
    EXPECT_EQ(l.miniWindow, (Rect{25, 45, 80, 75}));
    ASSERT_TRUE(l.lines);
    EXPECT_EQ((*l.lines)[0], "W1(DVI-1)");
    EXPECT_EQ((*l.lines)[1], "(0,0,1920,1080)");
    EXPECT_EQ(l.line1, (Rect{143, 46, 292, 58}));
    EXPECT_EQ(l.line2, (Rect{143, 61, 292, 73}));

    LayerCellWindow w = w1;
    w.locked = false;
    w.name.clear();
    w.rect = Rect{3000, 1000, 3010, 1005}; // scaled below 6 pixels: 10 long
    l = LayOutLayerCell(cell, cell, w, wall, 16, 12);
    EXPECT_EQ(l.iconX, 16);
    EXPECT_EQ((*l.lines)[0], "(DVI-1)");
    EXPECT_EQ(l.miniWindow, (Rect{111, 72, 121, 75}));
    w.rect = Rect{5000, -3000, 6000, -2000}; // off the wall
    EXPECT_EQ(LayOutLayerCell(cell, cell, w, wall, 16, 12).miniWindow, Rect{});

    // A very wide wall keeps its proportions within half the text area.
    EXPECT_EQ(LayOutLayerCell(cell, cell, w1, Size{10000, 1000}, 16, 12).miniature,
              (Rect{24, 53, 158, 66}));

    // No image, no source, no wall height, no wall width, too narrow.
    l = LayOutLayerCell(cell, cell, LayerCellWindow{"W2", w1.rect, false, {}}, wall, 0, 12);
    EXPECT_FALSE(l.lockSquare);
    EXPECT_EQ(l.textArea.left, 8);
    EXPECT_TRUE(l.miniature);
    EXPECT_FALSE(l.lines);
    l = LayOutLayerCell(cell, cell, w1, Size{3840, 0}, 16, 12);
    EXPECT_FALSE(l.miniature);
    EXPECT_EQ(l.line1.left, 24);
    for (const Size empty : {Size{0, 1080}, Size{0, 0}, Size{-5, 1080}}) {
        l = LayOutLayerCell(cell, cell, w1, empty, 16, 12);
        EXPECT_TRUE(l.ownText);
        EXPECT_TRUE(l.lockSquare);
        EXPECT_FALSE(l.miniature);
        EXPECT_FALSE(l.lines);
    }
    l = LayOutLayerCell(Rect{0, 40, 6, 80}, cell, w1, wall, 16, 12);
    EXPECT_FALSE(l.lockSquare || l.ownText || l.miniature || l.lines);
}

// The layer pane's sheet: no header, rows 40 high, one column 300 wide,
// a row more than the plan has windows.
class LayerSheetTest : public LayerPlanTest {
protected:
    static void WriteLockStrip()
    {
        const std::string res = qz::vok::path::GetSysPath() + "/res";
        std::filesystem::create_directories(res);
        QImage strip(32, 16, QImage::Format_ARGB32);
        strip.fill(Qt::green);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                strip.setPixel(x, y, qRgb(255, 0, 0));
        ASSERT_TRUE(strip.save(QString::fromStdString(ui::resPath("lock.png")), "PNG"));
    }
    static void SetUpSheet(CUiLayerSheetCtrl& sheet)
    {
        sheet.resize(320, 160);
        sheet.SetStyle(0x2011);
        sheet.SetHeaderHeight(0);
        sheet.SetDefaultRowHeight(40);
        sheet.InsertColumn(0, "", 0, 0, 300);
        for (int r = 0; r < 3; ++r)
            sheet.AddRow(-1, QString());
        sheet.SetItemText(2, 0, "own");
    }
};

// Pixels of text, black or grey, in the area.
int InkPixels(const QImage& shot, const Rect& area)
{
    int ink = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            ink += ui::greenOf(pixelAt(shot, x, y)) < 200;
    return ink;
}

int IconPixels(const QImage& shot, const Rect& area)
{
    int icon = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            icon += pixelAt(shot, x, y) == kRed || pixelAt(shot, x, y) == kGreen;
    return icon;
}

TEST_F(LayerSheetTest, PaintsLockMiniatureAndTextForEachWindow)
{
    WriteLockStrip();
    CUiLayerSheetCtrl sheet;
    SetUpSheet(sheet);
    sheet.SetPlan(plan);
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));

    // The icon square of a row starts 4 pixels in, centred on the row.
    EXPECT_EQ(sheet.HitTestLockIcon(3, 20), -1);
    EXPECT_EQ(sheet.HitTestLockIcon(4, 20), 0);
    EXPECT_EQ(sheet.HitTestLockIcon(19, 27), 0);
    EXPECT_EQ(sheet.HitTestLockIcon(20, 20), -1);
    EXPECT_EQ(sheet.HitTestLockIcon(4, 60), 1);
    EXPECT_EQ(sheet.HitTestLockIcon(4, 140), -1); // below the last row

    const QImage shot = tavrix::test::screenshot(sheet);
    EXPECT_EQ(pixelAt(shot, 12, 20), kRed);   // W1 locked
    EXPECT_EQ(pixelAt(shot, 12, 60), kGreen); // W2 not
    EXPECT_EQ(pixelAt(shot, 4, 20), kFrame);
    EXPECT_EQ(pixelAt(shot, 12, 27), kFrame);
    EXPECT_EQ(pixelAt(shot, 24, 20), kFrame); // the miniature's frame
    EXPECT_EQ(pixelAt(shot, 40, 20), ui::rgb(0x40, 0x80, 0xC0));
    EXPECT_EQ(pixelAt(shot, 120, 20), kWhite);
    const int lineHeight = QFontMetrics(sheet.ItemFont()).height();
    EXPECT_GT(InkPixels(shot, Rect{143, 0, 292, 20}), 5);
    EXPECT_GT(InkPixels(shot, Rect{143, 20, 292, 20 + lineHeight}), 5);
    // W2's source is missing: no text; row 2 has no window: the cell's own.
    EXPECT_EQ(InkPixels(shot, Rect{143, 40, 292, 80}), 0);
    EXPECT_GT(InkPixels(shot, Rect{4, 80, 40, 120}), 5);
    EXPECT_EQ(IconPixels(shot, Rect{0, 80, 40, 120}), 0);
    EXPECT_EQ(pixelAt(shot, 150, 39), ui::rgb(216, 216, 216)); // grid by style
}

TEST_F(LayerSheetTest, WithoutTheLockImageNoIconIsHit)
{
    std::filesystem::remove(ui::resPath("lock.png"));
    CUiLayerSheetCtrl sheet;
    SetUpSheet(sheet);
    sheet.SetPlan(plan);
    EXPECT_EQ(sheet.HitTestLockIcon(4, 20), -1);
    EXPECT_EQ(sheet.HitTestLockIcon(12, 60), -1);
}

} // namespace
