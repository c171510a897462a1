// The service's control socket, as the service and the command line both
// find it. One JSON object a line each way.
#pragma once

#include <QString>
#include <QStringList>

inline constexpr char SystemSocketPath[] = "/run/pallix/pallixd.sock";

// Where pallixd listens by default: the system path for root, the user's
// runtime folder ($XDG_RUNTIME_DIR) otherwise; empty when that is not set.
QString defaultSocketPath();
// Where a client looks, in order: its own user's service, then the system's.
QStringList socketCandidates();
