#include "frame/shipped_data.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QSaveFile>
#include <filesystem>
#include <functional>

#include "frame/caption_buttons.h"

namespace fs = std::filesystem;

namespace {

constexpr int kButtonSide = 32;
constexpr int kArrowCell = 16;
const char* const kTabPictures[] = {"sigsrc_man", "plan_man", "win_man"};
constexpr int kPaneButtonSide = 16;
const char* const kPaneButtonPictures[] = {"new_plan_16x16.png", "open_plan_16x16.png", "plan_rename_16x16.png",
                                           "delete_16x16.png",   "run_16x16.png",       "new_cycle_16x16.png",
                                           "edit_16x16.png"};

// A caption button: a rounded tile in a colour of its own with a light
// mark, so that the buttons tell apart without any text.
QImage ButtonPicture(int index)
{
    QImage image(kButtonSide, kButtonSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromHsv((index * 47) % 360, 150, 200));
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
    p.setBrush(QColor(255, 255, 255, 220));
    const int bars = index % 4 + 1;
    for (int i = 0; i < bars; ++i)
        p.drawRect(QRectF(8, 8 + i * 5, 16 - i * 3, 3));
    return image;
}

// A control bar tab: a stack of lines, grey or, selected, dark.
QImage TabPicture(int index, bool selected)
{
    QImage image(kButtonSide, kButtonSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(selected ? QColor(0x30, 0x60, 0xB0) : QColor(0xD0, 0xD0, 0xD0));
    for (int i = 0; i <= index + 1; ++i)
        p.drawRoundedRect(QRectF(6, 6 + i * 7, 20, 4), 2, 2);
    return image;
}

// A list pane's title button: a small tile in a colour of its own with a
// light bar for each step of its index.
QImage PaneButtonPicture(int index)
{
    QImage image(kPaneButtonSide, kPaneButtonSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromHsv((index * 53 + 20) % 360, 160, 190));
    p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
    p.setBrush(Qt::white);
    for (int i = 0; i <= index % 3; ++i)
        p.drawRect(QRectF(4, 4 + i * 3, 8, 2));
    return image;
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

std::vector<Item> Items()
{
    std::vector<Item> items;
    items.push_back({"MainMenu.xml", CopyResource(":/frame/MainMenu.xml")});
    items.push_back({"MainMenu2.xml", CopyResource(":/frame/MainMenu2.xml")});
    int index = 0;
    for (const std::string& picture : AllCaptionButtonPictures()) {
        const int i = index++;
        items.push_back({"res/" + picture, SaveImage([i] { return ButtonPicture(i); }, "PNG")});
    }
    int tab = 0;
    for (const char* name : kTabPictures) {
        const int i = tab++;
        items.push_back({std::string("res/") + name + ".png", SaveImage([i] { return TabPicture(i, false); }, "PNG")});
        items.push_back(
            {std::string("res/") + name + "_sel.png", SaveImage([i] { return TabPicture(i, true); }, "PNG")});
    }
    items.push_back({"res/ctlbar_float.png", SaveImage(FloatArrows, "PNG")});
    int paneButton = 0;
    for (const char* name : kPaneButtonPictures) {
        const int i = paneButton++;
        items.push_back({std::string("res/") + name, SaveImage([i] { return PaneButtonPicture(i); }, "PNG")});
    }
    items.push_back({"res/lock.png", SaveImage(LockStrip, "PNG")});
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

bool InstallShippedData(const std::string& sysDir, std::string* error)
{
    Q_INIT_RESOURCE(frame_data);
    for (const Item& item : Items()) {
        const fs::path path = fs::path(sysDir) / item.name;
        std::error_code ec;
        if (fs::exists(path, ec))
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
