// Writes the application's two icon files into a folder, and with a second
// folder the desktop's icon of the application at the theme's sizes:
// make-icons <folder> [<icon theme folder>]
//   ->  NerrinRed.ico, NerrinGray.ico; hicolor/<n>x<n>/apps/pallix.png
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

// The sizes desktops look for in the hicolor theme.
constexpr int ThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool writeThemeIcons(const QDir &theme)
{
    for (int size : ThemeSizes) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        const QString path = theme.filePath(folder + QStringLiteral("/pallix.png"));
        if (!theme.mkpath(folder) || !drawPowerSymbol(size, PowerRed).save(path, "PNG")) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", path.toLocal8Bit().constData());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make-icons <folder> [<icon theme folder>]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool written = writeIcon(folder, "NerrinRed.ico", PowerRed)
                   && writeIcon(folder, "NerrinGray.ico", PowerGray);
    if (written && argc == 3) written = writeThemeIcons(QDir(QString::fromLocal8Bit(argv[2])));
    return written ? 0 : 1;
}
