// The colour rule of the four status lamps, shared by the configuration
// window and the self test. The windows paint the colours.
#pragma once

#include <initializer_list>

// Green "Triggered", orange "Armed", grey "Disabled", white "Unknown".
enum class LampState { Unknown, Disabled, Triggered, Armed };

// Triggered when state is exactly 1, else Armed when any enable is not 0,
// else Disabled.
LampState indicatorColour(int state, std::initializer_list<int> enables);
