// The NUT server and the metrics server of pallixd without pallixd: their
// UPS and metrics come from commands on standard input, so scripts can
// drive real NUT clients and promtool against them.
//
//   nut-harness --nut ADDR[:PORT] --metrics ADDR:PORT --user NAME --password SECRET
//
// Commands, one a line:
//   status TEXT...    ups.status (starts "OL")
//   stale on|off      the device stops or starts answering
//   firmware TEXT     ups.firmware and the info label (starts "01.03")
//   fsd               raise the forced shutdown
//   wait SECONDS      wait for the secondaries, at most that long
//   poll MS           one poll round trip of MS milliseconds
//   action NAME       count a power action
//   quit
// Printed: "listening nut PORT metrics PORT", "logins N", "refused PEER",
// "secondaries done after MS ms with N logins", "ok COMMAND" or "error: ...".
#include "LineSplitter.h"
#include "ListenAddress.h"
#include "Metrics.h"
#include "MetricsServer.h"
#include "NutServer.h"
#include "PallixNutUps.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace {

void say(const std::string &line) { std::cout << line << std::endl; }

class Harness {
public:
    explicit Harness(const NutSettings &settings)
        : nut_(settings, [this] { return pallixNutUps(facts_); }),
          metrics_([this] { return renderMetrics(metricsSnapshot()); })
    {
        facts_.answers = true;
        facts_.deviceAddress = "192.0.2.10";
        facts_.macAddress = "00:1A:2B:3C:4D:5E";
        facts_.firmware = "01.03";
        facts_.powerOffDelaySeconds = 30;
        facts_.driverVersion = "1.0.0";
        QObject::connect(&nut_, &NutServer::loginsChanged,
                         [](int count) { say("logins " + std::to_string(count)); });
        QObject::connect(&nut_, &NutServer::clientRefused,
                         [](const QString &peer) { say("refused " + peer.toStdString()); });
    }

    void listen(const ListenAddress &nut, const ListenAddress &metrics)
    {
        nut_.listen(nut);
        metrics_.listen(metrics);
        say("listening nut " + std::to_string(nut_.port()) + " metrics "
            + std::to_string(metrics_.port()));
    }

    void command(const std::string &line)
    {
        const std::string name = line.substr(0, line.find(' '));
        const std::string rest = line.size() > name.size() ? line.substr(name.size() + 1) : "";
        if (name == "status")
            facts_.status = rest;
        else if (name == "stale")
            facts_.answers = rest != "on";
        else if (name == "firmware")
            facts_.firmware = rest;
        else if (name == "fsd")
            nut_.raiseForcedShutdown();
        else if (name == "wait")
            waitForSecondaries(std::stoi(rest));
        else if (name == "poll")
            pollRoundTrips_.observe(std::chrono::milliseconds(std::stoi(rest)));
        else if (name == "action")
            ++actions_[rest];
        else if (name == "quit")
            QCoreApplication::quit();
        else
            return say("error: unknown command " + line);
        say("ok " + line);
    }

private:
    void waitForSecondaries(int seconds)
    {
        auto *clock = new QElapsedTimer;
        clock->start();
        nut_.waitForSecondaries(std::chrono::seconds(seconds), [this, clock] {
            say("secondaries done after " + std::to_string(clock->elapsed()) + " ms with "
                + std::to_string(nut_.loginCount()) + " logins");
            delete clock;
        });
    }

    MetricsSnapshot metricsSnapshot() const
    {
        MetricsSnapshot s;
        s.deviceAnswers = facts_.answers;
        s.address = facts_.deviceAddress;
        s.macAddress = facts_.macAddress;
        s.firmware = facts_.firmware;
        s.inputs = {false, true};
        s.outputs = {true, false};
        s.globalStatus = 0;
        s.powerActions = actions_;
        s.pollRoundTrips = pollRoundTrips_;
        return s;
    }

    PallixNutFacts facts_;
    std::map<std::string, std::uint64_t> actions_{{"shutdown", 0}, {"restart", 0}};
    PollHistogram pollRoundTrips_;
    NutServer nut_;
    MetricsServer metrics_;
};

// Standard input, read as the event loop runs.
class Commands {
public:
    explicit Commands(Harness &harness) : harness_(harness)
    {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { read(); });
    }

private:
    void read()
    {
        char bytes[4096];
        const ssize_t got = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (got <= 0) {
            notifier_.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        for (const LineSplitter::Line &line : lines_.feed({bytes, std::size_t(got)})) {
            if (line.tooLong || line.text.empty()) continue;
            try {
                harness_.command(line.text);
            } catch (const std::exception &error) {   // a number that is none
                say("error: " + line.text + ": " + error.what());
            }
        }
    }

    Harness &harness_;
    QSocketNotifier notifier_{STDIN_FILENO, QSocketNotifier::Read};
    LineSplitter lines_{4096};
};

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption nut(QStringLiteral("nut"), QStringLiteral("NUT address"),
                                 QStringLiteral("ADDR[:PORT]"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption metrics(QStringLiteral("metrics"), QStringLiteral("metrics address"),
                                     QStringLiteral("ADDR:PORT"), QStringLiteral("127.0.0.1:9199"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("NUT user"),
                                  QStringLiteral("NAME"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("NUT password"),
                                      QStringLiteral("SECRET"));
    parser.addOptions({nut, metrics, user, password});
    parser.process(app);

    NutSettings settings;
    settings.user = parser.value(user).toStdString();
    settings.password = parser.value(password).toStdString();
    settings.version = "nut-harness";
    Harness harness(settings);
    try {
        harness.listen(parseListenAddress(parser.value(nut), NutServer::DefaultPort),
                       parseListenAddress(parser.value(metrics), 0));
    } catch (const ListenError &error) {
        std::fprintf(stderr, "nut-harness: %s\n", error.what());
        return 1;
    }
    Commands commands(harness);
    return QCoreApplication::exec();
}
