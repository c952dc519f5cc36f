#pragma once

#include <QString>
#include <QStringList>

// Splits `sourcePath` into one file per name in `pieceNames`, written into `destDir`, so that
// joining them in order gives back the source byte for byte. Sizes differ by at most one
// byte. Each piece is written whole or not at all. Beside them goes the list of the pieces,
// ModelPiecesListName: one line per piece, in order, "name size sha256" (the checksum in
// lower-case hex), from which the program tells at start which piece is damaged. Returns false
// with `error` set on failure.
extern const char *const ModelPiecesListName;
bool splitIntoPieces(const QString &sourcePath, const QString &destDir,
                     const QStringList &pieceNames, QString *error);
