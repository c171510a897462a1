#include "app/AppPaths.h"

#include "app/AppState.h"
#include "app/Files.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char Separator = '\\';
#else
constexpr char Separator = '/';
#endif

struct Location {
    const char *beside;      // in the application folder
    const char *installed;   // from the program's folder in the installed layout
};

// The installed layout as the package lays it out; the library folder is
// the build's own (multiarch on Debian). On Windows everything lies beside
// the program.
Location locationOf(AppFile file)
{
    switch (file) {
    case AppFile::RedIcon: return {"NerrinRed.ico", "../share/pallix/NerrinRed.ico"};
    case AppFile::GrayIcon: return {"NerrinGray.ico", "../share/pallix/NerrinGray.ico"};
    case AppFile::UserGuide:
        return {"Pallix_User_Guide.pdf", "../share/pallix/Pallix_User_Guide.pdf"};
#ifdef _WIN32
    case AppFile::FirmwareImage: return {"download\\test_out.hex", "download\\test_out.hex"};
    case AppFile::Updater: return {"nrfwupdate.exe", "nrfwupdate.exe"};
    case AppFile::Library: return {"NerrinAPI.dll", "NerrinAPI.dll"};
#else
    case AppFile::FirmwareImage:
        return {"download/test_out.hex", "../share/pallix/download/test_out.hex"};
    case AppFile::Updater: return {"nrfwupdate", "nrfwupdate"};
    case AppFile::Library: return {"libNerrinAPI.so", "../" PALLIX_INSTALLED_LIBRARY};
#endif
    }
    return {"", ""};
}

std::string cleaned(const std::string &path)
{
    return utf8Of(fsPath(path).lexically_normal());
}

}   // namespace

std::string appFile(AppFile file)
{
    const std::string &folder = appState().appPath;
    const Location location = locationOf(file);
    const std::string beside = folder + location.beside;
    if (fileExists(beside)) return beside;
    return cleaned(folder + location.installed);
}

bool runsFromAppFolder()
{
    return fileExists(appState().appPath + locationOf(AppFile::Library).beside);
}

std::string describePaths()
{
    const struct {
        AppFile file;
        const char *name;
    } files[] = {
        {AppFile::RedIcon, "icon"},         {AppFile::GrayIcon, "icon"},
        {AppFile::UserGuide, "user guide"}, {AppFile::FirmwareImage, "firmware image"},
        {AppFile::Updater, "updater"},      {AppFile::Library, "device library"},
    };
    std::string text;
    for (const auto &f : files) {
        const std::string path = appFile(f.file);
        text += std::string(f.name) + ": " + path + (fileExists(path) ? "" : " (missing)") + "\n";
    }
    return text + "log: " + logFolder() + "log.txt\n";
}

std::string stateFolder()
{
#ifdef _WIN32
    const std::string base = environment("LOCALAPPDATA").value_or(appState().appPath);
    const std::string folder = appFolder(base) + "Pallix\\";
#else
    std::string base = environment("XDG_STATE_HOME").value_or("");
    if (base.empty() || fsPath(base).is_relative())
        base = environment("HOME").value_or("/tmp") + "/.local/state";
    const std::string folder = cleaned(base + "/pallix") + "/";
#endif
    std::error_code ignored;
    fs::create_directories(fsPath(folder), ignored);
    return folder;
}

std::string logFolder()
{
    const std::string &folder = appState().appPath;
    if (runsFromAppFolder() && folderWritable(folder)) return folder;
    return stateFolder();
}

std::string appFolder(const std::string &folder)
{
    if (!folder.empty() && (folder.back() == '/' || folder.back() == Separator)) return folder;
    return folder + Separator;
}
