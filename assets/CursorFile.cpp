#include "assets/CursorFile.h"

#include <QtEndian>

namespace {

void put16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray toCursorFile(const QImage &source, QPoint hotSpot)
{
    const int w = source.width(), h = source.height();
    if (source.isNull() || w > 256 || h > 256 || !source.rect().contains(hotSpot))
        return {};
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int maskStride = (w + 31) / 32 * 4;
    const quint32 colourBytes = quint32(w * h * 4);
    const quint32 imageBytes = 40 + colourBytes + quint32(maskStride * h);
    const quint32 imageOffset = 6 + 16;

    QByteArray out;
    // The directory: reserved, type 2 (cursor), one image.
    put16(out, 0);
    put16(out, 2);
    put16(out, 1);
    out.append(char(w == 256 ? 0 : w));
    out.append(char(h == 256 ? 0 : h));
    out.append(char(0)); // no palette
    out.append(char(0));
    put16(out, quint16(hotSpot.x()));
    put16(out, quint16(hotSpot.y()));
    put32(out, imageBytes);
    put32(out, imageOffset);

    // The bitmap header; its height counts the colours and the mask.
    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(2 * h));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, colourBytes + quint32(maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);

    for (int y = h - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(char(qBlue(row[x])));
            out.append(char(qGreen(row[x])));
            out.append(char(qRed(row[x])));
            out.append(char(qAlpha(row[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = char(uchar(mask[x / 8]) | (0x80 >> (x % 8)));
        }
        out.append(mask);
    }
    return out;
}
