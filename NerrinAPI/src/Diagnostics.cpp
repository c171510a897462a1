#include "Diagnostics.h"

#include <cstdio>

#include "State.h"

void nrDiagnostic(const char *text) {
    if (nrLib.diagnosticHandler != nullptr) {
        nrLib.diagnosticHandler(text);
        return;
    }
    std::printf("%s", text);
    std::fflush(stdout);
}

extern "C" NR_EXPORT void NR_CALL NrSetDiagnosticHandler(NrDiagnosticHandler handler) {
    nrLib.diagnosticHandler = handler;
}
