// Writes the application icon beside the program ("<base>.png" and
// "<base>.ico"), the files the file-type registration points the desktop
// to. Run by the build after Dyma2 is linked.
#include "app/widgets/icons.h"

#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dyma_makeicons <program path without extension>\n");
        return 2;
    }
    const QString base = QString::fromLocal8Bit(argv[1]);
    if (!dyma::gui::BeachBallImage(64).save(base + QStringLiteral(".png"), "PNG")) {
        std::fprintf(stderr, "cannot write %s.png\n", argv[1]);
        return 1;
    }
    // The ico writer is a plug-in; a build without it still has the png.
    QImageWriter ico(base + QStringLiteral(".ico"), "ico");
    if (ico.canWrite()) ico.write(dyma::gui::BeachBallImage(48));
    return 0;
}
