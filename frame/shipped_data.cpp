#include "frame/shipped_data.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QSaveFile>
#include <QSvgRenderer>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "dialogs/cycle_tour.h"
#include "frame/caption_buttons.h"

namespace fs = std::filesystem;

namespace {

constexpr int kButtonSide = 32;
constexpr int kArrowCell = 16;
constexpr int kPaneButtonSide = 16;
constexpr int kTitleCell = 11;

// Symbolic icons of the Adwaita theme (adwaita-icon-theme, CC BY-SA 3.0 or
// LGPL 3), drawn in one colour of ours.
constexpr char kIconTheme[] = "/usr/share/icons/Adwaita/scalable";

// The theme's icon for each button's action, by the picture's name.
struct ThemePicture {
    const char* picture;
    const char* icon;
};
constexpr ThemePicture kCaptionIcons[] = {
    {"ctl_set_video_wall.png", "video-joined-displays-symbolic"},
    {"ctl_new_plan.png", "document-new-symbolic"},
    {"ctl_save_all.png", "document-save-symbolic"},
    {"ctl_run.png", "send-to-symbolic"},
    {"ctl_signal_size.png", "zoom-original-symbolic"},
    {"ctl_full_screen.png", "view-fullscreen-symbolic"},
    {"ctl_lock.png", "changes-prevent-symbolic"},
    {"ctl_zoomcanvas.png", "zoom-in-symbolic"},
    {"ctl_addinputosdwnd.png", "insert-image-symbolic"},
    {"ctl_screenopen.png", "video-display-symbolic"},
    {"ctl_screenclose.png", "system-shutdown-symbolic"},
    {"ctl_screenfreeze.png", "media-playback-pause-symbolic"},
    {"ctl_screenunfreeze.png", "media-playback-start-symbolic"},
    {"ctl_planbar.png", "sidebar-show-symbolic"},
    {"ctl_processor_conversion.png", "media-playlist-shuffle-symbolic"},
    {"ctl_pro_select_open.png", "view-reveal-symbolic"},
    {"ctl_pro_select_close.png", "view-conceal-symbolic"},
};
constexpr ThemePicture kTabIcons[] = {
    {"sigsrc_man", "camera-video-symbolic"},
    {"plan_man", "view-grid-symbolic"},
    {"win_man", "view-dual-symbolic"},
};
constexpr ThemePicture kPaneIcons[] = {
    {"new_plan_16x16.png", "document-new-symbolic"},     {"open_plan_16x16.png", "document-open-symbolic"},
    {"plan_rename_16x16.png", "insert-text-symbolic"},   {"delete_16x16.png", "edit-delete-symbolic"},
    {"run_16x16.png", "media-playlist-repeat-symbolic"}, {"new_cycle_16x16.png", "appointment-new-symbolic"},
    {"edit_16x16.png", "document-edit-symbolic"},
};
// The guide-line buttons show their grid of rows by columns, drawn.
struct GridPicture {
    const char* picture;
    int rows;
    int cols;
};
constexpr GridPicture kGridPictures[] = {
    {"ctl_reflinestyle_4.png", 2, 2},  {"ctl_reflinestyle_8.png", 2, 4},  {"ctl_reflinestyle_9.png", 3, 3},
    {"ctl_reflinestyle_12.png", 3, 4}, {"ctl_reflinestyle_16.png", 4, 4},
};

const QColor kCaptionGlyph(0xF4, 0xF6, 0xFF);
const QColor kTabGlyph(0x70, 0x70, 0x70);
const QColor kTabSelectedGlyph(0x30, 0x60, 0xB0);
const QColor kPaneGlyph(0x30, 0x30, 0x30);

// Pictures drawn plain because their icon could not be rendered.
using PlainList = std::vector<std::string>;

QString IconFile(const char* icon)
{
    std::error_code ec;
    for (const auto& context : fs::directory_iterator(kIconTheme, ec)) {
        const fs::path file = context.path() / (std::string(icon) + ".svg");
        if (fs::is_regular_file(file, ec))
            return QString::fromStdString(file.string());
    }
    return QString();
}

// The icon's shape filled with `colour`, `side` pixels square and centred
// at `at` in `image`; false when it cannot be rendered.
bool DrawIcon(QImage& image, const char* icon, QPointF at, int side, const QColor& colour)
{
    QSvgRenderer svg(IconFile(icon));
    if (!svg.isValid())
        return false;
    QImage glyph(side, side, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    {
        QPainter p(&glyph);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(0, 0, side, side));
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(glyph.rect(), colour);
    }
    QPainter p(&image);
    p.drawImage(at - QPointF(side / 2.0, side / 2.0), glyph);
    return true;
}

// The caption buttons' common face: a rounded tile a shade lighter than
// the caption.
QImage CaptionTile()
{
    QImage image(kButtonSide, kButtonSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.setBrush(QColor(255, 255, 255, 36));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    return image;
}

QImage ThemeButton(const char* icon, const std::string& name, PlainList* plain)
{
    QImage image = CaptionTile();
    if (!DrawIcon(image, icon, QPointF(16, 16), 20, kCaptionGlyph) && plain)
        plain->push_back(name);
    return image;
}

QImage GridButton(int rows, int cols)
{
    QImage image = CaptionTile();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kCaptionGlyph, 1.6));
    p.setBrush(Qt::NoBrush);
    const QRectF box(7, 8, 18, 16);
    p.drawRect(box);
    for (int r = 1; r < rows; ++r)
        p.drawLine(QPointF(box.left(), box.top() + box.height() * r / rows),
                   QPointF(box.right(), box.top() + box.height() * r / rows));
    for (int c = 1; c < cols; ++c)
        p.drawLine(QPointF(box.left() + box.width() * c / cols, box.top()),
                   QPointF(box.left() + box.width() * c / cols, box.bottom()));
    return image;
}

