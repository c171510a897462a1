// Who may ask what of pallixd over its control socket. Reading (status,
// watch, get, a read test) is for members of group pallix; changing
// anything (set, cancel, discover, a write test, import) is for root and
// members of group pallix-admin, or for root alone where that group does
// not exist. The user pallixd runs as may do everything, and only root and
// that user may name a device that discovery did not find.
#pragma once

#include "PeerCredentials.h"

#include <QJsonObject>
#include <QString>
#include <optional>
#include <string>
#include <vector>

enum class ControlAccess { Read, Change };

// The access a request needs. A request the table does not know needs
// Change, so a new one is never open to all by mistake.
ControlAccess accessNeeded(const QJsonObject &request);

struct AccessPolicy {
    uid_t owner = 0;                 // the user pallixd runs as
    std::optional<gid_t> readers;    // group pallix
    std::optional<gid_t> changers;   // group pallix-admin

    static AccessPolicy ofThisSystem();

    // The "refused" reply naming the rule, or empty when the peer may.
    QJsonObject refusal(const PeerCredentials &peer, const QJsonObject &request,
                        const std::vector<std::string> &devicesFound) const;

private:
    bool trusted(const PeerCredentials &peer) const { return peer.uid == 0 || peer.uid == owner; }
    bool may(const PeerCredentials &peer, ControlAccess access) const;
    QString rule(ControlAccess access) const;
};

// The log line of a change asked for: who, what, and how it ended.
std::string changeLogLine(const PeerCredentials &peer, const QJsonObject &request,
                          const QJsonObject &reply);
