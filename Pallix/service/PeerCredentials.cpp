#include "PeerCredentials.h"

#include <algorithm>
#include <pwd.h>
#include <sys/socket.h>

bool PeerCredentials::inGroup(gid_t group) const
{
    return gid == group || std::find(groups.begin(), groups.end(), group) != groups.end();
}

QString PeerCredentials::describe() const
{
    const passwd *user = ::getpwuid(uid);
    if (!user) return QStringLiteral("uid %1 (pid %2)").arg(uid).arg(pid);
    return QStringLiteral("%1 (uid %2, pid %3)")
        .arg(QString::fromLocal8Bit(user->pw_name))
        .arg(uid)
        .arg(pid);
}

PeerCredentials peerCredentials(int fd)
{
    PeerCredentials peer;
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return peer;
    peer.pid = credentials.pid;
    peer.uid = credentials.uid;
    peer.gid = credentials.gid;
    // The groups the peer had when it connected; the first call says how many.
    length = 0;
    ::getsockopt(fd, SOL_SOCKET, SO_PEERGROUPS, nullptr, &length);
    peer.groups.resize(length / sizeof(gid_t));
    if (!peer.groups.empty()
        && ::getsockopt(fd, SOL_SOCKET, SO_PEERGROUPS, peer.groups.data(), &length) != 0)
        peer.groups.clear();
    peer.groups.resize(length / sizeof(gid_t));
    return peer;
}
