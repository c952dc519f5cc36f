#include "platform/x11/CurFile.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingSystemCursors.h"
#include "tests/platform/CursorBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

using platform::CurFile;
using Shape = platform::SystemCursors::Shape;

namespace {

QVector<CurFile::Image> parsed(const QByteArray &bytes, QString *error = nullptr)
{
    QVector<CurFile::Image> images;
    QString reason;
    EXPECT_TRUE(CurFile::parse(bytes, &images, &reason)) << reason.toStdString();
    if (error)
        *error = reason;
    return images;
}

QString rejection(const QByteArray &bytes)
{
    QVector<CurFile::Image> images;
    QString reason;
    EXPECT_FALSE(CurFile::parse(bytes, &images, &reason));
    return reason;
}

CursorBytes::Entry fourColours()
{
    CursorBytes::Entry e;
    e.hotX = 1;
    e.hotY = 0;
    const quint32 colours[] = {0xff102030, 0x80405060, 0x00000000, 0xffa0b0c0};
    e.pixel = [colours](int x, int y) { return colours[y * 2 + x]; };
    return e;
}

} // namespace

TEST(CurFileReader, ReadsA32BitImageTopDownWithItsHotSpotAndStraightAlpha)
{
    const QVector<CurFile::Image> images = parsed(CursorBytes::file({fourColours()}));
    ASSERT_EQ(images.size(), 1);
    const CurFile::Image &image = images[0];
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.hotX, 1);
    EXPECT_EQ(image.hotY, 0);
    EXPECT_EQ(image.argb, (QVector<quint32>{0xff102030, 0x80405060, 0x00000000, 0xffa0b0c0}));
}

TEST(CurFileReader, WithoutAlphaTheMaskSaysWhichPixelsShow)
{
    for (int bits : {24, 32}) {
        CursorBytes::Entry e;
        e.bits = bits;
        e.width = 9; // a mask row wider than one byte, rows padded
        e.height = 3;
        e.pixel = [](int x, int) { return quint32(0x112233 + x); };
        e.transparent = [](int x, int y) { return x == 8 || y == 1; };
        const QVector<CurFile::Image> images = parsed(CursorBytes::file({e}));
        ASSERT_EQ(images.size(), 1) << bits;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 9; ++x) {
                const quint32 expected = e.transparent(x, y) ? 0u : 0xff000000u | (0x112233 + x);
                EXPECT_EQ(images[0].argb[y * 9 + x], expected) << bits << " " << x << "," << y;
            }
        }
    }
}

TEST(CurFileReader, PicksTheImageClosestInSizeAndTheLargerOnATie)
{
    CursorBytes::Entry small, large;
    small.width = small.height = 16;
    large.width = large.height = 32;
    const QVector<CurFile::Image> images = parsed(CursorBytes::file({small, large}));
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(CurFile::closestTo(images, 20).width, 16);
    EXPECT_EQ(CurFile::closestTo(images, 24).width, 32);
    EXPECT_EQ(CurFile::closestTo(images, 48).width, 32);
}

TEST(CurFileReader, RejectsWhatIsNotAUsableCursorWithAReason)
{
    const QByteArray good = CursorBytes::file({fourColours()});
    EXPECT_FALSE(rejection(CursorBytes::file({fourColours()}, 1)).isEmpty()); // an icon
    EXPECT_FALSE(rejection(QByteArray("GIF89a")).isEmpty());
    EXPECT_FALSE(rejection(CursorBytes::file({})).isEmpty());
    EXPECT_FALSE(rejection(good.left(good.size() - 1)).isEmpty());

    CursorBytes::Entry hotOutside = fourColours();
    hotOutside.hotY = 2;
    EXPECT_EQ(rejection(CursorBytes::file({hotOutside})), "a hot spot lies outside its image");

    CursorBytes::Entry paletted = fourColours();
    paletted.bits = 8;
    EXPECT_TRUE(rejection(CursorBytes::file({paletted})).contains("8 bits"));

    QByteArray png = good;
    png.replace(22, 4, QByteArray("\x89PNG", 4));
    EXPECT_TRUE(rejection(png).contains("PNG"));

    QByteArray huge = good;
    huge.replace(22 + 4, 4, QByteArray("\x00\x10\x00\x00", 4)); // 4096 pixels wide
    EXPECT_FALSE(rejection(huge).isEmpty());

    QByteArray pastTheEnd = good;
    pastTheEnd.replace(18, 4, QByteArray("\xff\xff\xff\x7f", 4)); // image offset
    EXPECT_EQ(rejection(pastTheEnd), "an image lies outside the file");
}

TEST(CurFileReader, FileFailuresCarryAnErrnoValueAndItsText)
{
    QTemporaryDir dir;
    QVector<CurFile::Image> images;
    platform::SystemCursors::Failure failure;
    EXPECT_FALSE(CurFile::read(dir.filePath("missing.cur"), &images, &failure));
    EXPECT_EQ(failure.code, ENOENT);
    EXPECT_EQ(failure.text, "No such file or directory");

    QFile broken(dir.filePath("broken.cur"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a cursor");
    broken.close();
    EXPECT_FALSE(CurFile::read(broken.fileName(), &images, &failure));
    EXPECT_EQ(failure.code, EINVAL);
    EXPECT_EQ(failure.text, "not a Windows cursor file");
}

TEST(RecordingSystemCursors, ShowsAReadableFileAndRefusesABrokenOne)
{
    platform::installRecording();
    QTemporaryDir dir;
    QFile file(dir.filePath("Arrow.cur"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(CursorBytes::file({fourColours()}));
    file.close();

    platform::SystemCursors &cursors = platform::systemCursors();
    platform::SystemCursors::Failure failure;
    EXPECT_TRUE(cursors.replace(Shape::Hand, file.fileName(), &failure));
    EXPECT_EQ(platform::recordingSystemCursors().shownFile(Shape::Hand), "Arrow.cur");
    EXPECT_EQ(platform::recordingSystemCursors().shownHotSpot(Shape::Hand), QPoint(1, 0));

    EXPECT_FALSE(cursors.replace(Shape::Hand, dir.filePath("gone.cur"), &failure));
    EXPECT_EQ(failure.code, ENOENT);
    EXPECT_EQ(platform::recordingSystemCursors().shownFile(Shape::Hand), "Arrow.cur");

    EXPECT_TRUE(cursors.restore(Shape::Hand));
    EXPECT_TRUE(platform::recordingSystemCursors().shownFile(Shape::Hand).isEmpty());
    EXPECT_EQ(platform::recordingLog().count("cursors", "restore"), 1);
}
