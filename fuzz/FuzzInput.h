// Turning a fuzzer's bytes into what the code under test takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzinput {

inline std::string text(const uint8_t *data, size_t size) {
    return std::string(reinterpret_cast<const char *>(data), size);
}

// One string per line, as a command line's words or the simulator's lines.
inline std::vector<std::string> lines(const uint8_t *data, size_t size) {
    std::vector<std::string> all(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            all.emplace_back();
        else
            all.back().push_back(static_cast<char>(data[i]));
    }
    if (all.back().empty()) all.pop_back();
    return all;
}

}  // namespace fuzzinput
