// The discovery timer of the tray window and the search it runs.
#pragma once

#include <QObject>
#include <QTimer>

class DeviceSearch : public QObject {
    Q_OBJECT
public:
    static constexpr int StartupInterval = 5000;
    static constexpr int SlowInterval = 10000;
    static constexpr int Attempts = 5;

    DeviceSearch();

    // Enables discoveryTimer at the given interval.
    void start(int intervalMs);

    // One discovery tick: doDiscovery, showing the search state only on the first.
    void tick();

    // Up to five discovery runs; on success the firmware check and the monitor.
    void doDiscovery(bool showSearchStatus);

    QTimer discoveryTimer;
    bool offerFirmwareUpdate = true;   // a program nobody looks at offers none
    int discoveryTicks = 0;
    bool lastDiscoveryFailed = false;

signals:
    void searchShown(int iconIndex);   // 0 found (red), otherwise searching (gray)

private:
    bool searchFound();
    void found();
    void notFound(bool showSearchStatus);

    bool ticking_ = false;
};
