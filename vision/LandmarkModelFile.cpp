#include "vision/LandmarkModelFile.h"

#include "core/AppFilePaths.h"
#include "vision/face_tracker_core.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

struct RecordedPiece
{
    qint64 size = -1;
    QByteArray sha256; // lower-case hex
};

// The pieces' sizes and checksums as the build recorded them; false with a message when the
// list cannot be read or leaves a piece out.
bool readPiecesList(const QDir &dir, const QString &where, QHash<QString, RecordedPiece> *pieces,
                    QString *error)
{
    const QString listName = landmarkModelPiecesListName();
    QFile list(dir.filePath(listName));
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = tr("The list of the face model's pieces (%1) is missing from %2 or could not be "
                    "read.")
                     .arg(pieceName(listName), where);
        return false;
    }
    while (!list.atEnd()) {
        const QList<QByteArray> fields = list.readLine().simplified().split(' ');
        bool ok = false;
        const qint64 size = fields.size() == 3 ? fields[1].toLongLong(&ok) : -1;
        if (ok && size > 0)
            pieces->insert(QString::fromUtf8(fields[0]), {size, fields[2].toLower()});
    }
    for (const QString &name : landmarkModelPieceNames()) {
        if (!pieces->contains(name)) {
            *error = tr("The list of the face model's pieces (%1) in %2 does not record the piece "
                        "%3.")
                         .arg(pieceName(listName), where, pieceName(name));
            return false;
        }
    }
    return true;
}

} // namespace

QStringList landmarkModelPieceNames()
{
    return {"s", "g", "n", "z", "y", "m", "h"};
}

QString landmarkModelPiecesListName()
{
    return QStringLiteral("model-pieces.txt");
}

bool assembleLandmarkModelFile(QIODevice &out, const QString &folder, QString *error,
                               QVector<qint64> *pieceEnds)
{
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    const QString where = QDir::toNativeSeparators(dir.absolutePath());
    QHash<QString, RecordedPiece> recorded;
    if (!readPiecesList(dir, where, &recorded, error))
        return false;
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
        // A change inside a piece can still read as a model, a slightly wrong one: each piece
        // is held to what the build recorded, so the damage is named where it is.
        const RecordedPiece &expected = recorded[name];
        if (bytes.size() != expected.size) {
            *error = tr("The face model piece %1 in %2 is damaged: it holds %3 bytes instead of "
                        "%4.")
                         .arg(pieceName(name), where)
                         .arg(bytes.size())
                         .arg(expected.size);
            return false;
        }
        if (QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() !=
            expected.sha256) {
            *error = tr("The face model piece %1 in %2 is damaged: its content is not what the "
                        "build made.")
                         .arg(pieceName(name), where);
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
