// Writes the application's two icon files into a folder:
// make-icons <folder>  ->  NerrinRed.ico, NerrinGray.ico
#include "PowerIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>

namespace {

bool writeIcon(const QDir &folder, const char *name, const QColor &colour)
{
    const QString path = folder.filePath(QString::fromLatin1(name));
    QImageWriter writer(path, "ico");
    if (!writer.write(drawPowerSymbol(32, colour))) {
        std::fprintf(stderr, "make-icons: cannot write %s: %s\n", path.toLocal8Bit().constData(),
                     writer.errorString().toLocal8Bit().constData());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icons <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool written = writeIcon(folder, "NerrinRed.ico", PowerRed)
                         && writeIcon(folder, "NerrinGray.ico", PowerGray);
    return written ? 0 : 1;
}
