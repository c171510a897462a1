#include "device/DynamicLibrary.h"

#include "app/Files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#ifdef _WIN32

bool DynamicLibrary::load(const std::string &path)
{
    handle_ = reinterpret_cast<void *>(LoadLibraryW(fsPath(path).c_str()));
    if (!handle_) error_ = path + ": error " + std::to_string(GetLastError());
    return handle_ != nullptr;
}

void *DynamicLibrary::symbol(const char *name) const
{
    if (!handle_) return nullptr;
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

// The library stays loaded for the process: its state is the device's.
DynamicLibrary::~DynamicLibrary() = default;

#else

bool DynamicLibrary::load(const std::string &path)
{
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) error_ = dlerror();
    return handle_ != nullptr;
}

void *DynamicLibrary::symbol(const char *name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

DynamicLibrary::~DynamicLibrary() = default;

#endif
