#pragma once

// Waits while events keep flowing; the CPU stays idle.
void DelayMs(int milliseconds);
