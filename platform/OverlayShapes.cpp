#include "platform/OverlayShapes.h"

#include <QImage>
#include <QPair>

namespace platform {

QVector<QRect> coveredPixels(const QImage &source, int minimumAlpha)
{
    const QImage image = source.format() == QImage::Format_ARGB32_Premultiplied ||
                                 source.format() == QImage::Format_ARGB32
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const uint threshold = uint(qBound(1, minimumAlpha, 255));
    QVector<QRect> rects;
    QVector<QPair<int, int>> runs, previous;
    int band = 0; // the first rectangle of the band the last row belongs to
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        runs.clear();
        for (int x = 0; x < image.width();) {
            while (x < image.width() && uint(qAlpha(row[x])) < threshold)
                ++x;
            const int start = x;
            while (x < image.width() && uint(qAlpha(row[x])) >= threshold)
                ++x;
            if (x > start)
                runs.append({start, x - start});
        }
        if (y > 0 && runs == previous) {
            for (int i = band; i < rects.size(); ++i)
                rects[i].setHeight(rects[i].height() + 1);
            continue;
        }
        band = rects.size();
        for (const auto &run : runs)
            rects.append(QRect(run.first, y, run.second, 1));
        previous = runs;
    }
    return rects;
}

} // namespace platform
