// SIGINT and SIGTERM as a Qt signal, delivered by the event loop, so a
// program ends its work (a write test restores the settings) before it goes.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

class StopSignals : public QObject {
    Q_OBJECT
public:
    StopSignals();   // one per program; the signals' handlers are installed
    ~StopSignals() override;
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

signals:
    void stopRequested(int signalNumber);

private:
    void readSignal();

    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};
