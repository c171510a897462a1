// The built shared library, loaded by path and resolved by name the way the
// application does it.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

class LoadedLibrary {
public:
    explicit LoadedLibrary(const std::string &path)
        : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedLibrary() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    LoadedLibrary(const LoadedLibrary &) = delete;
    LoadedLibrary &operator=(const LoadedLibrary &) = delete;

    bool loaded() const { return handle_ != nullptr; }
    void *symbol(const std::string &name) const { return dlsym(handle_, name.c_str()); }

    template <typename Function>
    Function *function(const std::string &name) const {
        return reinterpret_cast<Function *>(symbol(name));
    }

private:
    void *handle_;
};
