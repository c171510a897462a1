// pallixd's NUT server: one UPS to NUT's clients (upsc, upsmon as a
// secondary, Home Assistant, nut_exporter), read-only, and the forced
// shutdown of NUT's primary: FSD for the secondaries, then a wait for them
// to log out.
#pragma once

#include "CappedTcpServer.h"
#include "NutProtocol.h"

#include <QObject>
#include <chrono>
#include <functional>

class NutConnection;

class NutServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 3493;
    static constexpr int MaxClients = 64;

    // Called for every request: the UPS now. It must not wait on the device.
    using Snapshot = std::function<NutUps()>;

    NutServer(NutSettings settings, Snapshot snapshot);

    // Throws ListenError (e.g. the port is taken).
    void listen(const ListenAddress &address);
    quint16 port() const { return listener_.port(); }

    int loginCount() const;

    // ups.status reads "FSD " and the real status from now until the
    // server ends; secondaries that see it log out and shut down.
    void raiseForcedShutdown() { forcedShutdown_ = true; }
    bool forcedShutdown() const { return forcedShutdown_; }

    // Calls then once no client is logged in or hostsync has passed,
    // whichever comes first; from the event loop, never at once. Not
    // called when the server ends first.
    void waitForSecondaries(std::chrono::seconds hostsync, std::function<void()> then);

signals:
    void loginsChanged(int count);
    void clientRefused(const QString &peer);   // MaxClients are connected

private:
    void accept(QTcpSocket *socket);
    std::vector<std::string> answer(NutSession &session, std::string_view line);
    std::vector<std::string> loggedInClients() const;
    void noteLogins();

    const NutSettings settings_;
    const Snapshot snapshot_;
    CappedTcpServer listener_;
    std::vector<NutConnection *> connections_;   // children of this server
    bool forcedShutdown_ = false;
    int toldLogins_ = 0;   // the count loginsChanged last told
};
