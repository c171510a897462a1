#include "app/LogRepeats.h"

#include <algorithm>

std::vector<std::string> LogRepeats::add(const std::string &entry, Clock::time_point now)
{
    if (round_ != 0) return addInRound(entry, now);
    if (!written_.empty() && entry == written_.back()) {
        ++repeats_;
        return {};
    }
    std::vector<std::string> lines = flush();
    if (const size_t round = roundStartingWith(entry)) {
        round_ = round;
        next_ = 1;
        openEntries_ = 1;
        summarized_ = now;
        return lines;
    }
    remember(entry);
    lines.push_back(entry);
    return lines;
}

std::vector<std::string> LogRepeats::addEvent(const std::string &entry)
{
    std::vector<std::string> lines = flush();
    lines.push_back(entry);
    written_.clear();   // no round spans it
    return lines;
}

std::vector<std::string> LogRepeats::flush()
{
    if (round_ != 0) return endRound();
    if (repeats_ == 0) return {};
    return {repeatsLine()};
}

std::vector<std::string> LogRepeats::addInRound(const std::string &entry, Clock::time_point now)
{
    const size_t current = (next_ + round_ - 1) % round_;
    if (entry == inRound(current)) {
        ++openEntries_;
        return {};
    }
    if (entry != inRound(next_)) {
        std::vector<std::string> lines = endRound();
        for (std::string &line : add(entry, now))
            lines.push_back(std::move(line));
        return lines;
    }
    ++openEntries_;
    next_ = (next_ + 1) % round_;
    if (next_ != 0) return {};
    ++rounds_;
    roundEntries_ += openEntries_;
    openEntries_ = 0;
    if (now - summarized_ < SummaryEvery) return {};
    summarized_ = now;
    return {roundsLine()};
}

// Whole rounds are counted; the entries of one under way are written as
// they came, once each.
std::vector<std::string> LogRepeats::endRound()
{
    std::vector<std::string> lines;
    if (rounds_ != 0) lines.push_back(roundsLine());
    const std::vector<std::string> started(written_.end() - std::ptrdiff_t(round_),
                                           written_.end() - std::ptrdiff_t(round_ - next_));
    round_ = next_ = 0;
    openEntries_ = 0;
    for (const std::string &entry : started) {
        remember(entry);
        lines.push_back(entry);
    }
    return lines;
}

std::string LogRepeats::repeatsLine()
{
    const std::string times = repeats_ == 1 ? " time)" : " times)";
    const std::string line = written_.back() + " (repeated " + std::to_string(repeats_) + times;
    repeats_ = 0;
    return line;
}

std::string LogRepeats::roundsLine()
{
    const std::string line = "(the " + std::to_string(round_) + " entries before came again "
                             + std::to_string(rounds_) + (rounds_ == 1 ? " time" : " times")
                             + " in the same order: " + std::to_string(roundEntries_)
                             + " entries)";
    rounds_ = roundEntries_ = 0;
    return line;
}

// A round is its entries written twice in a row, and entry beginning a third.
size_t LogRepeats::roundStartingWith(const std::string &entry) const
{
    const size_t n = written_.size();
    for (size_t round = 2; round <= LongestRound && 2 * round <= n; ++round) {
        const auto second = written_.end() - std::ptrdiff_t(round);
        if (*second == entry && std::equal(second - std::ptrdiff_t(round), second, second))
            return round;
    }
    return 0;
}

const std::string &LogRepeats::inRound(size_t index) const
{
    return written_[written_.size() - round_ + index];
}

void LogRepeats::remember(const std::string &entry)
{
    written_.push_back(entry);
    if (written_.size() > 2 * LongestRound) written_.pop_front();
}
