// tovra-assets: writes the program's own images and sounds into the program folder, and
// splits the landmark model into the pieces the program joins at start. Run by the build.
//
//   tovra-assets OUTDIR                    every image, cursor and sound, into OUTDIR
//   tovra-assets --split-model SRC OUTDIR  the model pieces, into OUTDIR

#include "assets/GeneratedAsset.h"
#include "assets/ModelSplit.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

namespace {

// Joined in this order at start, they give back the model.
const QStringList ModelPieceNames = {"s", "g", "n", "z", "y", "m", "h"};

void printError(const QString &text)
{
    std::fprintf(stderr, "tovra-assets: %s\n", qPrintable(text));
}

bool writeAsset(const QDir &dir, const GeneratedAsset &asset)
{
    const QByteArray bytes = asset.make();
    if (bytes.isEmpty()) {
        printError(QStringLiteral("could not make %1").arg(asset.fileName));
        return false;
    }
    QSaveFile file(dir.filePath(asset.fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        printError(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
        return false;
    }
    return true;
}

int generate(const QString &outDir)
{
    if (!QDir().mkpath(outDir)) {
        printError(QStringLiteral("cannot create %1").arg(outDir));
        return 1;
    }
    const QDir dir(outDir);
    std::vector<GeneratedAsset> assets = soundAssets();
    for (auto &&more : {imageAssets(), statusImageAssets(), cursorAssets()}) {
        for (const GeneratedAsset &asset : more)
            assets.push_back(asset);
    }

    bool ok = true;
    for (const GeneratedAsset &asset : assets)
        ok = writeAsset(dir, asset) && ok;
    return ok ? 0 : 1;
}

int splitModel(const QString &source, const QString &outDir)
{
    if (!QFileInfo::exists(source)) {
        printError(QStringLiteral("the landmark model %1 is missing; it comes with the Debian "
                                  "package libdlib-data (apt-get install libdlib-data)")
                       .arg(source));
        return 1;
    }
    QString error;
    if (!splitIntoPieces(source, outDir, ModelPieceNames, &error)) {
        printError(error);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    if (args.size() == 3 && args.at(0) == QLatin1String("--split-model"))
        return splitModel(args.at(1), args.at(2));
    if (args.size() == 1 && !args.at(0).startsWith(QLatin1String("--"))) {
        // Drawing text needs a GUI application but never a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return generate(args.at(0));
    }

    std::fprintf(stderr, "usage: tovra-assets OUTDIR\n"
                         "       tovra-assets --split-model SOURCE OUTDIR\n");
    return 2;
}