// A control bar tab: the page's icon, grey or, selected, blue.
QImage TabPicture(const char* icon, bool selected, const std::string& name, PlainList* plain)
{
    QImage image(kButtonSide, kButtonSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (!DrawIcon(image, icon, QPointF(16, 16), 24, selected ? kTabSelectedGlyph : kTabGlyph)) {
        QPainter p(&image);
        p.fillRect(QRectF(4, 4, 24, 24), selected ? kTabSelectedGlyph : kTabGlyph);
        if (plain)
            plain->push_back(name);
    }
    return image;
}

// A list pane's title button: the action's icon, dark on the pane's light
// title.
QImage PaneButtonPicture(const char* icon, const std::string& name, PlainList* plain)
{
    QImage image(kPaneButtonSide, kPaneButtonSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (!DrawIcon(image, icon, QPointF(8, 8), 16, kPaneGlyph)) {
        QPainter p(&image);
        p.fillRect(QRectF(2, 2, 12, 12), kPaneGlyph);
        if (plain)
            plain->push_back(name);
    }
    return image;
}

// A window title's buttons (and the tab strip's): square cells of
// kTitleCell side by side, each light mark drawn plain, then on a lighter
// face for the cell under the mouse.
using TitleMark = std::function<void(QPainter&, const QRectF& cell)>;

QImage TitleButtons(const std::vector<TitleMark>& marks)
{
    QImage image(int(marks.size()) * 2 * kTitleCell, kTitleCell, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (size_t i = 0; i < marks.size() * 2; ++i) {
        const QRectF cell(qreal(i) * kTitleCell, 0, kTitleCell, kTitleCell);
        if (i % 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 90));
            p.drawRoundedRect(cell, 2, 2);
        }
        p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        marks[i / 2](p, cell.adjusted(2.5, 2.5, -2.5, -2.5));
    }
    return image;
}

void CrossMark(QPainter& p, const QRectF& r)
{
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

// A filled box inside a frame: maximise inside the window's cell.
void CellMark(QPainter& p, const QRectF& r)
{
    p.drawRect(r);
    p.fillRect(r.adjusted(2, 2, -2, -2), Qt::white);
}

void MaximiseMark(QPainter& p, const QRectF& r)
{
    p.drawRect(r);
    p.drawLine(r.topLeft() + QPointF(0, 1), r.topRight() + QPointF(0, 1));
}

void RestoreMark(QPainter& p, const QRectF& r)
{
    p.drawRect(QRectF(r.left(), r.top() + 2, r.width() - 2, r.height() - 2));
    p.drawPolyline(QPolygonF({{r.left() + 2, r.top() + 2},
                              {r.left() + 2, r.top()},
                              r.topRight(),
                              {r.right(), r.bottom() - 2},
                              {r.right() - 2, r.bottom() - 2}}));
}

void MenuMark(QPainter& p, const QRectF& r)
{
    p.drawPolyline(QPolygonF({{r.left(), r.top() + 2}, {r.center().x(), r.bottom() - 1}, {r.right(), r.top() + 2}}));
}

// The layer pane's lock strip: a closed padlock, then an open one.
QImage LockStrip()
{
    QImage image(2 * kPaneButtonSide, kPaneButtonSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 2; ++i) {
        const qreal x = i * kPaneButtonSide;
        p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(x + 4.5, 2, 7, 8), 0, i == 0 ? 180 * 16 : 150 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? QColor(0xC0, 0x90, 0x20) : QColor(0x90, 0x90, 0x90));
        p.drawRoundedRect(QRectF(x + 3, 7, 10, 8), 1.5, 1.5);
    }
    return image;
}

// Four 16 x 16 arrows: left, right (top row), down, up (bottom row).
QImage FloatArrows()
{
    QImage image(2 * kArrowCell, 2 * kArrowCell, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const QPolygonF left({{11, 3}, {4, 8}, {11, 13}});
    const QPolygonF right({{5, 3}, {12, 8}, {5, 13}});
    const QPolygonF down({{3, 5}, {13, 5}, {8, 12}});
    const QPolygonF up({{3, 11}, {13, 11}, {8, 4}});
    p.drawPolygon(left);
    p.drawPolygon(right.translated(kArrowCell, 0));
    p.drawPolygon(down.translated(0, kArrowCell));
    p.drawPolygon(up.translated(kArrowCell, kArrowCell));
    return image;
}

// A button of the cycle-plan runner: a light cross (close) or bar
// (minimise) on a dark round face.
QImage RunCycleButton(bool cross)
{
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30, 200));
    p.drawEllipse(QRectF(1, 1, 22, 22));
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    if (cross) {
        p.drawLine(QPointF(8, 8), QPointF(16, 16));
        p.drawLine(QPointF(16, 8), QPointF(8, 16));
    } else {
        p.drawLine(QPointF(7, 15), QPointF(17, 15));
    }
    return image;
}

