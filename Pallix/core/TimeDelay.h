#pragma once

// Waits while events keep flowing; the CPU stays idle.
void delayMs(int milliseconds);
