// A shared library loaded by path at run time: dlopen on Linux,
// LoadLibraryW on Windows.
#pragma once

#include <string>

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary &) = delete;
    DynamicLibrary &operator=(const DynamicLibrary &) = delete;

    // False (and why, in error()) when it cannot be loaded.
    bool load(const std::string &path);
    bool loaded() const { return handle_ != nullptr; }
    const std::string &error() const { return error_; }
    // The exported function's address; null when there is none.
    void *symbol(const char *name) const;

private:
    void *handle_ = nullptr;
    std::string error_;
};
