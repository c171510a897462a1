// pallixd's configuration file: every line, the commands split as a shell
// would. Bad text is a ConfigError, never a crash.
#include "ServiceOptions.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ServiceConfig config;
    try {
        readConfigText(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)),
                       QStringLiteral("fuzz.conf"), config);
    } catch (const ConfigError &) {
    }
    return 0;
}
