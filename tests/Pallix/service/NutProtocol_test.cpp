// pallixd's NUT protocol as NUT's clients see it, in the sequences they
// send: upsc, upsmon as a secondary, nut_exporter; the forced shutdown
// with stale data, names in any case, and what no well-behaved client sends.
#include "NutProtocol.h"
#include "NutWords.h"
#include "PallixNutUps.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class NutProtocolTest : public ::testing::Test {
protected:
    NutProtocolTest()
    {
        settings.user = "monuser";
        settings.password = "secret";
        settings.version = "pallixd 1.0.0";
        facts.answers = true;
        facts.deviceAddress = "192.0.2.10";
        facts.macAddress = "00:1A:2B:3C:4D:5E";
        facts.firmware = "01.03";
        facts.powerOffDelaySeconds = 30;
        facts.driverVersion = "1.0.0";
    }

    Lines ask(NutSession &s, std::string_view line)
    {
        const NutUps ups = pallixNutUps(facts);
        return s.handle(line, {settings, ups, clients, forcedShutdown});
    }
    Lines ask(std::string_view line) { return ask(session, line); }

    // A request answered with exactly one line.
    std::string one(NutSession &s, std::string_view line)
    {
        const Lines reply = ask(s, line);
        EXPECT_EQ(reply.size(), 1u) << line;
        return reply.empty() ? std::string() : reply.front();
    }
    std::string one(std::string_view line) { return one(session, line); }

    void logIn(NutSession &s)
    {
        for (const char *line : {"USERNAME monuser", "PASSWORD secret", "LOGIN pallix"})
            ASSERT_EQ(one(s, line), "OK") << line;
    }

    NutSettings settings;
    PallixNutFacts facts;
    std::vector<std::string> clients;
    bool forcedShutdown = false;
    NutSession session;
};

bool contains(const Lines &lines, const std::string &line)
{
    return std::ranges::find(lines, line) != lines.end();
}

TEST_F(NutProtocolTest, UpscListsTheUpsAndItsVariablesThenSaysGoodbye)
{
    EXPECT_EQ(one("STARTTLS"), "ERR FEATURE-NOT-SUPPORTED");
    EXPECT_EQ(
        ask("LIST UPS"),
        (Lines{"BEGIN LIST UPS", "UPS pallix \"Nerrin Pallix at 192.0.2.10\"", "END LIST UPS"}));
    const Lines vars = ask("LIST VAR pallix");
    ASSERT_GE(vars.size(), 2u);
    EXPECT_EQ(vars.front(), "BEGIN LIST VAR pallix");
    EXPECT_EQ(vars.back(), "END LIST VAR pallix");
    for (const char *line :
         {"VAR pallix ups.status \"OL\"", "VAR pallix device.mfr \"Nerrin\"",
          "VAR pallix device.model \"Pallix\"", "VAR pallix device.serial \"00:1A:2B:3C:4D:5E\"",
          "VAR pallix device.macaddr \"00:1A:2B:3C:4D:5E\"", "VAR pallix ups.firmware \"01.03\"",
          "VAR pallix ups.delay.shutdown \"30\"", "VAR pallix driver.name \"pallixd\""})
        EXPECT_TRUE(contains(vars, line)) << line;

    EXPECT_EQ(one("LOGOUT"), "OK Goodbye");
    EXPECT_TRUE(session.closing());
    EXPECT_TRUE(ask("GET VAR pallix ups.status").empty());   // nothing after the goodbye
}

