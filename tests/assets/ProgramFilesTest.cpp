// The other files the build puts into the program folder: the splash image, the landmark
// model pieces and the face cascade.

#include "tests/assets/BinDir.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <cstring>
#include <gtest/gtest.h>
#include <opencv2/objdetect.hpp>

TEST(SplashImage, LoadsAndShowsMoreThanABackground)
{
    QImage splash(binPath("splash.png"));
    ASSERT_FALSE(splash.isNull());
    EXPECT_GE(splash.width(), 400);
    EXPECT_GE(splash.height(), 200);

    QSet<QRgb> colours;
    for (int y = 0; y < splash.height(); y += 2) {
        for (int x = 0; x < splash.width(); x += 2)
            colours.insert(splash.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 100);

    // Text and motif are light on a dark background: there must be near-white pixels.
    int light = 0;
    for (int y = 0; y < splash.height(); ++y) {
        for (int x = 0; x < splash.width(); ++x)
            light += qGray(splash.pixel(x, y)) > 220;
    }
    EXPECT_GT(light, 2000);
}

TEST(LandmarkModelPieces, JoinedInOrderTheyAreTheModelByteForByte)
{
    const QStringList names = {"s", "g", "n", "z", "y", "m", "h"};
    QFile model(QStringLiteral(TOVRA_LANDMARK_MODEL_PATH));
    ASSERT_TRUE(model.open(QIODevice::ReadOnly)) << TOVRA_LANDMARK_MODEL_PATH;
    const qint64 total = model.size();

    qint64 joined = 0;
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const qint64 size = QFileInfo(binPath(name)).size();
        EXPECT_GT(size, total / 7 * 9 / 10) << "pieces should be of about equal size";
        EXPECT_LT(size, total / 7 * 11 / 10) << "pieces should be of about equal size";
        joined += size;
    }
    ASSERT_EQ(joined, total);

    QByteArray expected(1 << 20, Qt::Uninitialized);
    qint64 offset = 0;
    for (const QString &name : names) {
        QFile piece(binPath(name));
        ASSERT_TRUE(piece.open(QIODevice::ReadOnly)) << name.toStdString();
        while (!piece.atEnd()) {
            const QByteArray got = piece.read(expected.size());
            ASSERT_FALSE(got.isEmpty());
            ASSERT_EQ(model.read(expected.data(), got.size()), got.size());
            ASSERT_EQ(std::memcmp(expected.constData(), got.constData(), size_t(got.size())), 0)
                << "first difference within the megabyte at offset " << offset << " (piece "
                << name.toStdString() << ")";
            offset += got.size();
        }
    }
    EXPECT_EQ(offset, total);
}

TEST(FaceCascade, LoadsAsAnOpenCvCascadeClassifier)
{
    cv::CascadeClassifier cascade;
    ASSERT_TRUE(cascade.load(QFile::encodeName(binPath("hfd.xml")).toStdString()));
    EXPECT_FALSE(cascade.empty());
}
