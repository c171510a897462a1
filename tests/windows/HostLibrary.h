// NerrinAPI.dll as a Windows host sees it: loaded with LoadLibrary, each
// export found by name and by ordinal and called through callExport, with
// what the library wrote to standard output and how long the call took.
// The DLL's import of USER32!MessageBoxA is pointed at a recorder, so a box
// the library opens is kept for the test instead of waiting for a click.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "CapturedStdout.h"

struct MessageBoxCall {
    std::string caption;
    std::string text;
    unsigned style = 0;
};

struct LibraryCall {
    intptr_t value = 0;
    intptr_t stackLeft = 0;
    std::string output;  // the library's standard output during the call
    double seconds = 0;

    int32_t status() const { return static_cast<int32_t>(value); }
};

class HostLibrary {
public:
    explicit HostLibrary(const std::string &path);
    ~HostLibrary();
    HostLibrary(const HostLibrary &) = delete;
    HostLibrary &operator=(const HostLibrary &) = delete;

    bool loaded() const { return module_ != nullptr && output_.ready(); }
    void *byName(const char *name) const;
    void *byOrdinal(int ordinal) const;

    // False when the DLL does not import MessageBoxA from USER32.
    bool recordMessageBoxes();
    std::vector<MessageBoxCall> takeMessageBoxes();

    // Calls the export found by name.
    LibraryCall call(const char *name, const std::vector<intptr_t> &arguments);

    // Per export: how many calls, and how many left the stack unbalanced.
    struct Tally {
        int calls = 0;
        int unbalanced = 0;
    };
    const std::map<std::string, Tally> &tallies() const { return tallies_; }

private:
    HMODULE module_;
    CapturedStdout output_;
    std::map<std::string, Tally> tallies_;
};

// The text of a system string, which is then freed with oleaut32's
// SysFreeString, as a host does.
std::string takeSystemString(intptr_t value);
