// A status lamp: a small filled square in the colour of its state, with a
// black rim. The configuration window and the self test show the same ones.
#pragma once

#include "device/IndicatorColour.h"

#include <QColor>
#include <QFrame>

QColor lampColour(LampState state);

class StatusLamp : public QFrame {
    Q_OBJECT
public:
    static constexpr int Size = 13;

    StatusLamp(QWidget *parent, const QString &name, LampState state = LampState::Unknown);
    void setState(LampState state);
    LampState state() const { return state_; }
    QColor colour() const { return lampColour(state_); }

private:
    LampState state_ = LampState::Unknown;
};
