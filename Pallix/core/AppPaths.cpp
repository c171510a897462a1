#include "AppPaths.h"

#include "AppState.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct Location {
    const char *beside;      // in the application folder
    const char *installed;   // from the program's folder in the installed layout
};

// The installed layout as the package lays it out; the library folder is
// the build's own (multiarch on Debian).
Location locationOf(AppFile file)
{
    switch (file) {
    case AppFile::RedIcon: return {"NerrinRed.ico", "../share/pallix/NerrinRed.ico"};
    case AppFile::GrayIcon: return {"NerrinGray.ico", "../share/pallix/NerrinGray.ico"};
    case AppFile::UserGuide:
        return {"Pallix_User_Guide.pdf", "../share/pallix/Pallix_User_Guide.pdf"};
    case AppFile::FirmwareImage:
        return {"download/test_out.hex", "../share/pallix/download/test_out.hex"};
    case AppFile::Updater: return {"nrfwupdate", "nrfwupdate"};
    case AppFile::Library: return {"libNerrinAPI.so", "../" PALLIX_INSTALLED_LIBRARY};
    }
    return {"", ""};
}

QString stateFolder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(base + QStringLiteral("/pallix")) + QLatin1Char('/');
}

}   // namespace

QString appFile(AppFile file)
{
    const QString folder = appState().appPath;
    const Location location = locationOf(file);
    const QString beside = folder + QString::fromLatin1(location.beside);
    if (QFileInfo::exists(beside)) return beside;
    return QDir::cleanPath(folder + QString::fromLatin1(location.installed));
}

bool runsFromAppFolder()
{
    return QFileInfo::exists(appState().appPath
                             + QString::fromLatin1(locationOf(AppFile::Library).beside));
}

QString describePaths()
{
    const struct {
        AppFile file;
        const char *name;
    } files[] = {
        {AppFile::RedIcon, "icon"},         {AppFile::GrayIcon, "icon"},
        {AppFile::UserGuide, "user guide"}, {AppFile::FirmwareImage, "firmware image"},
        {AppFile::Updater, "updater"},      {AppFile::Library, "device library"},
    };
    QString text;
    for (const auto &f : files) {
        const QString path = appFile(f.file);
        text += QStringLiteral("%1: %2%3\n")
                    .arg(QString::fromLatin1(f.name), path,
                         QFileInfo::exists(path) ? QString() : QStringLiteral(" (missing)"));
    }
    return text + QStringLiteral("log: ") + logFolder() + QStringLiteral("log.txt\n");
}

QString logFolder()
{
    const QString folder = appState().appPath;
    if (runsFromAppFolder() && QFileInfo(folder).isWritable()) return folder;
    const QString state = stateFolder();
    QDir().mkpath(state);
    return state;
}
