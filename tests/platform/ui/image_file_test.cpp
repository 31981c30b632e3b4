#include "platform/ui/image_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Collects the UI layer's warnings while alive.
class UiWarnings {
public:
    UiWarnings() { previous_ = qInstallMessageHandler(&UiWarnings::handle); }
    ~UiWarnings() { qInstallMessageHandler(previous_); }
    static std::vector<std::string>& lines()
    {
        static std::vector<std::string> all;
        return all;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext& ctx, const QString& msg)
    {
        if (ctx.category && std::string(ctx.category) == "tavrix.ui")
            lines().push_back(msg.toStdString());
    }
    QtMessageHandler previous_;
};

QByteArray encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QImage sample()
{
    QImage image(20, 10, QImage::Format_ARGB32);
    image.fill(qRgba(10, 20, 30, 255));
    image.setPixel(3, 4, qRgba(200, 100, 50, 128));
    return image;
}

TEST(ImageFile, LoadsPngWithAlphaAndBmp)
{
    writeFile("a.png", encode(sample(), "PNG"));
    writeFile("b.bmp", encode(sample().convertToFormat(QImage::Format_RGB32), "BMP"));

    UiWarnings warnings;
    UiWarnings::lines().clear();
    const QImage png = ui::loadImage("a.png");
    EXPECT_EQ(png.pixel(3, 4), qRgba(200, 100, 50, 128));
    EXPECT_EQ(ui::loadImage("b.bmp").pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_TRUE(UiWarnings::lines().empty());
}

TEST(ImageFile, DamagedFilesGiveNullImageAndOneWarningNamingThem)
{
    QDir().mkpath("bad");
    const QByteArray png = encode(sample(), "PNG");
    const QByteArray bmp = encode(sample().convertToFormat(QImage::Format_RGB32), "BMP");
    writeFile("bad/empty.png", QByteArray());
    writeFile("bad/short.png", png.left(png.size() / 2));
    writeFile("bad/short.bmp", bmp.left(bmp.size() - 40));
    writeFile("bad/header.bmp", bmp.left(20));
    writeFile("bad/really_png.bmp", png);
    writeFile("bad/really_bmp.png", bmp);
    writeFile("bad/text.png", "not an image at all");
    writeFile("bad/other", QByteArray("GIF89a") + QByteArray(40, '\0'));

    for (const char* name : {"bad/missing.png", "bad/empty.png", "bad/short.png", "bad/short.bmp", "bad/header.bmp",
                             "bad/really_png.bmp", "bad/really_bmp.png", "bad/text.png", "bad/other", "bad"}) {
        SCOPED_TRACE(name);
        UiWarnings warnings;
        UiWarnings::lines().clear();
        EXPECT_TRUE(ui::loadImage(name).isNull());
        ASSERT_EQ(UiWarnings::lines().size(), 1u);
        EXPECT_NE(UiWarnings::lines()[0].find(name), std::string::npos) << UiWarnings::lines()[0];
    }
}

} // namespace
