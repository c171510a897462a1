#include "platform/Message.h"

#include <cstdio>

#include "State.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

void systemMessageBox(const char *caption, const char *text, NrBoxModality modality) {
#if defined(_WIN32)
    const UINT style = MB_OK | (modality == NrBoxModality::System ? MB_SYSTEMMODAL : 0);
    MessageBoxA(nullptr, text, caption, style);
#else
    (void)modality;
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
#endif
}

}  // namespace

void nrShowMessage(const char *caption, const char *text, NrBoxModality modality) {
    if (nrLib.messageHandler != nullptr) {
        nrLib.messageHandler(caption, text);
        return;
    }
    systemMessageBox(caption, text, modality);
}

extern "C" NR_EXPORT void NR_CALL NrSetMessageHandler(NrMessageHandler handler) {
    nrLib.messageHandler = handler;
}
