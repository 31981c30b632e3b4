#include "platform/ui/image_file.h"
#include "platform/ui/ui_log.h"
#include "platform/bmp_header.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstdint>
#include <span>

namespace ui {

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
    const std::span<const std::uint8_t> headerBytes(reinterpret_cast<const std::uint8_t*>(header.constData()),
                                                    std::size_t(header.size()));
    if (format == QLatin1String("bmp") && !platform::BmpPixelDataComplete(headerBytes, std::uint64_t(size)))
        return fail(QStringLiteral("truncated or damaged BMP"));

    QImageReader reader(&file, format.toLatin1());
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        return fail(reader.errorString());
    return image;
}

} // namespace ui
