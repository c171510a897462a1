// Cuts what a client sends into lines. A line longer than the limit is
// reported once, as soon as it passes the limit, and the rest of it is
// skipped up to its end: whatever a client sends, no more than one line's
// worth is ever held.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class LineSplitter {
public:
    struct Line {
        std::string text;       // without its "\n" and a "\r" before it
        bool tooLong = false;   // text is empty then
    };

    explicit LineSplitter(std::size_t maxLength) : maxLength_(maxLength) {}

    // The lines these bytes complete, in order.
    std::vector<Line> feed(std::string_view bytes);

    std::size_t maxLength() const { return maxLength_; }

private:
    void take(char byte, std::vector<Line> &lines);

    std::size_t maxLength_;
    std::string partial_;
    bool skipping_ = false;   // the rest of a line that was too long
};
