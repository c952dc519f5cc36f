#pragma once

#include "platform/SystemCursors.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Reads Windows cursor (.cur) files: the directory of images with their hot spots, each image
// a bottom-up device-independent bitmap of 24 or 32 bits per pixel followed by its 1-bit
// transparency mask.
namespace platform {

class CurFile
{
public:
    struct Image
    {
        int width = 0;
        int height = 0;
        int hotX = 0;
        int hotY = 0;
        QVector<quint32> argb; // straight (not premultiplied) 0xAARRGGBB, rows top-down
    };

    // Every image of the file. False with an errno value and text in failure otherwise.
    static bool read(const QString &path, QVector<Image> *images, SystemCursors::Failure *failure);
    // The same for the file's bytes; false with the reason in error.
    static bool parse(const QByteArray &bytes, QVector<Image> *images, QString *error);
    // The image closest in size to `size` pixels (the larger one on a tie).
    static const Image &closestTo(const QVector<Image> &images, int size);
};

} // namespace platform
