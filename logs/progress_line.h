#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

// The text of a reading's progress for one line of a terminal: the megabytes read, of the total
// when it is known (nTotal more than 0), the rate, and the time left when total and rate are
// known. What is not known is left out.
std::string FormatProgress(std::uint64_t nRead, std::uint64_t nTotal, double dSeconds);

// One line on a terminal showing a long reading's progress, written over in place with a
// carriage return, at most once per interval; Finish clears it. Shows nothing before the first
// interval has passed, so a short reading leaves no trace.
class ProgressLine {
  public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressLine(std::ostream& out, Clock::time_point start = Clock::now(),
                          Clock::duration interval = std::chrono::milliseconds(250));
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine();

    void Update(std::uint64_t nRead, std::uint64_t nTotal, Clock::time_point now = Clock::now());
    // Clears the line, if one was shown, and leaves the cursor at its start.
    void Finish();

  private:
    std::ostream& m_out;
    Clock::time_point m_start;
    Clock::time_point m_next;
    Clock::duration m_interval;
    std::size_t m_nShown = 0;  // the width of the line on the terminal
};

// Whether err is this process's standard error and that is a terminal: only then is progress
// shown, so that pipes, files and tests see none.
bool ShowsProgress(const std::ostream& err);
