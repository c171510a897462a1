// SIGINT and SIGTERM as a Qt signal, delivered by the event loop, so a
// program ends its work (a write test restores the settings) before it goes;
// other signals a program wants to hear of come the same way.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <initializer_list>
#include <memory>
#include <vector>

class StopSignals : public QObject {
    Q_OBJECT
public:
    // One per program; the handlers of SIGINT, SIGTERM and the others are installed.
    explicit StopSignals(std::initializer_list<int> others = {});
    ~StopSignals() override;
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

signals:
    void stopRequested(int signalNumber);
    void caught(int signalNumber);   // one of the others

private:
    void readSignal();

    std::vector<int> others_;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};
