#include "platform/ui/image_file.h"
#include "platform/ui/ui_log.h"
#include "platform/bmp_header.h"
#include "corlane/file_store.h"

#include <QBuffer>
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

    // Only a regular file, opened without blocking: a pipe in place of a
    // picture must not hold the start.
    const qz::vok::file_store::read_result stored = qz::vok::file_store::read_file(path);
    if (stored.status == qz::vok::file_store::read_status::missing)
        return fail(QStringLiteral("missing"));
    if (stored.status != qz::vok::file_store::read_status::ok)
        return fail(QString::fromStdString(stored.error));
    QByteArray bytes = QByteArray::fromStdString(stored.bytes);
    const qint64 size = bytes.size();
    if (size == 0)
        return fail(QStringLiteral("empty file"));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);

    const QByteArray header = bytes.left(64);
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
