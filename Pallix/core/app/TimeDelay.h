// DelayMs: the task waits while events keep flowing; the pointer says so.
#pragma once

#include "loop/Task.h"

loop::Task<> delayMs(int milliseconds);
