// A frameless window with the custom caption, for checking by hand or by
// tests/uikit/caption_frame_xvfb.sh what needs a real window manager.
//   caption_frame_demo                 shows the frame at (100, 100), 800 x 600
//   caption_frame_demo --grab-root F   saves a screenshot of the whole screen
// The frame prints "notify ID" for each tool-button click, "command ID" for
// each command chosen in its caption menu and "closed" when it closes.
#include "platform/ui/colour.h"
#include "platform/ui/init_ui.h"
#include "uikit/caption_toolbar.h"
#include "uikit/custom_nc.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// A round 32 x 32 picture of one colour.
QString writeButtonImage(const QTemporaryDir& dir, const QString& name, QColor colour)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(Qt::white);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.end();
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "--grab-root")
        return QGuiApplication::primaryScreen()->grabWindow(0).save(args[2]) ? 0 : 1;
    ui::initUi();

    QMainWindow frame;
    frame.setWindowTitle("Tavrix - 演示-Caption");
    auto* client = new QLabel("client area");
    client->setAlignment(Qt::AlignCenter);
    client->setStyleSheet("background: #f4f4f4");
    frame.setCentralWidget(client);

    CCustomTitle title;
    if (!title->Attach(&frame)) {
        std::fprintf(stderr, "attach failed\n");
        return 1;
    }
    title->SetToolBarBackColor(ui::sysColor(ui::COLOR_ACTIVECAPTION));
    QTemporaryDir images;
    const QColor colours[] = {QColor(230, 120, 40), QColor(60, 170, 90), QColor(70, 120, 220)};
    for (int i = 0; i < 3; ++i)
        title.AddToolButton(i + 1, QString(), QString("Tool %1").arg(i + 1),
                            writeButtonImage(images, QString("tool%1.png").arg(i), colours[i]).toStdString());
    QObject::connect(&*title, &MXCustomNC::quickBarNotify, [](int id) {
        std::printf("notify %d\n", id);
        std::fflush(stdout);
    });
    using ui::MenuSpec;
    title->SetMenu(MenuSpec::subMenu(
        "", {
                MenuSpec::subMenu("&File",
                                  {MenuSpec::item(101, "&New"),
                                   MenuSpec::subMenu("&Recent", {MenuSpec::item(111, "a"), MenuSpec::item(112, "b")})}),
                MenuSpec::subMenu("&Edit", {MenuSpec::item(201, "&Copy")}),
                MenuSpec::subMenu("&View", {MenuSpec::item(301, "&Zoom")}),
            }));
    QObject::connect(&*title, &MXCustomNC::menuCommand, [](int id) {
        std::printf("command %d\n", id);
        std::fflush(stdout);
    });

    frame.setGeometry(100, 100, 800, 600);
    frame.show();
    const int rc = app.exec();
    std::printf("closed\n");
    return rc;
}
