#include "ControlSocket.h"

#include <unistd.h>

QString defaultSocketPath()
{
    if (geteuid() == 0) return QString::fromLatin1(SystemSocketPath);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/pallixd.sock");
}

QStringList socketCandidates()
{
    QStringList paths;
    const QString own = defaultSocketPath();
    if (!own.isEmpty()) paths << own;
    if (!paths.contains(QString::fromLatin1(SystemSocketPath)))
        paths << QString::fromLatin1(SystemSocketPath);
    return paths;
}
