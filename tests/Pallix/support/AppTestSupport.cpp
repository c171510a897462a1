#include "AppTestSupport.h"

#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Files.h"
#include "app/LogFile.h"
#include "app/Text.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr const char *BuiltFiles[] = {"NerrinAPI.dll", "NerrinRed.ico", "NerrinGray.ico",
                                      "nrfwupdate.exe", "Pallix_User_Guide.pdf", "download"};
#else
constexpr const char *BuiltFiles[] = {"libNerrinAPI.so", "NerrinRed.ico", "NerrinGray.ico",
                                      "nrfwupdate", "Pallix_User_Guide.pdf", "download"};
#endif

fs::path uniqueFolder()
{
    std::random_device seed;
    for (;;) {
        const fs::path candidate =
            fs::temp_directory_path() / ("pallix-test-" + std::to_string(seed()));
        std::error_code error;
        if (fs::create_directory(candidate, error)) return candidate;
    }
}

// Linked where the system allows it, else copied.
void bringIn(const fs::path &source, const fs::path &target)
{
    std::error_code error;
    fs::create_symlink(source, target, error);
    if (error) fs::copy(source, target, fs::copy_options::recursive, error);
}

}   // namespace

void setEnvironment(const char *name, const std::string &value)
{
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

TestAppFolder::TestAppFolder()
{
    const fs::path folder = uniqueFolder();
    const fs::path built = fsPath(PALLIX_BUILD_APP_DIR);
    for (const char *name : BuiltFiles)
        if (fs::exists(built / name)) bringIn(built / name, folder / name);
    path_ = appFolder(utf8Of(folder));
    appState().appPath = path_;
    // A log that leaves the application folder stays inside the test's own.
    setEnvironment("XDG_STATE_HOME", path_ + "state");
    setEnvironment("XDG_CONFIG_HOME", path_ + "config");
    setEnvironment("LOCALAPPDATA", path_ + "state");
}

TestAppFolder::~TestAppFolder()
{
    std::error_code ignored;
    fs::remove_all(fsPath(path_), ignored);
}

std::string TestAppFolder::path() const { return path_; }

std::string TestAppFolder::logText() const { return readFile(logFilePath()).value_or(""); }

std::vector<std::string> TestAppFolder::logLines() const
{
    std::vector<std::string> entries;
    for (const std::string &line : split(logText(), '\n')) {
        std::string entry = line;
        if (!entry.empty() && entry.back() == '\r') entry.pop_back();
        if (entry.empty()) continue;
        entries.push_back(entry.substr(0, entry.find(" --- ")));
    }
    return entries;
}
