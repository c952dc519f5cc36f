#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>

// Writes one image as a Windows cursor (.cur) file: a directory of one entry with the hot
// spot, a bottom-up 32-bit bitmap with straight alpha, and the 1-bit mask (set where fully
// transparent) that readers without alpha use. Empty when the image cannot be a cursor
// (larger than 256 pixels, or the hot spot outside it).
QByteArray toCursorFile(const QImage &image, QPoint hotSpot);
