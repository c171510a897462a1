// The library's modal message box: MessageBoxA on Windows, elsewhere standard
// error unless the host installed a handler.
#pragma once

inline constexpr const char *kNrCaption = "Nerrin";

enum class NrBoxModality { Application, System };

void nrShowMessage(const char *caption, const char *text,
                   NrBoxModality modality = NrBoxModality::Application);

inline void nrMessageBox(const char *text) { nrShowMessage(kNrCaption, text); }
