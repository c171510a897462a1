#include "LineSplitter.h"

std::vector<LineSplitter::Line> LineSplitter::feed(std::string_view bytes)
{
    std::vector<Line> lines;
    for (const char byte : bytes)
        take(byte, lines);
    return lines;
}

void LineSplitter::take(char byte, std::vector<Line> &lines)
{
    if (byte == '\n') {
        if (!skipping_) {
            if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
            if (partial_.size() > maxLength_)
                lines.push_back({{}, true});
            else
                lines.push_back({std::move(partial_), false});
        }
        partial_.clear();
        skipping_ = false;
        return;
    }
    if (skipping_) return;
    // One byte over the limit is kept: it may be the "\r" of a full line.
    if (partial_.size() > maxLength_) {
        partial_.clear();
        skipping_ = true;
        lines.push_back({{}, true});
        return;
    }
    partial_ += byte;
}
