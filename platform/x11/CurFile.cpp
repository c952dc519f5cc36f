#include "platform/x11/CurFile.h"

#include <QFile>
#include <QtEndian>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr int DirectoryHeader = 6;
constexpr int DirectoryEntry = 16;
constexpr int BitmapHeader = 40;
constexpr int MaxSide = 256;

quint16 u16(const QByteArray &b, qint64 at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 u32(const QByteArray &b, qint64 at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
qint32 i32(const QByteArray &b, qint64 at)
{
    return qFromLittleEndian<qint32>(b.constData() + at);
}

// Rows of a bottom-up bitmap are padded to 4 bytes.
qint64 stride(int width, int bits)
{
    return (qint64(width) * bits + 31) / 32 * 4;
}

bool parseImage(const QByteArray &bytes, qint64 offset, qint64 size, CurFile::Image *image,
                QString *error)
{
    if (size < BitmapHeader || offset < 0 || offset > bytes.size() - size) {
        *error = QStringLiteral("an image lies outside the file");
        return false;
    }
    if (bytes.mid(int(offset), 4) == QByteArray("\x89PNG", 4)) {
        *error = QStringLiteral("images stored as PNG are not supported");
        return false;
    }
    if (u32(bytes, offset) != BitmapHeader) {
        *error = QStringLiteral("an image has an unknown header");
        return false;
    }
    const qint32 width = i32(bytes, offset + 4);
    const qint32 doubleHeight = i32(bytes, offset + 8);
    const quint16 planes = u16(bytes, offset + 12);
    const quint16 bits = u16(bytes, offset + 14);
    const quint32 compression = u32(bytes, offset + 16);
    // The height counts the colour bitmap and the mask.
    if (width < 1 || width > MaxSide || doubleHeight < 2 || doubleHeight > 2 * MaxSide ||
        doubleHeight % 2 != 0 || planes != 1) {
        *error = QStringLiteral("an image has an impossible size");
        return false;
    }
    if (compression != 0 || (bits != 24 && bits != 32)) {
        *error = QStringLiteral("only uncompressed images of 24 or 32 bits per pixel are "
                                "supported, not %1 bits")
                     .arg(bits);
        return false;
    }
    const int height = doubleHeight / 2;
    const qint64 colourStride = stride(width, bits);
    const qint64 maskStride = stride(width, 1);
    const qint64 colourAt = offset + BitmapHeader;
    const qint64 maskAt = colourAt + colourStride * height;
    if (maskAt + maskStride * height > offset + size) {
        *error = QStringLiteral("an image is cut short");
        return false;
    }

    image->width = width;
    image->height = height;
    image->argb.resize(width * height);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const qint64 row = colourAt + colourStride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const auto *p =
                reinterpret_cast<const uchar *>(bytes.constData() + row) + x * (bits / 8);
            const quint32 alpha = bits == 32 ? p[3] : 0;
            anyAlpha = anyAlpha || alpha != 0;
            image->argb[y * width + x] =
                alpha << 24 | quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
        }
    }
    // Without an alpha channel the mask says which pixels show (a set bit is transparent).
    if (!anyAlpha) {
        for (int y = 0; y < height; ++y) {
            const qint64 row = maskAt + maskStride * (height - 1 - y);
            for (int x = 0; x < width; ++x) {
                const uchar byte = uchar(bytes.at(int(row + x / 8)));
                const bool transparent = byte & (0x80 >> (x % 8));
                quint32 &pixel = image->argb[y * width + x];
                pixel = transparent ? 0u : (pixel | 0xff000000u);
            }
        }
    }
    return true;
}

} // namespace

bool CurFile::parse(const QByteArray &bytes, QVector<Image> *images, QString *error)
{
    images->clear();
    if (bytes.size() < DirectoryHeader || u16(bytes, 0) != 0 || u16(bytes, 2) != 2) {
        *error = QStringLiteral("not a Windows cursor file");
        return false;
    }
    const int count = u16(bytes, 4);
    if (count == 0 || DirectoryHeader + qint64(count) * DirectoryEntry > bytes.size()) {
        *error = QStringLiteral("the cursor file's directory is empty or cut short");
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const qint64 entry = DirectoryHeader + qint64(i) * DirectoryEntry;
        Image image;
        if (!parseImage(bytes, u32(bytes, entry + 12), u32(bytes, entry + 8), &image, error))
            return false;
        image.hotX = u16(bytes, entry + 4);
        image.hotY = u16(bytes, entry + 6);
        if (image.hotX >= image.width || image.hotY >= image.height) {
            *error = QStringLiteral("a hot spot lies outside its image");
            return false;
        }
        images->append(image);
    }
    return true;
}

bool CurFile::read(const QString &path, QVector<Image> *images, SystemCursors::Failure *failure)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        failure->code = errno ? errno : ENOENT;
        failure->text = QString::fromLocal8Bit(std::strerror(failure->code));
        return false;
    }
    // A cursor of 256 by 256 at 32 bits is 320 KiB; anything far larger is not a cursor.
    if (file.size() > 16 * 1024 * 1024) {
        failure->code = EINVAL;
        failure->text = QStringLiteral("the file is too large for a cursor");
        return false;
    }
    const QByteArray bytes = file.readAll();
    QString error;
    if (!parse(bytes, images, &error)) {
        failure->code = EINVAL;
        failure->text = error;
        return false;
    }
    return true;
}

const CurFile::Image &CurFile::closestTo(const QVector<Image> &images, int size)
{
    int best = 0;
    for (int i = 1; i < images.size(); ++i) {
        const int d = std::abs(images[i].width - size);
        const int bestD = std::abs(images[best].width - size);
        if (d < bestD || (d == bestD && images[i].width > images[best].width))
            best = i;
    }
    return images[best];
}

} // namespace platform
