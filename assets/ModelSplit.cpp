#include "assets/ModelSplit.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

const char *const ModelPiecesListName = "model-pieces.txt";

bool splitIntoPieces(const QString &sourcePath, const QString &destDir,
                     const QStringList &pieceNames, QString *error)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(sourcePath, source.errorString());
        return false;
    }
    const qint64 total = source.size();
    const qint64 count = pieceNames.size();
    // An empty piece would be indistinguishable from a failed write later on.
    if (count == 0 || total < count) {
        *error = QStringLiteral("%1 holds %2 bytes, too few for %3 pieces")
                     .arg(sourcePath)
                     .arg(total)
                     .arg(count);
        return false;
    }
    if (!QDir().mkpath(destDir)) {
        *error = QStringLiteral("cannot create %1").arg(destDir);
        return false;
    }

    QByteArray buffer(1 << 20, Qt::Uninitialized);
    QByteArray list;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 size = total / count + (i < total % count ? 1 : 0);
        qint64 remaining = size;
        QCryptographicHash sum(QCryptographicHash::Sha256);
        QSaveFile piece(QDir(destDir).filePath(pieceNames.at(int(i))));
        if (!piece.open(QIODevice::WriteOnly)) {
            *error =
                QStringLiteral("cannot write %1: %2").arg(piece.fileName(), piece.errorString());
            return false;
        }
        while (remaining > 0) {
            const qint64 n = source.read(buffer.data(), qMin<qint64>(buffer.size(), remaining));
            if (n <= 0) {
                *error = QStringLiteral("%1 ended early or could not be read").arg(sourcePath);
                piece.cancelWriting();
                return false;
            }
            sum.addData(buffer.constData(), int(n));
            if (piece.write(buffer.constData(), n) != n) {
                *error = QStringLiteral("cannot write %1: %2")
                             .arg(piece.fileName(), piece.errorString());
                piece.cancelWriting();
                return false;
            }
            remaining -= n;
        }
        if (!piece.commit()) {
            *error =
                QStringLiteral("cannot write %1: %2").arg(piece.fileName(), piece.errorString());
            return false;
        }
        list += pieceNames.at(int(i)).toUtf8() + ' ' + QByteArray::number(size) + ' ' +
                sum.result().toHex() + '\n';
    }
    if (!source.atEnd()) {
        *error = QStringLiteral("%1 grew while it was being split").arg(sourcePath);
        return false;
    }
    QSaveFile listFile(QDir(destDir).filePath(QString::fromLatin1(ModelPiecesListName)));
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(list) != list.size() ||
        !listFile.commit()) {
        *error =
            QStringLiteral("cannot write %1: %2").arg(listFile.fileName(), listFile.errorString());
        return false;
    }
    return true;
}
