// What the library writes to standard output during one call. The DLL and
// the program share msvcrt's stdout, so pointing descriptor 1 at a file
// for the call catches the library's diagnostic lines.
#pragma once

#include <cstdio>
#include <string>

class CapturedStdout {
public:
    CapturedStdout();
    ~CapturedStdout();
    CapturedStdout(const CapturedStdout &) = delete;
    CapturedStdout &operator=(const CapturedStdout &) = delete;

    bool ready() const { return file_ != nullptr && saved_ >= 0; }
    void begin();
    // The text written since begin(); standard output is restored.
    std::string end();

private:
    std::FILE *file_ = nullptr;
    int saved_ = -1;
    long start_ = 0;
};
