#include "app/LocalTime.h"

#include <ctime>

std::string localTime(std::chrono::system_clock::time_point when, const char *format)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[64] = {};
    std::strftime(text, sizeof text, format, &local);
    return text;
}
