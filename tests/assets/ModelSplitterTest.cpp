#include "assets/ModelSplit.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const QStringList Pieces = {"s", "g", "n", "z", "y", "m", "h"};

QByteArray pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 256) & 0xff);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(ModelSplitter, PiecesJoinBackAndDifferInSizeByAtMostOneByte)
{
    // Sizes around the piece count and not divisible by it, and one spanning the copy buffer.
    for (int size : {7, 8, 13, 100, 3 * (1 << 20) + 5}) {
        SCOPED_TRACE(size);
        QTemporaryDir dir;
        const QByteArray original = pattern(size);
        writeFile(dir.filePath("model.dat"), original);

        QString error;
        ASSERT_TRUE(splitIntoPieces(dir.filePath("model.dat"), dir.filePath("out"), Pieces, &error))
            << error.toStdString();
        QByteArray joined;
        int smallest = size, largest = 0;
        for (const QString &name : Pieces) {
            const QByteArray piece = readFile(QDir(dir.filePath("out")).filePath(name));
            smallest = std::min(smallest, int(piece.size()));
            largest = std::max(largest, int(piece.size()));
            joined += piece;
        }
        EXPECT_EQ(joined, original);
        EXPECT_GE(smallest, 1);
        EXPECT_LE(largest - smallest, 1);

        // The list beside them records each piece's size and checksum, in order.
        const QList<QByteArray> lines =
            readFile(QDir(dir.filePath("out")).filePath(ModelPiecesListName)).split('\n');
        ASSERT_EQ(lines.size(), Pieces.size() + 1);
        for (int i = 0; i < Pieces.size(); ++i) {
            const QByteArray piece = readFile(QDir(dir.filePath("out")).filePath(Pieces[i]));
            EXPECT_EQ(lines[i],
                      Pieces[i].toUtf8() + ' ' + QByteArray::number(piece.size()) + ' ' +
                          QCryptographicHash::hash(piece, QCryptographicHash::Sha256).toHex());
        }
    }
}

TEST(ModelSplitter, RefusesMissingOrTooSmallSourcesAndWritesNothing)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(splitIntoPieces(dir.filePath("absent.dat"), dir.filePath("out"), Pieces, &error));
    EXPECT_TRUE(error.contains("absent.dat"));

    writeFile(dir.filePath("tiny.dat"), "abc");
    error.clear();
    EXPECT_FALSE(splitIntoPieces(dir.filePath("tiny.dat"), dir.filePath("out"), Pieces, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(dir.filePath("out")).filePath("s")));
}

TEST(ModelSplitter, ReportsAnUnwritableDestination)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("model.dat"), pattern(100));
    writeFile(dir.filePath("blocker"), "a file where the folder should be");
    QString error;
    EXPECT_FALSE(
        splitIntoPieces(dir.filePath("model.dat"), dir.filePath("blocker/out"), Pieces, &error));
    EXPECT_FALSE(error.isEmpty());
}

// The build runs this; a missing model must stop it with a message that names the package.
TEST(ModelSplitter, GeneratorFailsNamingThePackageWhenTheModelIsMissing)
{
    QTemporaryDir dir;
    QProcess generator;
    generator.start(QStringLiteral(TOVRA_ASSETS_TOOL),
                    {"--split-model", dir.filePath("absent.dat"), dir.path()});
    ASSERT_TRUE(generator.waitForFinished(30000));
    EXPECT_EQ(generator.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(generator.exitCode(), 0);
    const QString message = QString::fromLocal8Bit(generator.readAllStandardError());
    EXPECT_TRUE(message.contains("libdlib-data")) << message.toStdString();
    EXPECT_TRUE(message.contains("absent.dat")) << message.toStdString();
}
