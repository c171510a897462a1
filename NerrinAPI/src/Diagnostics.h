// Diagnostic lines on standard output, flushed so none is lost.
#pragma once

void nrDiagnostic(const char *text);
