// render-guide GUIDE.md OUTPUT.pdf: the user guide as the application ships it.
#include "GuideRenderer.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace {

constexpr qint64 MaxGuideBytes = 4 * 1024 * 1024;

int fail(const QString &why)
{
    std::fprintf(stderr, "render-guide: %s\n", why.toLocal8Bit().constData());
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);   // fonts need a GUI application
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) return fail(QStringLiteral("usage: render-guide GUIDE.md OUTPUT.pdf"));

    QFile source(args[1]);
    if (!source.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(args[1], source.errorString()));
    if (source.size() > MaxGuideBytes)
        return fail(QStringLiteral("%1 is larger than %2 bytes").arg(args[1]).arg(MaxGuideBytes));
    const QString markdown = QString::fromUtf8(source.readAll());
    if (markdown.trimmed().isEmpty()) return fail(QStringLiteral("%1 has no text").arg(args[1]));

    const QString error =
        renderGuide(markdown, QStringLiteral("Pallix™ Control Center User Guide"), args[2]);
    if (!error.isEmpty())
        return fail(QStringLiteral("cannot write %1: %2").arg(args[2], error));
    const QByteArray written = QFileInfo(args[2]).absoluteFilePath().toLocal8Bit();
    std::printf("render-guide: wrote %s\n", written.constData());
    return 0;
}
