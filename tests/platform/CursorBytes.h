#pragma once

#include <QByteArray>
#include <QVector>
#include <QtEndian>
#include <functional>

// Builds Windows cursor files byte by byte, the way another program would write them, so
// the reader is tested against the format and not against our own writer.
struct CursorBytes
{
    struct Entry
    {
        int width = 2;
        int height = 2;
        int bits = 32;
        int hotX = 0;
        int hotY = 0;
        // Pixel (x, y), top-down, as 0xAARRGGBB; the mask bit says "transparent".
        std::function<quint32(int, int)> pixel = [](int, int) { return 0xff000000u; };
        std::function<bool(int, int)> transparent = [](int, int) { return false; };
    };

    static void put16(QByteArray &out, int v)
    {
        char b[2];
        qToLittleEndian(quint16(v), b);
        out.append(b, 2);
    }
    static void put32(QByteArray &out, qint64 v)
    {
        char b[4];
        qToLittleEndian(quint32(v), b);
        out.append(b, 4);
    }

    static QByteArray image(const Entry &e)
    {
        QByteArray out;
        put32(out, 40);
        put32(out, e.width);
        put32(out, 2 * e.height);
        put16(out, 1);
        put16(out, e.bits);
        for (int i = 0; i < 6; ++i)
            put32(out, 0);
        const int colourStride = (e.width * e.bits + 31) / 32 * 4;
        for (int y = e.height - 1; y >= 0; --y) {
            QByteArray row;
            for (int x = 0; x < e.width; ++x) {
                const quint32 p = e.pixel(x, y);
                row.append(char(p & 0xff)).append(char(p >> 8 & 0xff)).append(char(p >> 16 & 0xff));
                if (e.bits == 32)
                    row.append(char(p >> 24));
            }
            out.append(row.leftJustified(colourStride, '\0'));
        }
        const int maskStride = (e.width + 31) / 32 * 4;
        for (int y = e.height - 1; y >= 0; --y) {
            QByteArray row(maskStride, '\0');
            for (int x = 0; x < e.width; ++x) {
                if (e.transparent(x, y))
                    row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
            }
            out.append(row);
        }
        return out;
    }

    static QByteArray file(const QVector<Entry> &entries, int type = 2)
    {
        QByteArray out;
        put16(out, 0);
        put16(out, type);
        put16(out, entries.size());
        QVector<QByteArray> images;
        qint64 offset = 6 + 16 * entries.size();
        for (const Entry &e : entries) {
            images.append(image(e));
            out.append(char(e.width)).append(char(e.height)).append(char(0)).append(char(0));
            put16(out, e.hotX);
            put16(out, e.hotY);
            put32(out, images.last().size());
            put32(out, offset);
            offset += images.last().size();
        }
        for (const QByteArray &i : images)
            out.append(i);
        return out;
    }
};
