// The landmark model joined from its seven pieces: read whole, or refused with a message that
// names the faulty piece, and the joined file removed on every path.

#include "core/AppFilePaths.h"
#include "tests/vision/FacePhotos.h"
#include "vision/FaceTracker.h"
#include "vision/LandmarkModelFile.h"
#include "vision/face_tracker_core.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <dlib/serialize.h>

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

// A folder of pieces linked to the program's own, any of which a test can replace.
class LandmarkModelFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pieces.isValid() && temp.isValid());
        const QStringList files = landmarkModelPieceNames() << landmarkModelPiecesListName();
        for (const QString &name : files)
            ASSERT_TRUE(QFile::link(programFile(name), pieces.filePath(name))) << qPrintable(name);
        savedTempPath = AppFilePaths::landmarkModelTempFile;
        AppFilePaths::landmarkModelTempFile = temp.filePath("tmp");
    }
    void TearDown() override { AppFilePaths::landmarkModelTempFile = savedTempPath; }

    static QByteArray original(const QString &name)
    {
        QFile f(programFile(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void replacePiece(const QString &name, const QByteArray &content)
    {
        QFile::remove(pieces.filePath(name));
        QFile f(pieces.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    // Expects the model to be refused with a message that names `piece`.
    void expectRefused(const QString &piece, const QString &reason)
    {
        face_tracker_core model;
        QString &error = lastError;
        error.clear();
        EXPECT_FALSE(loadLandmarkModel(model, pieces.path(), &error));
        EXPECT_FALSE(model.isLoaded());
        EXPECT_TRUE(error.contains(QStringLiteral("\"%1\"").arg(piece))) << qPrintable(error);
        EXPECT_TRUE(error.contains(reason)) << qPrintable(error);
        EXPECT_TRUE(joinedFilesLeft().isEmpty());
    }
    QStringList joinedFilesLeft() const
    {
        return QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).filter("model");
    }

    QTemporaryDir pieces;
    QTemporaryDir temp;
    QString savedTempPath;
    QString lastError;
};

TEST_F(LandmarkModelFile, JoinedPiecesReadBackAndTheJoinedFileIsGone)
{
    // A stale file at the temporary path from an earlier run neither stops nor joins in.
    QFile stale(temp.filePath("tmp"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("left over");
    stale.close();

    face_tracker_core model;
    QString error;
    ASSERT_TRUE(loadLandmarkModel(model, pieces.path(), &error)) << qPrintable(error);
    EXPECT_TRUE(model.isLoaded());
    EXPECT_TRUE(joinedFilesLeft().isEmpty());
}

TEST_F(LandmarkModelFile, AMissingPieceIsNamed)
{
    QFile::remove(pieces.filePath("z"));
    expectRefused("z", "missing");
}

TEST_F(LandmarkModelFile, AnEmptyOrUnreadablePieceIsNamed)
{
    replacePiece("m", QByteArray());
    expectRefused("m", "empty");
    QFile::remove(pieces.filePath("n"));
    ASSERT_TRUE(QDir(pieces.path()).mkdir("n"));
    expectRefused("n", "could not be read");
}

TEST_F(LandmarkModelFile, PiecesInAnotherOrderDoNotReadBack)
{
    replacePiece("g", original("n"));
    replacePiece("n", original("g"));
    expectRefused("g", "damaged");
}

TEST_F(LandmarkModelFile, ATruncatedPieceIsNamedNotTheOneAfterIt)
{
    const QByteArray y = original("y");
    replacePiece("y", y.left(y.size() / 2));
    expectRefused("y", "damaged");
    EXPECT_FALSE(lastError.contains("\"m\"")) << qPrintable(lastError);
}

// One changed byte anywhere inside a piece may still read as a (slightly wrong) model.
TEST_F(LandmarkModelFile, AnyChangedByteIsNamedByItsPiece)
{
    std::mt19937 random(26);
    const QStringList names = landmarkModelPieceNames();
    for (int round = 0; round < 6; ++round) {
        const QString name = names[int(random() % unsigned(names.size()))];
        QByteArray bytes = original(name);
        const int at = int(random() % unsigned(bytes.size()));
        bytes[at] = char(bytes[at] ^ char(1 + random() % 255));
        SCOPED_TRACE(QStringLiteral("%1 at %2").arg(name).arg(at).toStdString());
        replacePiece(name, bytes);
        expectRefused(name, "damaged");
        replacePiece(name, original(name));
    }
}

TEST_F(LandmarkModelFile, AMissingOrIncompleteListOfPiecesIsNamed)
{
    const QString list = landmarkModelPiecesListName();
    QByteArray recorded;
    {
        QFile f(programFile(list));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        recorded = f.readAll();
    }
    QFile::remove(pieces.filePath(list));
    expectRefused(list, "missing");
    replacePiece(list, recorded.left(recorded.indexOf("\nh ") + 1));
    expectRefused("h", "does not record");
}

TEST_F(LandmarkModelFile, CorruptedBytesAreDamageNamedByWhereReadingStopped)
{
    QByteArray n = original("n");
    n.replace(1000, 4096, QByteArray(4096, char(0xFF)));
    replacePiece("n", n);
    expectRefused("n", "damaged");
}

TEST_F(LandmarkModelFile, DataAfterTheModelIsDamage)
{
    replacePiece("h", original("h") + QByteArray(16, '\1'));
    expectRefused("h", "damaged");
}

TEST(LandmarkModelStream, AnotherVersionIsRefusedWithItsMessage)
{
    std::stringstream stream;
    dlib::serialize(2, stream);
    face_tracker_core model;
    try {
        deserialize_face_tracker_core(model, stream);
        FAIL() << "version 2 was accepted";
    } catch (const dlib::serialization_error &e) {
        EXPECT_STREQ(e.what(), "Unexpected version found while deserializing face_tracker_core.");
    }
    EXPECT_FALSE(model.isLoaded());
}

TEST(LandmarkModelStream, ACountBeyondTheDataEndsTheReadInsteadOfAllocating)
{
    std::stringstream stream;
    dlib::serialize(1, stream);
    dlib::serialize(-136L, stream);
    dlib::serialize(-1L, stream);
    for (int i = 0; i < 136; ++i)
        dlib::serialize(0.5f, stream);
    dlib::serialize(~0UL >> 4, stream); // "levels": far more than the stream holds
    face_tracker_core model;
    EXPECT_THROW(deserialize_face_tracker_core(model, stream), dlib::serialization_error);
}

TEST_F(LandmarkModelFile, TheTrackerReportsAFaultyModelInsteadOfThrowing)
{
    QFile::remove(pieces.filePath("s"));
    FaceTracker tracker(pieces.path());
    EXPECT_FALSE(tracker.isReady());
    EXPECT_TRUE(tracker.errorString().contains("\"s\"")) << qPrintable(tracker.errorString());
    EXPECT_TRUE(tracker.errorString().contains(QDir::toNativeSeparators(pieces.path())));
    FaceBox detectorBox, faceBox;
    FaceShape shape;
    const cv::Mat image = greyPhoto("2008_002506.jpg");
    EXPECT_FALSE(
        tracker.track(image, FaceBox(), FaceShape(), true, true, detectorBox, faceBox, shape));
    EXPECT_TRUE(faceBox.isEmpty());
    EXPECT_TRUE(shape.points.empty());
}

} // namespace
