// Diagnostic lines on standard output, flushed so none is lost, unless the
// host took them with NrSetDiagnosticHandler.
#pragma once

void nrDiagnostic(const char *text);
