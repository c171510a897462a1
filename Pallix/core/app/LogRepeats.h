// What keeps the log short while a state lasts. An entry that repeats the
// one before is counted, and the count follows as "<entry> (repeated N
// times)" once a different entry comes. A short round of entries that comes
// again and again (a device that answers and fails in turn) is written
// twice and then counted in rounds; the count is written when the round
// breaks, and every ten minutes while it lasts.
#pragma once

#include <chrono>
#include <deque>
#include <string>
#include <vector>

class LogRepeats {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t LongestRound = 4;
    static constexpr std::chrono::minutes SummaryEvery{10};

    // The lines to write for this entry: none while it is counted.
    std::vector<std::string> add(const std::string &entry, Clock::time_point now);
    // Written every time: what the PC did or was asked to do.
    std::vector<std::string> addEvent(const std::string &entry);
    // The lines still owed: a count, and the start of an unfinished round.
    std::vector<std::string> flush();

private:
    std::vector<std::string> addInRound(const std::string &entry, Clock::time_point now);
    std::vector<std::string> endRound();
    std::string repeatsLine();
    std::string roundsLine();
    size_t roundStartingWith(const std::string &entry) const;
    const std::string &inRound(size_t index) const;
    void remember(const std::string &entry);

    std::deque<std::string> written_;   // the last entries written, a repeat counted as one
    int repeats_ = 0;                   // of written_.back(), not yet written

    // Counting rounds: the last round_ entries of written_.
    size_t round_ = 0;
    size_t next_ = 0;        // the round's entry expected next
    int rounds_ = 0;         // whole rounds not yet written
    int roundEntries_ = 0;   // the entries those rounds held
    int openEntries_ = 0;    // entries of the round under way
    Clock::time_point summarized_;
};
