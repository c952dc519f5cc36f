#pragma once

#include <QString>
#include <QStringList>

// Splits `sourcePath` into one file per name in `pieceNames`, written into `destDir`, so that
// joining them in order gives back the source byte for byte. Sizes differ by at most one
// byte. Each piece is written whole or not at all. Returns false with `error` set on failure.
bool splitIntoPieces(const QString &sourcePath, const QString &destDir,
                     const QStringList &pieceNames, QString *error);
