#include "device/IndicatorColour.h"

LampState indicatorColour(int state, std::initializer_list<int> enables)
{
    if (state == 1) return LampState::Triggered;
    for (int enable : enables)
        if (enable != 0) return LampState::Armed;
    return LampState::Disabled;
}
