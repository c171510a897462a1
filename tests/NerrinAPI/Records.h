// Reading the ":"-separated discovery records in tests.
#pragma once

#include <string>

// Field `index` of a record, counted from 0; empty when it has fewer fields.
inline std::string fieldOf(const std::string &record, int index) {
    size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        begin = record.find(':', begin);
        if (begin == std::string::npos) return "";
        ++begin;
    }
    return record.substr(begin, record.find(':', begin) - begin);
}
