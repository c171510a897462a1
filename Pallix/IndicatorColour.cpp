#include "IndicatorColour.h"

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

LampState IndicatorState(int state, std::initializer_list<int> enables)
{
    if (state == 1) return LampState::Triggered;
    for (int enable : enables)
        if (enable != 0) return LampState::Armed;
    return LampState::Disabled;
}

QColor IndicatorColour(int state, std::initializer_list<int> enables)
{
    return lampColour(IndicatorState(state, enables));
}
