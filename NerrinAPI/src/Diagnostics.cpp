#include "Diagnostics.h"

#include <cstdio>

void nrDiagnostic(const char *text) {
    std::printf("%s", text);
    std::fflush(stdout);
}
