#include "platform/image/mono_picture.h"
#include "platform/bmp_header.h"
#include "corlane/file_store.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <span>

namespace platform {
namespace {

constexpr int32_t kMaxSide = 4096;

// Qt's JPEG reader returns a half-grey picture for a file cut short, so the
// last scan must be followed by the end-of-image marker.
bool JpegComplete(const QByteArray& data)
{
    const qsizetype scan = data.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    if (scan < 0)
        return false;
    return data.indexOf(QByteArrayView("\xFF\xD9", 2), scan + 2) >= 0;
}

bool IsLight(QRgb colour)
{
    return qGray(colour) >= 128;
}

} // namespace

std::optional<MonoPicture> LoadMonoPicture(const std::string& path, int32_t width, int32_t height, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::optional<MonoPicture> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return fail("bad target size");

    // Files beyond the decoder's own limit are refused before being read in;
    // anything but a regular file is refused without blocking.
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    const qz::vok::file_store::read_result stored =
        qz::vok::file_store::read_file(path, limit > 0 ? size_t(limit) : qz::vok::file_store::default_read_limit);
    if (stored.status == qz::vok::file_store::read_status::missing)
        return fail("no such file");
    if (stored.status != qz::vok::file_store::read_status::ok)
        return fail(stored.error);
    if (stored.bytes.empty())
        return fail("empty file");
    QByteArray data = QByteArray::fromStdString(stored.bytes);

    QByteArray format;
    if (data.startsWith("\x89PNG\r\n\x1a\n")) {
        format = "png";
    } else if (data.startsWith("BM")) {
        const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
        if (!BmpPixelDataComplete(bytes, uint64_t(data.size())))
            return fail("truncated or damaged BMP");
        format = "bmp";
    } else if (data.startsWith("\xFF\xD8\xFF")) {
        if (!JpegComplete(data))
            return fail("truncated JPEG");
        format = "jpeg";
    } else {
        return fail("not a PNG, BMP or JPEG picture");
    }

    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    const QImage decoded = reader.read();
    if (decoded.isNull() || decoded.width() < 1 || decoded.height() < 1)
        return fail("cannot decode the picture");

    const QImage mono = decoded.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB32)
                            .convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    if (mono.isNull() || mono.width() != width || mono.height() != height)
        return fail("cannot convert the picture");

    // Qt's table puts white at index 0; we want a set bit for a light pixel.
    const QList<QRgb> table = mono.colorTable();
    const bool light0 = !table.isEmpty() && IsLight(table[0]);
    const bool light1 = table.size() > 1 && IsLight(table[1]);

    MonoPicture out;
    out.width = width;
    out.height = height;
    out.stride = (width + 31) / 32 * 4;
    out.bits.assign(size_t(out.stride) * size_t(height), 0);
    const int fullBytes = width / 8;
    const int tailBits = width % 8;
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = mono.constScanLine(y);
        uint8_t* dst = out.bits.data() + size_t(y) * size_t(out.stride);
        const int rowBytes = fullBytes + (tailBits ? 1 : 0);
        for (int i = 0; i < rowBytes; ++i) {
            const uint8_t b = src[i];
            uint8_t v;
            if (light1 == light0)
                v = light1 ? 0xFF : 0x00;
            else
                v = light1 ? b : uint8_t(~b);
            dst[i] = v;
        }
        if (tailBits) // bits past the width stay clear
            dst[fullBytes] &= uint8_t(0xFF << (8 - tailBits));
    }
    return out;
}

} // namespace platform
