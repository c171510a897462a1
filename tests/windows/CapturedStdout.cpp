#include "CapturedStdout.h"

#include <io.h>

CapturedStdout::CapturedStdout() : file_(std::tmpfile()), saved_(_dup(1)) {}

CapturedStdout::~CapturedStdout() {
    if (saved_ >= 0) _close(saved_);
    if (file_ != nullptr) std::fclose(file_);
}

void CapturedStdout::begin() {
    std::fflush(stdout);
    std::fseek(file_, 0, SEEK_END);
    start_ = std::ftell(file_);
    _dup2(_fileno(file_), 1);
}

std::string CapturedStdout::end() {
    std::fflush(stdout);
    _dup2(saved_, 1);
    std::fseek(file_, start_, SEEK_SET);
    std::string text;
    for (int c; (c = std::fgetc(file_)) != EOF;) {
        if (c != '\r') text.push_back(static_cast<char>(c));
    }
    return text;
}
