#include "StatusLamp.h"

QColor lampColour(LampState state)
{
    switch (state) {
    case LampState::Triggered: return QColor(0, 255, 0);
    case LampState::Armed: return QColor(255, 128, 0);
    case LampState::Disabled: return QColor(128, 128, 128);
    case LampState::Unknown: break;
    }
    return QColor(255, 255, 255);
}

StatusLamp::StatusLamp(QWidget *parent, const QString &name, LampState state) : QFrame(parent)
{
    setObjectName(name);
    setFrameShape(QFrame::Box);
    setFixedSize(Size, Size);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::black);   // the rim
    setPalette(palette);
    setState(state);
}

void StatusLamp::setState(LampState state)
{
    state_ = state;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, lampColour(state));
    setPalette(palette);
}
