#include "app/AppState.h"

#include <algorithm>

AppState &appState()
{
    static AppState state;
    return state;
}

std::vector<std::string> AppState::devicesFound() const
{
    const auto count = std::clamp<size_t>(size_t(std::max(deviceCount, 0)), 0, deviceList.size());
    return {deviceList.begin(), deviceList.begin() + std::ptrdiff_t(count)};
}
