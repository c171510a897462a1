// Who may ask what of pallixd: members of pallix read, members of
// pallix-admin (or root alone without that group) change, the user
// pallixd runs as does everything; only root names any device.
#include "ControlAccess.h"

#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

constexpr gid_t Pallix = 500, PallixAdmin = 501, Other = 900;
constexpr uid_t Owner = 0, Alice = 1000;

PeerCredentials alice(std::vector<gid_t> groups)
{
    return {4242, Alice, Other, std::move(groups)};
}

QJsonObject request(const char *name, QJsonObject fields = {})
{
    fields[QStringLiteral("request")] = QLatin1String(name);
    return fields;
}

const std::vector<std::string> found{"127.0.0.2"};

TEST(ControlAccess, MembersOfPallixReadAndMembersOfPallixAdminChange)
{
    const AccessPolicy policy{Owner, Pallix, PallixAdmin};
    const QJsonObject reads[] = {request("status"), request("watch"), request("get"),
                                 request("selftest", {{"test", "read"}})};
    const QJsonObject changes[] = {request("set"), request("cancel"), request("discover"),
                                   request("import"), request("selftest", {{"test", "write"}}),
                                   request("some-later-request")};
    for (const QJsonObject &r : reads) {
        EXPECT_TRUE(policy.refusal(alice({Pallix}), r, found).isEmpty()) << r["request"].toString().toStdString();
        EXPECT_FALSE(policy.refusal(alice({}), r, found).isEmpty());
    }
    for (const QJsonObject &r : changes) {
        const QJsonObject refused = policy.refusal(alice({Pallix}), r, found);
        ASSERT_FALSE(refused.isEmpty()) << r["request"].toString().toStdString();
        EXPECT_EQ(refused["kind"].toString(), QStringLiteral("refused"));
        EXPECT_TRUE(refused["error"].toString().contains(
            QStringLiteral("for root and members of group pallix-admin")));
        EXPECT_TRUE(refused["error"].toString().contains(QStringLiteral("pid 4242")));
        EXPECT_TRUE(policy.refusal(alice({Pallix, PallixAdmin}), r, found).isEmpty());
        EXPECT_TRUE(policy.refusal({1, 0, 0, {}}, r, found).isEmpty());   // root
    }
}

TEST(ControlAccess, WithoutPallixAdminOnlyRootChanges)
{
    const AccessPolicy policy{Owner, Pallix, std::nullopt};
    const QJsonObject refused = policy.refusal(alice({Pallix, PallixAdmin}), request("cancel"), found);
    EXPECT_TRUE(refused["error"].toString().contains(
        QStringLiteral("for root alone (there is no group pallix-admin)")));
    EXPECT_TRUE(policy.refusal({1, 0, 0, {}}, request("cancel"), found).isEmpty());
}

TEST(ControlAccess, TheUserPallixdRunsAsMayDoEverything)
{
    const AccessPolicy policy{Alice, std::nullopt, std::nullopt};
    for (const char *name : {"status", "set", "cancel", "discover"})
        EXPECT_TRUE(policy.refusal(alice({}), request(name, {{"device", "127.0.0.9"}}), found).isEmpty())
            << name;
    EXPECT_FALSE(policy.refusal({7, 1001, 1001, {}}, request("status"), found).isEmpty());
}

TEST(ControlAccess, OnlyRootNamesADeviceDiscoveryDidNotFind)
{
    const AccessPolicy policy{Owner, Pallix, PallixAdmin};
    const PeerCredentials admin = alice({Pallix, PallixAdmin});
    EXPECT_TRUE(policy.refusal(admin, request("set", {{"device", "127.0.0.2"}}), found).isEmpty());
    const QJsonObject refused = policy.refusal(admin, request("get", {{"device", "8.8.8.8"}}), found);
    EXPECT_TRUE(refused["error"].toString().contains(QStringLiteral("discovery found (127.0.0.2)")));
    EXPECT_TRUE(policy.refusal({1, 0, 0, {}}, request("get", {{"device", "8.8.8.8"}}), found).isEmpty());
}

}   // namespace