TEST_F(NutProtocolTest, UpsmonLogsInPollsSeesTheForcedShutdownAndLogsOut)
{
    logIn(session);
    EXPECT_TRUE(session.loggedIn());
    EXPECT_EQ(one("GET VAR pallix ups.status"), "VAR pallix ups.status \"OL\"");
    EXPECT_EQ(one("GET VAR pallix driver.flag.allow_killpower"), "ERR VAR-NOT-SUPPORTED");

    forcedShutdown = true;
    EXPECT_EQ(one("GET VAR pallix ups.status"), "VAR pallix ups.status \"FSD OL\"");
    EXPECT_TRUE(contains(ask("LIST VAR pallix"), "VAR pallix ups.status \"FSD OL\""));
    // The device went quiet: the shutdown is still told, the other values are not.
    facts.answers = false;
    EXPECT_EQ(one("GET VAR pallix ups.status"), "VAR pallix ups.status \"FSD OL\"");
    EXPECT_EQ(one("GET VAR pallix device.mfr"), "ERR DATA-STALE");

    EXPECT_EQ(one("LOGOUT"), "OK Goodbye");
    EXPECT_FALSE(session.loggedIn());
    EXPECT_TRUE(session.closing());
}

TEST_F(NutProtocolTest, LoginIsRefusedAsNutRefusesIt)
{
    EXPECT_EQ(one("LOGIN pallix"), "ERR USERNAME-REQUIRED");
    EXPECT_EQ(one("USERNAME monuser"), "OK");
    EXPECT_EQ(one("LOGIN pallix"), "ERR PASSWORD-REQUIRED");
    EXPECT_EQ(one("PASSWORD wrong"), "OK");
    EXPECT_EQ(one("LOGIN pallix"), "ERR ACCESS-DENIED");
    EXPECT_EQ(one("USERNAME other"), "ERR ALREADY-SET-USERNAME");
    EXPECT_EQ(one("PASSWORD secret"), "ERR ALREADY-SET-PASSWORD");
    EXPECT_FALSE(session.loggedIn());

    NutSession right;
    one(right, "USERNAME monuser");
    one(right, "PASSWORD secret");
    EXPECT_EQ(one(right, "LOGIN other"), "ERR UNKNOWN-UPS");
    EXPECT_EQ(one(right, "LOGIN pallix"), "OK");
    EXPECT_EQ(one(right, "LOGIN pallix"), "ERR ALREADY-LOGGED-IN");

    // Without a configured user nobody logs in, not even with empty words.
    settings.user.clear();
    settings.password.clear();
    NutSession nobody;
    one(nobody, "USERNAME \"\"");
    one(nobody, "PASSWORD \"\"");
    EXPECT_EQ(one(nobody, "LOGIN pallix"), "ERR ACCESS-DENIED");
}

// nut_exporter fails its whole scrape on any ERR.
TEST_F(NutProtocolTest, NutExporterScrapesWithoutAnError)
{
    clients = {"192.0.2.21"};
    EXPECT_EQ(one("VER"), "pallixd 1.0.0");
    EXPECT_EQ(one("NETVER"), "1.3");
    EXPECT_EQ(one("PROTVER"), "1.3");
    EXPECT_EQ(
        ask("LIST CLIENT pallix"),
        (Lines{"BEGIN LIST CLIENT pallix", "CLIENT pallix 192.0.2.21", "END LIST CLIENT pallix"}));
    EXPECT_EQ(ask("LIST CMD pallix"), (Lines{"BEGIN LIST CMD pallix", "END LIST CMD pallix"}));
    EXPECT_EQ(ask("LIST RW pallix"), (Lines{"BEGIN LIST RW pallix", "END LIST RW pallix"}));
    EXPECT_EQ(one("GET UPSDESC pallix"), "UPSDESC pallix \"Nerrin Pallix at 192.0.2.10\"");
    EXPECT_EQ(one("GET NUMLOGINS pallix"), "NUMLOGINS pallix 1");

    const Lines vars = ask("LIST VAR pallix");
    ASSERT_GT(vars.size(), 10u);
    for (std::size_t i = 1; i + 1 < vars.size(); ++i) {
        const std::string name = splitNutWords(vars[i]).value().at(2);
        const std::string desc = one("GET DESC pallix " + name);
        EXPECT_TRUE(desc.starts_with("DESC pallix " + name + " \"")) << desc;
        const std::string type = one("GET TYPE pallix " + name);
        const bool number = name == "ups.delay.shutdown";
        EXPECT_EQ(type, "TYPE pallix " + name + (number ? " NUMBER" : " STRING:64"));
    }
}

