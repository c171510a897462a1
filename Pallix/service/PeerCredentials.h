// Who is at the other end of a Unix socket, as the kernel saw it when the
// peer connected: process, user and groups.
#pragma once

#include <QString>
#include <sys/types.h>
#include <vector>

struct PeerCredentials {
    pid_t pid = 0;
    uid_t uid = uid_t(-1);
    gid_t gid = gid_t(-1);
    std::vector<gid_t> groups;   // supplementary groups

    bool inGroup(gid_t group) const;
    // "alice (uid 1000, pid 4242)", for logs and refusals.
    QString describe() const;
};

// What the kernel knows of the socket's peer; uid -1 when it knows nothing.
PeerCredentials peerCredentials(int fd);
