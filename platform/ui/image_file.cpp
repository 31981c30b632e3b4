#include "platform/ui/image_file.h"
#include "platform/ui/ui_log.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstdint>
#include <cstdlib>

namespace ui {
namespace {

std::uint32_t le32(const QByteArray& b, int at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8
           | std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

std::uint16_t le16(const QByteArray& b, int at)
{
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

// The BMP reader fills whatever rows are missing from a short file with
// garbage and calls it a success, so the size is checked against the header.
bool bmpComplete(const QByteArray& header, qint64 fileSize)
{
    if (header.size() < 26)
        return false;
    const std::uint32_t dataOffset = le32(header, 10);
    const std::uint32_t infoSize = le32(header, 14);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    if (infoSize == 12) {
        width = le16(header, 18);
        height = le16(header, 20);
        bitCount = le16(header, 24);
    } else {
        if (header.size() < 38)
            return false;
        width = std::int32_t(le32(header, 18));
        height = std::abs(std::int64_t(std::int32_t(le32(header, 22))));
        bitCount = le16(header, 28);
        compression = le32(header, 30);
        imageSize = le32(header, 34);
    }
    if (width <= 0 || height <= 0 || bitCount <= 0)
        return false;
    std::int64_t pixelBytes;
    if (compression == 0 || compression == 3) { // BI_RGB, BI_BITFIELDS
        pixelBytes = (width * bitCount + 31) / 32 * 4 * height;
    } else {
        pixelBytes = imageSize;
    }
    return std::int64_t(dataOffset) + pixelBytes <= fileSize;
}

} // namespace

QImage loadImage(const std::string& path)
{
    const QString name = QString::fromStdString(path);
    auto fail = [&name](const QString& why) {
        qCWarning(lcUi).noquote() << "cannot load image" << name << "-" << why;
        return QImage();
    };

    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const qint64 size = file.size();
    if (size == 0)
        return fail(QStringLiteral("empty file"));

    const QByteArray header = file.peek(64);
    QString format;
    if (header.startsWith("\x89PNG\r\n\x1a\n"))
        format = QStringLiteral("png");
    else if (header.startsWith("BM"))
        format = QStringLiteral("bmp");
    else
        return fail(QStringLiteral("not a PNG or BMP file"));

    const QString suffix = QFileInfo(name).suffix().toLower();
    if ((suffix == QLatin1String("png") || suffix == QLatin1String("bmp")) && suffix != format)
        return fail(QStringLiteral("holds %1 data").arg(format.toUpper()));
    if (format == QLatin1String("bmp") && !bmpComplete(header, size))
        return fail(QStringLiteral("truncated or damaged BMP"));

    QImageReader reader(&file, format.toLatin1());
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        return fail(reader.errorString());
    return image;
}

} // namespace ui