TEST_F(NutProtocolTest, NamesMatchInAnyCaseAndAreEchoedAsWritten)
{
    EXPECT_EQ(one("get var PALLIX UPS.STATUS"), "VAR PALLIX UPS.STATUS \"OL\"");
    EXPECT_EQ(ask("list var Pallix").back(), "END LIST VAR Pallix");
    EXPECT_EQ(one("Get NumLogins pAllix"), "NUMLOGINS pAllix 0");
    EXPECT_EQ(one("GET \"VAR\" \"pallix\" ups\\.status"), "VAR pallix ups.status \"OL\"");
}

TEST_F(NutProtocolTest, BadRequestsGetNutErrorsAndTheSessionGoesOn)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "ERR UNKNOWN-COMMAND"},
        {"HELLO", "ERR UNKNOWN-COMMAND"},
        {std::string("\x01\xff\0?", 4), "ERR UNKNOWN-COMMAND"},
        {"GET", "ERR INVALID-ARGUMENT"},
        {"GET VAR pallix", "ERR INVALID-ARGUMENT"},
        {"GET VAR pallix ups.status extra", "ERR INVALID-ARGUMENT"},
        {"GET ENUM pallix ups.status", "ERR INVALID-ARGUMENT"},
        {"LIST VAR", "ERR INVALID-ARGUMENT"},
        {"VER please", "ERR INVALID-ARGUMENT"},
        {"GET VAR pallix \"ups.status", "ERR INVALID-ARGUMENT"},
        {"GET VAR pallix ups.status\\", "ERR INVALID-ARGUMENT"},
        {"GET VAR other ups.status", "ERR UNKNOWN-UPS"},
        {"LIST CLIENT other", "ERR UNKNOWN-UPS"},
        {"GET DESC pallix no.such", "ERR VAR-NOT-SUPPORTED"},
        {"GET CMDDESC pallix load.off", "ERR CMD-NOT-SUPPORTED"},
        {std::string(10000, 'A'), std::string(NutSession::TooLongReply)},
    };
    for (const auto &[line, error] : cases)
        EXPECT_EQ(one(line), error) << line.substr(0, 40);
    EXPECT_EQ(one("GET VAR pallix ups.status"), "VAR pallix ups.status \"OL\"");
}

// Read-only: NUT's rights come first, then the refusal, for everybody.
TEST_F(NutProtocolTest, NothingIsWrittenOrCommanded)
{
    EXPECT_EQ(one("SET VAR pallix ups.delay.shutdown 10"), "ERR USERNAME-REQUIRED");
    logIn(session);
    for (const char *line :
         {"SET VAR pallix ups.delay.shutdown 10", "INSTCMD pallix shutdown.return", "FSD pallix",
          "PRIMARY pallix", "MASTER pallix"})
        EXPECT_EQ(one(line), "ERR ACCESS-DENIED") << line;
    EXPECT_EQ(one("GET VAR pallix ups.delay.shutdown"), "VAR pallix ups.delay.shutdown \"30\"");
    EXPECT_EQ(one("GET VAR pallix ups.status"), "VAR pallix ups.status \"OL\"");
}

TEST_F(NutProtocolTest, ValuesAreQuotedSoClientsReadThemBack)
{
    facts.firmware = "01.03 \"beta\" \\x";
    const std::string reply = one("GET VAR pallix ups.firmware");
    EXPECT_EQ(reply, "VAR pallix ups.firmware \"01.03 \\\"beta\\\" \\\\x\"");
    EXPECT_EQ(splitNutWords(reply).value().at(3), facts.firmware);
}

}   // namespace
