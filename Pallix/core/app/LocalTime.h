// Times as the PC's clock and locale show them.
#pragma once

#include <chrono>
#include <string>

// strftime's format applied to the local time of when.
std::string localTime(std::chrono::system_clock::time_point when, const char *format);
