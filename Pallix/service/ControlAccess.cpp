#include "ControlAccess.h"

#include "ControlRequests.h"
#include "QtText.h"

#include <QJsonDocument>
#include <algorithm>
#include <grp.h>
#include <unistd.h>

namespace {

constexpr char ReadersGroup[] = "pallix";
constexpr char ChangersGroup[] = "pallix-admin";

struct RequestRule {
    const char *request;
    ControlAccess access;
};

const RequestRule rules[] = {
    {"status", ControlAccess::Read},    {"watch", ControlAccess::Read},
    {"get", ControlAccess::Read},       {"set", ControlAccess::Change},
    {"cancel", ControlAccess::Change},  {"discover", ControlAccess::Change},
    {"import", ControlAccess::Change},
};

std::optional<gid_t> groupNamed(const char *name)
{
    const group *found = ::getgrnam(name);
    if (!found) return std::nullopt;
    return found->gr_gid;
}

QString text(const QJsonObject &request, const char *key)
{
    return request.value(QLatin1String(key)).toString();
}

}   // namespace

ControlAccess accessNeeded(const QJsonObject &request)
{
    const QString name = text(request, "request");
    if (name == QLatin1String("selftest"))
        return text(request, "test") == QLatin1String("read") ? ControlAccess::Read
                                                              : ControlAccess::Change;
    for (const RequestRule &rule : rules)
        if (name == QLatin1String(rule.request)) return rule.access;
    return ControlAccess::Change;
}

AccessPolicy AccessPolicy::ofThisSystem()
{
    return {::geteuid(), groupNamed(ReadersGroup), groupNamed(ChangersGroup)};
}

bool AccessPolicy::may(const PeerCredentials &peer, ControlAccess access) const
{
    if (trusted(peer)) return true;
    const std::optional<gid_t> group = access == ControlAccess::Read ? readers : changers;
    return group && peer.inGroup(*group);
}

QString AccessPolicy::rule(ControlAccess access) const
{
    const bool reading = access == ControlAccess::Read;
    const char *group = reading ? ReadersGroup : ChangersGroup;
    if (reading ? readers : changers)
        return QStringLiteral("for root and members of group %1").arg(QLatin1String(group));
    return QStringLiteral("for root alone (there is no group %1)").arg(QLatin1String(group));
}

QJsonObject AccessPolicy::refusal(const PeerCredentials &peer, const QJsonObject &request,
                                  const std::vector<std::string> &devicesFound) const
{
    const ControlAccess access = accessNeeded(request);
    const QString name = text(request, "request");
    if (!may(peer, access))
        return errorReply(QStringLiteral("\"%1\" %2 is %3; %4 is not")
                              .arg(name,
                                   access == ControlAccess::Read ? QStringLiteral("reads")
                                                                 : QStringLiteral("changes"),
                                   rule(access), peer.describe()),
                          ReplyKind::Refused);
    const QString device = text(request, "device");
    if (device.isEmpty() || trusted(peer)
        || std::find(devicesFound.begin(), devicesFound.end(), stdText(device))
               != devicesFound.end())
        return {};
    return errorReply(QStringLiteral("\"device\" may name only a Pallix that discovery found "
                                     "(%1), unless root asks; %2 is not root")
                          .arg(devicesFound.empty()
                                   ? QStringLiteral("none yet")
                                   : qTexts(devicesFound).join(QStringLiteral(", ")),
                               peer.describe()),
                      ReplyKind::Refused);
}

std::string changeLogLine(const PeerCredentials &peer, const QJsonObject &request,
                          const QJsonObject &reply)
{
    const QString outcome = reply.value(QStringLiteral("ok")).toBool()
                                ? QStringLiteral("done")
                                : QStringLiteral("not done: ") + text(reply, "error");
    return stdText(QStringLiteral("Control request from %1: %2, %3")
                       .arg(peer.describe(),
                            QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)),
                            outcome));
}
