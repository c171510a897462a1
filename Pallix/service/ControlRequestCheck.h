// The fields of a control request, each of the type and range it must
// have. A request that breaks one is answered with an error that names the
// field and the value sent, and nothing is done.
#pragma once

#include <QJsonObject>

// The "invalid" error reply for the first field that is wrong; empty when
// every field present is right. Fields a request does not use are checked
// all the same, so a misspelt request never passes for a default.
QJsonObject controlRequestError(const QJsonObject &request);
