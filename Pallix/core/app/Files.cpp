#include "app/Files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

fs::path fsPath(const std::string &utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const fs::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool fileExists(const std::string &path)
{
    std::error_code error;
    return fs::exists(fsPath(path), error);
}

bool folderWritable(const std::string &folder)
{
#ifdef _WIN32
    const fs::path probe = fsPath(folder) / L".pallix-write-test";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
#else
    return ::access(fsPath(folder).c_str(), W_OK) == 0;
#endif
}

std::optional<std::string> environment(const char *name)
{
#ifdef _WIN32
    const std::wstring wide(name, name + std::strlen(name));
    const DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(wide.c_str(), value.data(), size));
    return utf8Of(fs::path(value));
#else
    const char *value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
#endif
}

namespace {

#ifndef _WIN32
// The bytes reach the disk before the rename makes them the file.
bool writeDurably(const fs::path &path, const std::string &content, std::string *error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        written += size_t(n);
    }
    const bool synced = ::fsync(fd) == 0;
    if (!synced) *error = std::strerror(errno);
    return ::close(fd) == 0 && synced;
}
#else
bool writeDurably(const fs::path &path, const std::string &content, std::string *error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), std::streamsize(content.size()));
    out.flush();
    if (!out) *error = "cannot write " + utf8Of(path);
    return bool(out);
}
#endif

}   // namespace

bool replaceFile(const std::string &path, const std::string &content, std::string *error)
{
    const fs::path target = fsPath(path);
    fs::path temporary = target;
    temporary += ".new";
    std::string reason;
    if (!writeDurably(temporary, content, &reason)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        if (error) *error = reason;
        return false;
    }
    std::error_code renamed;
    fs::rename(temporary, target, renamed);
    if (renamed) {
        if (error) *error = renamed.message();
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

// A read error (a /proc file whose process just ended) is thrown from deep
// inside the stream, whatever its exception mask says.
std::optional<std::string> readFile(const std::string &path)
{
    try {
        std::ifstream in(fsPath(path), std::ios::binary);
        if (!in) return std::nullopt;
        std::string content((std::istreambuf_iterator<char>(in)),
                            std::istreambuf_iterator<char>());
        if (in.bad()) return std::nullopt;
        return content;
    } catch (const std::ios_base::failure &) {
        return std::nullopt;
    }
}
