#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;
class face_tracker_core;

// The landmark model ships as seven piece files beside the program, joined in this order.
QStringList landmarkModelPieceNames();
// The list the build writes beside the pieces: one line per piece, "name size sha256".
QString landmarkModelPiecesListName();

// Copies the pieces from `folder` into `out`, in order. False, with a message naming the
// piece, when one is missing, unreadable, empty, or not of the size and checksum that the list
// beside them records, or when writing fails; also when the list is missing or does not name
// every piece. `pieceEnds` gets the offset at which each piece ends in the joined file.
bool assembleLandmarkModelFile(QIODevice &out, const QString &folder, QString *error,
                               QVector<qint64> *pieceEnds = nullptr);

// Joins the pieces into a unique temporary file next to the temporary landmark model path,
// reads the model from it and removes the file, on every path. False, with a message for the
// user naming the faulty piece, when the model cannot be read; `model` is then unchanged.
bool loadLandmarkModel(face_tracker_core &model, const QString &folder, QString *error);
