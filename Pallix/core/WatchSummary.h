// What the Control Center's icon tells a person of the device watch: a
// tooltip that says what it watches, and a notice per event. Lost and found
// come once per change (the watch sees to that); a find is news only after
// a loss.
#pragma once

#include <QDateTime>
#include <QObject>
#include <functional>

class DeviceWatch;

class WatchSummary : public QObject {
    Q_OBJECT
public:
    explicit WatchSummary(DeviceWatch &watch,
                          std::function<QDateTime()> now = &QDateTime::currentDateTime);

    QString toolTip() const;

signals:
    void toolTipChanged(const QString &toolTip);
    void notice(const QString &title, const QString &text);

private:
    enum class State { Searching, Watching, Lost };

    void found(const QString &address);
    void lost();
    void searching(int iconIndex);
    void changeTo(State state);

    std::function<QDateTime()> now_;
    State state_ = State::Searching;
    QString address_;
    QString firmware_;
    QDateTime lostSince_;
};
