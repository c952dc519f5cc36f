#include "vision/LandmarkModelFile.h"

#include "core/AppFilePaths.h"
#include "vision/face_tracker_core.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <dlib/serialize.h>

#include <fstream>
#include <vector>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("FaceTracker", text);
}

QString pieceName(const QString &name)
{
    return QStringLiteral("\"%1\"").arg(name);
}

// Where the joined model goes: beside the program's temporary model path when it is known.
QString temporaryTemplate()
{
    QString base = AppFilePaths::landmarkModelTempFile;
    if (base.isEmpty())
        base = QDir(QDir::tempPath()).filePath(QStringLiteral("tmp"));
    return base + QStringLiteral("-model-XXXXXX");
}

} // namespace

QStringList landmarkModelPieceNames()
{
    return {"s", "g", "n", "z", "y", "m", "h"};
}

bool assembleLandmarkModelFile(QIODevice &out, const QString &folder, QString *error,
                               QVector<qint64> *pieceEnds)
{
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    const QString where = QDir::toNativeSeparators(dir.absolutePath());
    qint64 total = 0;
    for (const QString &name : landmarkModelPieceNames()) {
        QFile piece(dir.filePath(name));
        const QFileInfo info(piece);
        if (!info.exists()) {
            *error = tr("The face model piece %1 is missing from %2.").arg(pieceName(name), where);
            return false;
        }
        if (!info.isFile()) {
            *error = tr("The face model piece %1 in %2 could not be read (%3).")
                         .arg(pieceName(name), where, tr("it is not a file"));
            return false;
        }
        if (!piece.open(QIODevice::ReadOnly)) {
            *error = tr("The face model piece %1 in %2 could not be read (%3).")
                         .arg(pieceName(name), where, piece.errorString());
            return false;
        }
        const QByteArray bytes = piece.readAll();
        if (piece.error() != QFileDevice::NoError) {
            *error = tr("The face model piece %1 in %2 could not be read (%3).")
                         .arg(pieceName(name), where, piece.errorString());
            return false;
        }
        if (bytes.isEmpty()) {
            *error = tr("The face model piece %1 in %2 is empty.").arg(pieceName(name), where);
            return false;
        }
        if (out.write(bytes) != bytes.size()) {
            *error = tr("The face model could not be written to a temporary file (%1).")
                         .arg(out.errorString());
            return false;
        }
        total += bytes.size();
        if (pieceEnds)
            pieceEnds->append(total);
    }
    return true;
}

bool loadLandmarkModel(face_tracker_core &model, const QString &folder, QString *error)
{
    QVector<qint64> pieceEnds;
    std::vector<char> buffer(1 << 20);
    std::ifstream in;
    in.rdbuf()->pubsetbuf(buffer.data(), std::streamsize(buffer.size()));
    {
        // Removed when this scope ends, on every path; the open stream keeps the data.
        QTemporaryFile joined(temporaryTemplate());
        if (!joined.open()) {
            *error =
                tr("The face model could not be joined into a temporary file in %1 (%2).")
                    .arg(QDir::toNativeSeparators(QFileInfo(joined.fileTemplate()).absolutePath()),
                         joined.errorString());
            return false;
        }
        if (!assembleLandmarkModelFile(joined, folder, error, &pieceEnds))
            return false;
        if (!joined.flush()) {
            *error = tr("The face model could not be written to a temporary file (%1).")
                         .arg(joined.errorString());
            return false;
        }
        in.open(QFile::encodeName(joined.fileName()).toStdString(), std::ios::binary);
        if (!in) {
            *error = tr("The joined face model in %1 could not be opened.")
                         .arg(QDir::toNativeSeparators(joined.fileName()));
            return false;
        }
    }

    try {
        face_tracker_core loaded;
        deserialize_face_tracker_core(loaded, in);
        model = std::move(loaded);
        return true;
    } catch (const std::exception &e) {
        // Name the piece in which reading stopped: the damage is there or before it.
        in.clear();
        const qint64 offset = qint64(in.tellg());
        const QStringList names = landmarkModelPieceNames();
        QString piece = names.last();
        for (int i = 0; i < pieceEnds.size(); ++i) {
            if (offset >= 0 && offset < pieceEnds[i]) {
                piece = names[i];
                break;
            }
        }
        const QString where = QDir::toNativeSeparators(
            QDir(folder.isEmpty() ? QDir::currentPath() : folder).absolutePath());
        *error =
            tr("The face model joined from its pieces in %1 is damaged: reading stopped "
               "in piece %2 (%3).")
                .arg(where, pieceName(piece),
                     QString::fromLocal8Bit(e.what()).section(QLatin1Char('\n'), 0, 0).trimmed());
        return false;
    }
}