// A horizontal or vertical two-colour gradient, 24 bits.
QImage Gradient(int width, int height, QColor from, QColor to, bool vertical)
{
    QImage image(width, height, QImage::Format_RGB888);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, vertical ? 0 : width, vertical ? height : 0);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    p.fillRect(image.rect(), gradient);
    return image;
}

struct Item {
    std::string name;
    std::function<bool(const QString& path)> write;
};

std::function<bool(const QString&)> SaveImage(std::function<QImage()> make, const char* format)
{
    return [make, format](const QString& path) {
        QSaveFile file(path);
        return file.open(QIODevice::WriteOnly) && make().save(&file, format) && file.commit();
    };
}

std::function<bool(const QString&)> CopyResource(const QString& resource)
{
    return [resource](const QString& path) {
        QFile in(resource);
        QSaveFile out(path);
        return in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly) && out.write(in.readAll()) >= 0 &&
               out.commit();
    };
}

std::vector<Item> Items(PlainList* plain = nullptr)
{
    std::vector<Item> items;
    items.push_back({"MainMenu.xml", CopyResource(":/frame/MainMenu.xml")});
    items.push_back({"MainMenu2.xml", CopyResource(":/frame/MainMenu2.xml")});
    const auto res = [](const std::string& name) { return "res/" + name; };
    for (const std::string& picture : AllCaptionButtonPictures()) {
        const auto themed = std::find_if(std::begin(kCaptionIcons), std::end(kCaptionIcons),
                                         [&](const ThemePicture& t) { return picture == t.picture; });
        const auto grid = std::find_if(std::begin(kGridPictures), std::end(kGridPictures),
                                       [&](const GridPicture& g) { return picture == g.picture; });
        const std::string name = res(picture);
        std::function<QImage()> make;
        if (themed != std::end(kCaptionIcons))
            make = [icon = themed->icon, name, plain] { return ThemeButton(icon, name, plain); };
        else if (grid != std::end(kGridPictures))
            make = [rows = grid->rows, cols = grid->cols] { return GridButton(rows, cols); };
        else
            make = [name, plain] {
                if (plain)
                    plain->push_back(name);
                return CaptionTile();
            };
        items.push_back({name, SaveImage(make, "PNG")});
    }
    for (const ThemePicture& tab : kTabIcons) {
        for (const bool selected : {false, true}) {
            const std::string name = res(std::string(tab.picture) + (selected ? "_sel.png" : ".png"));
            items.push_back({name, SaveImage([icon = tab.icon, selected, name,
                                              plain] { return TabPicture(icon, selected, name, plain); },
                                             "PNG")});
        }
    }
    items.push_back({"res/ctlbar_float.png", SaveImage(FloatArrows, "PNG")});
    for (const ThemePicture& pane : kPaneIcons) {
        const std::string name = res(pane.picture);
        items.push_back(
            {name, SaveImage([icon = pane.icon, name, plain] { return PaneButtonPicture(icon, name, plain); }, "PNG")});
    }
    items.push_back({"res/lock.png", SaveImage(LockStrip, "PNG")});
    items.push_back({"res/tab_close_btn.png", SaveImage([] { return TitleButtons({CrossMark}); }, "PNG")});
    items.push_back({"res/tab_maxcell_btn.png", SaveImage([] { return TitleButtons({CellMark}); }, "PNG")});
    items.push_back({"res/tab_maxscreen_btn.png", SaveImage(
                                                      [] {
                                                          return TitleButtons({MaximiseMark, RestoreMark});
                                                      },
                                                      "PNG")});
    items.push_back({"res/tab_pop_menu.png", SaveImage([] { return TitleButtons({MenuMark}); }, "PNG")});
    items.push_back(
        {(fs::path("res") / kRunCycleCloseFile).string(), SaveImage([] { return RunCycleButton(true); }, "PNG")});
    items.push_back(
        {(fs::path("res") / kRunCycleMinimiseFile).string(), SaveImage([] { return RunCycleButton(false); }, "PNG")});
    items.push_back(
        {"res/maintitle.bmp",
         SaveImage([] { return Gradient(400, 32, QColor(0x2A, 0x3F, 0x66), QColor(0x4F, 0x6F, 0xA0), false); },
                   "BMP")});
    items.push_back(
        {"res/toolbarbk.bmp",
         SaveImage([] { return Gradient(8, 44, QColor(0x5A, 0x6E, 0x90), QColor(0x34, 0x44, 0x60), true); }, "BMP")});
    return items;
}

} // namespace

std::vector<std::string> ShippedFiles()
{
    std::vector<std::string> names;
    for (const Item& item : Items())
        names.push_back(item.name);
    return names;
}

bool InstallShippedData(const std::string& sysDir, std::string* error, std::vector<std::string>* plain)
{
    Q_INIT_RESOURCE(frame_data);
    for (const Item& item : Items(plain)) {
        const fs::path path = fs::path(sysDir) / item.name;
        // Anything at all there is kept, a link to nothing or an unreadable
        // file too.
        std::error_code ec;
        const fs::file_status there = fs::symlink_status(path, ec);
        if (there.type() != fs::file_type::not_found)
            continue;
        fs::create_directories(path.parent_path(), ec);
        if (!item.write(QString::fromStdString(path.string()))) {
            if (error)
                *error = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}
