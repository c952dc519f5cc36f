// tovra-icons: writes the main window's button icons into a folder of the build tree, from
// where the program embeds them as resources. Run by the build.
//
//   tovra-icons OUTDIR

#include "assets/GeneratedAsset.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tovra-icons OUTDIR\n");
        return 2;
    }
    // Painting needs a GUI application but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "tovra-icons: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    bool ok = true;
    for (const GeneratedAsset &icon : iconAssets()) {
        const QByteArray bytes = icon.make();
        QSaveFile file(QDir(outDir).filePath(icon.fileName));
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size() || !file.commit()) {
            std::fprintf(stderr, "tovra-icons: could not make %s\n", qPrintable(icon.fileName));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
