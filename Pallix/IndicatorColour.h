// The colour rule of the four status lamps, shared by the configuration
// window and the self test.
#pragma once

#include <QColor>
#include <initializer_list>

enum class LampState { Unknown, Disabled, Triggered, Armed };

QColor lampColour(LampState state);

// Triggered when state is exactly 1, else Armed when any enable is not 0,
// else Disabled.
LampState IndicatorState(int state, std::initializer_list<int> enables);
QColor IndicatorColour(int state, std::initializer_list<int> enables);
