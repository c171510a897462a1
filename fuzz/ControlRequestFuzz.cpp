// A line on pallixd's control socket: read as JSON, its fields checked and
// the asker's rights weighed, as a stranger in no group.
#include "ControlAccess.h"
#include "ControlRequestCheck.h"

#include <QByteArray>
#include <QJsonDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!document.isObject()) return 0;
    const QJsonObject request = document.object();
    const QJsonObject error = controlRequestError(request);
    const AccessPolicy policy{0, 500, 501};
    const PeerCredentials stranger{1, 1000, 1000, {}};
    const QJsonObject refusal = policy.refusal(stranger, request, {"127.0.0.2"});
    // A stranger may do nothing: every request is refused or invalid.
    if (error.isEmpty() && refusal.isEmpty()) __builtin_trap();
    return 0;
}
