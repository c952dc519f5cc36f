// The generated cursors, read back by the program's own cursor reader, and the status images.

#include "assets/CursorFile.h"
#include "platform/x11/CurFile.h"
#include "tests/assets/BinDir.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

using platform::CurFile;

namespace {

CurFile::Image readCursor(const QString &name)
{
    QVector<CurFile::Image> images;
    platform::SystemCursors::Failure failure;
    EXPECT_TRUE(CurFile::read(binPath(name), &images, &failure)) << failure.text.toStdString();
    EXPECT_EQ(images.size(), 1);
    return images.value(0);
}

// Pixels of a colour family: bluish, reddish, greenish or amber, fairly opaque.
int countPixels(const QImage &image, const std::function<bool(QColor)> &matches)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.alpha() > 128 && matches(c);
        }
    }
    return n;
}

bool teal(QColor c)
{
    return c.blue() > 150 && c.red() < 100;
}
bool amber(QColor c)
{
    return c.red() > 200 && c.green() > 150 && c.blue() < 130;
}

} // namespace

TEST(GeneratedCursors, AreWindowsCursorsOfOneImageWithTheirHotSpots)
{
    const std::pair<QString, QPoint> cursors[] = {{"RoundedArrowTip-Small.cur", {2, 2}},
                                                  {"ScrollMid2.cur", {16, 16}},
                                                  {"ScrollUP2.cur", {16, 16}},
                                                  {"ScrollDOWN2.cur", {16, 16}},
                                                  {"DragArrowTip-Small.cur", {2, 2}}};
    for (const auto &cursor : cursors) {
        SCOPED_TRACE(cursor.first.toStdString());
        const CurFile::Image image = readCursor(cursor.first);
        EXPECT_EQ(image.width, 32);
        EXPECT_EQ(image.height, 32);
        EXPECT_EQ(QPoint(image.hotX, image.hotY), cursor.second);
        // The hot spot sits on what is drawn, and the rest of the square is see-through.
        EXPECT_GT(image.argb[image.hotY * 32 + image.hotX] >> 24, 0u);
        const int transparent = int(std::count_if(image.argb.begin(), image.argb.end(),
                                                  [](quint32 p) { return p >> 24 == 0; }));
        EXPECT_GT(transparent, 32 * 32 / 2);
    }
}

TEST(GeneratedCursors, TheirMasksAgreeWithTheirAlphaForReadersWithoutAlpha)
{
    for (const char *name : {"RoundedArrowTip-Small.cur", "ScrollMid2.cur"}) {
        SCOPED_TRACE(name);
        QFile file(binPath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        const CurFile::Image withAlpha = readCursor(name);
        // Clear every alpha byte: the reader falls back on the mask.
        const int pixelsAt = 6 + 16 + 40;
        for (int i = 0; i < 32 * 32; ++i)
            bytes[pixelsAt + 4 * i + 3] = 0;
        QVector<CurFile::Image> images;
        QString error;
        ASSERT_TRUE(CurFile::parse(bytes, &images, &error)) << error.toStdString();
        for (int i = 0; i < 32 * 32; ++i)
            EXPECT_EQ(images[0].argb[i] >> 24 == 0, withAlpha.argb[i] >> 24 == 0) << i;
    }
}

TEST(CursorWriter, WritesWhatTheReaderReadsBackAndRefusesImpossibleCursors)
{
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgba(x * 50, y * 100, 7, x == 4 ? 0 : 60 + x * 40));
    }
    QVector<CurFile::Image> images;
    QString error;
    ASSERT_TRUE(CurFile::parse(toCursorFile(image, QPoint(4, 2)), &images, &error))
        << error.toStdString();
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(QPoint(images[0].hotX, images[0].hotY), QPoint(4, 2));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(images[0].argb[y * 5 + x], image.pixel(x, y)) << x << "," << y;
    }
    EXPECT_TRUE(toCursorFile(image, QPoint(5, 0)).isEmpty());
    EXPECT_TRUE(toCursorFile(QImage(257, 16, QImage::Format_ARGB32), QPoint(0, 0)).isEmpty());
}

TEST(StatusImages, AllLoadAndTheInvisibleOneIsFullyTransparent)
{
    QStringList names = {"faceGreen.png",   "faceRed.png",       "faceNotFound.png",
                         "ScrollUp200.png", "ScrollDown200.png", "invisible.png"};
    for (int i = 1; i <= 5; ++i)
        names << QStringLiteral("Smile%1.png").arg(i);
    for (int i = 0; i <= 20; ++i)
        names << QStringLiteral("d%1.png").arg(i);
    for (int i = 0; i <= 19; ++i)
        names << QStringLiteral("dd%1.png").arg(i);
    for (const QString &name : names)
        EXPECT_FALSE(QImage(binPath(name)).isNull()) << name.toStdString();

    const QImage invisible(binPath("invisible.png"));
    for (int y = 0; y < invisible.height(); ++y) {
        for (int x = 0; x < invisible.width(); ++x)
            EXPECT_EQ(qAlpha(invisible.pixel(x, y)), 0);
    }
}

TEST(StatusImages, TheRingsAndTheSmileLevelGrowStepByStep)
{
    int previous = -1;
    for (int k = 0; k <= 20; ++k) {
        const int lit = countPixels(QImage(binPath(QStringLiteral("d%1.png").arg(k))), teal);
        EXPECT_GT(lit, previous) << "d" << k;
        previous = lit;
    }
    EXPECT_EQ(countPixels(QImage(binPath("d0.png")), teal), 0);
    previous = -1;
    for (int n = 0; n <= 19; ++n) {
        const int lit = countPixels(QImage(binPath(QStringLiteral("dd%1.png").arg(n))), amber);
        EXPECT_GT(lit, previous) << "dd" << n;
        previous = lit;
    }
    previous = 0;
    for (int level = 1; level <= 5; ++level) {
        const QImage smile(binPath(QStringLiteral("Smile%1.png").arg(level)));
        const int lit = countPixels(smile, [](QColor c) { return c.saturation() > 100; });
        EXPECT_GT(lit, previous) << "Smile" << level;
        previous = lit;
    }
    const QImage green(binPath("faceGreen.png")), red(binPath("faceRed.png"));
    EXPECT_GT(countPixels(green, [](QColor c) { return c.green() > c.red() + 60; }), 1000);
    EXPECT_GT(countPixels(red, [](QColor c) { return c.red() > c.green() + 60; }), 1000);
}
