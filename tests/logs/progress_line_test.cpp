// The line of progress polarctl shows on a terminal: its text, how often it is written, and
// how it is cleared.
#include "logs/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using std::chrono::milliseconds;

TEST(ProgressText, KnownTotalGivesShareRateAndTimeLeft) {
    EXPECT_EQ(FormatProgress(50'000'000, 200'000'000, 2.0),
              "read 50.0 of 200.0 MB (25 %), 25.0 MB/s, 0:06 left");
    // Hours once the time left passes one; a part of a second left counts as a second.
    EXPECT_EQ(FormatProgress(1'000'000, 3'726'000'000, 1.0),
              "read 1.0 of 3726.0 MB (0 %), 1.0 MB/s, 1:02:05 left");
    EXPECT_EQ(FormatProgress(999'000, 1'000'000, 1.0),
              "read 1.0 of 1.0 MB (99 %), 1.0 MB/s, 0:01 left");
}

TEST(ProgressText, WhatIsNotKnownIsLeftOut) {
    // No total (a pipe): neither share nor time left.
    EXPECT_EQ(FormatProgress(3'500'000, 0, 1.0), "read 3.5 MB, 3.5 MB/s");
    // No time passed, or nothing read yet: no rate, and so no time left.
    EXPECT_EQ(FormatProgress(0, 100'000'000, 0), "read 0.0 of 100.0 MB (0 %)");
    EXPECT_EQ(FormatProgress(0, 100'000'000, 3.0), "read 0.0 of 100.0 MB (0 %)");
    EXPECT_EQ(FormatProgress(0, 0, 0), "read 0.0 MB");
    // A log that grew while read is done, not past done.
    EXPECT_EQ(FormatProgress(120'000'000, 100'000'000, 2.0),
              "read 120.0 of 100.0 MB (100 %), 60.0 MB/s, 0:00 left");
}

TEST(ProgressLine, WritesAtMostOncePerIntervalOverTheSameLine) {
    std::ostringstream out;
    const auto t0 = ProgressLine::Clock::time_point{};
    ProgressLine line(out, t0, milliseconds(250));
    line.Update(1'000'000, 0, t0 + milliseconds(100));
    EXPECT_EQ(out.str(), "");  // a short reading shows nothing
    line.Update(2'000'000, 0, t0 + milliseconds(500));
    EXPECT_EQ(out.str(), "\rread 2.0 MB, 4.0 MB/s");
    line.Update(3'000'000, 0, t0 + milliseconds(600));
    line.Update(3'500'000, 0, t0 + milliseconds(700));
    EXPECT_EQ(out.str(), "\rread 2.0 MB, 4.0 MB/s");
    line.Update(12'000'000, 0, t0 + milliseconds(1000));
    EXPECT_EQ(out.str(), "\rread 2.0 MB, 4.0 MB/s\rread 12.0 MB, 12.0 MB/s");
}

TEST(ProgressLine, AShorterLineCoversTheLongerOneAndFinishClearsTheWidestShown) {
    std::ostringstream out;
    const auto t0 = ProgressLine::Clock::time_point{};
    ProgressLine line(out, t0, milliseconds(250));
    line.Update(12'000'000, 0, t0 + milliseconds(1000));  // "read 12.0 MB, 12.0 MB/s": 23
    line.Update(3'000'000, 0, t0 + milliseconds(2000));   // "read 3.0 MB, 1.5 MB/s": 21
    EXPECT_EQ(out.str(), "\rread 12.0 MB, 12.0 MB/s\rread 3.0 MB, 1.5 MB/s  ");
    out.str("");
    line.Finish();
    EXPECT_EQ(out.str(), "\r" + std::string(23, ' ') + "\r");
    out.str("");
    line.Finish();  // once cleared, nothing more
    EXPECT_EQ(out.str(), "");
}

TEST(ProgressLine, FinishAfterNothingShownWritesNothing) {
    std::ostringstream out;
    {
        ProgressLine line(out);
        line.Update(1, 2);
        line.Finish();
    }
    EXPECT_EQ(out.str(), "");
}

TEST(ProgressLine, OnlyARealTerminalShowsIt) {
    std::ostringstream err;
    EXPECT_FALSE(ShowsProgress(err));
}

}  // namespace
