// What a reading counts, and the cause it gives when little comes out of the logs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logs/logs.h"
#include "tests/support/sailed_log.h"

namespace {

std::string Log(std::initializer_list<const char*> bodies) {
    std::string log;
    for (const char* pszBody : bodies) {
        log += NmeaSentence(pszBody) + "\r\n";
    }
    return log;
}

LogCounts CountsOf(const std::string& log, std::vector<LogSample>* pSamples = nullptr) {
    LogCounts counts;
    ReadLogText(log, counts, [&](const LogSample& s) {
        if (pSamples != nullptr) {
            pSamples->push_back(s);
        }
    });
    return counts;
}

TEST(LogCounts, EachLineFallsInOneCountAsInARealLog) {
    // Apparent wind first, then true wind; empty fields; MWV without its status field; AIS,
    // proprietary and unknown sentences; damage.
    std::string log =
        Log({"GPRMC,120000.00,A,5400.00,N,01000.00,E,5.5,90.0,010626,,", "IIVHW,,T,,M,6.0,N,,K",
             "IIMWV,59.0,R,11.7,N,A", "IIMWV,45.0,T,10.0,N,A", "IIVWT,45.0,L,10.0,N,,M,,K",
             "IIMWV,60.0,R,11.0,N,A", "IIMWV,50.0,T,10.5,N", "IIHDT,,T", "GPVTG,,T,,M,,N,,K,N",
             "IIMWV,,R,,N,V", "PGRMZ,120,f,3", "IIXYZ,1,2,3"});
    log += "!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26\n";
    log += "$IIXYZ,1,2,3\n";                              // an unknown type without checksum: noise
    log += "$IIMWV,45.0,T,10.0,N,A*00\n";                 // a wrong checksum
    log += NmeaSentence("IIVHW,,T,,M,-6.0,N,,K") + "\n";  // negative
    log += NmeaSentence("IIMWV,45.0,T,1e39,N,A") + "\n";  // beyond a float
    log += NmeaSentence("IIMWV,45.0,T,nan,N,A") + "\n";   // not a number
    log += "\x01\x1b[2J\x07 garbage\n";
    std::vector<LogSample> samples;
    const LogCounts counts = CountsOf(log, &samples);
    EXPECT_EQ(counts.nLines, 19u);
    EXPECT_EQ(counts.nEmptySentences, 3u);
    EXPECT_EQ(counts.nOtherSentences, 3u);
    EXPECT_EQ(counts.nBadLines, 6u);
    std::uint64_t nRead = 0;
    for (const auto& [strType, n] : counts.sentences) {
        nRead += n;
    }
    EXPECT_EQ(nRead + counts.nEmptySentences + counts.nOtherSentences + counts.nBadLines,
              counts.nLines);
    EXPECT_EQ(counts.sentences.count("XYZ"), 0u);
    // The apparent reading before any true one computed a sample; after the first true one,
    // only logged true wind of its type (MWV), the MWV without status too; the VWT between is
    // a second type, passed over and noted.
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(counts.nComputedWindSamples, 1u);
    EXPECT_EQ(counts.nTrueWindSamples, 2u);
    EXPECT_EQ(counts.nSecondTrueWind, 1u);
    EXPECT_FLOAT_EQ(samples[2].fWindSpeed, 10.5f);
    // And the apparent wind after the true (60 degrees, 11 kn) does not give its 45 and 10.
    ASSERT_EQ(LogNotes(counts).size(), 2u);
    EXPECT_NE(LogNotes(counts)[0].find("second sentence type"), std::string::npos);
    EXPECT_NE(LogNotes(counts)[1].find("differ from the apparent wind"), std::string::npos);
    const std::string text = LogCountsText(counts);
    EXPECT_NE(text.find("2 with logged true wind, 1 computed"), std::string::npos) << text;
    const std::string json = LogCountsJson(counts);
    for (const char* pszKey :
         {"\"lines\": 19", "\"bad_lines\": 6", "\"sentences_without_values\": 3",
          "\"other_sentences\": 3", "\"MWV\": ", "\"true_wind_samples\": 2",
          "\"computed_wind_samples\": 1", "\"notes\": [\"1 true wind readings"}) {
        EXPECT_NE(json.find(pszKey), std::string::npos) << pszKey << " in " << json;
    }
}

TEST(LogCounts, NegativeAndNonFiniteCsvReadingsAreBadRows) {
    std::vector<LogSample> samples;
    const LogCounts counts = CountsOf(
        "time,tws,twa,bsp,aws,awa\n0,10,45,6,,\n1,-10,45,6,,\n2,10,45,-6,,\n3,inf,45,6,,\n"
        "4,10,45,1e39,,\n5,,,6,-3,40\n6,10,nan,6,,\n",
        &samples);
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_EQ(counts.nBadLines, 6u);
}

TEST(LogCounts, TextFromTheLogIsPrintedEscaped) {
    EXPECT_EQ(PrintableText("MWV"), "MWV");
    EXPECT_EQ(PrintableText("a\x1b[2J\x07\\\xff"), "a\\x1B[2J\\x07\\\\\\xFF");
    EXPECT_EQ(JsonText("\"\x01"), "\"\\\"\\\\x01\"");
}

std::string MainCauseOf(const std::string& log, LearnOptions options = {}) {
    Learner learner(options);
    LogCounts counts;
    ReadLogText(log, counts, [&](const LogSample& s) { learner.Add(s); });
    learner.Finish();
    return MainCause(counts, learner.Counts(), options);
}

// A minute of one reading a second: the sentences given, with the time.
std::string Minute(const std::vector<std::string>& bodies) {
    std::string log;
    for (int t = 0; t < 60; ++t) {
        char sz[48];
        std::snprintf(sz, sizeof sz, "GPZDA,1200%02d.00,01,06,2026,00,00", t);
        log += NmeaSentence(sz) + "\n";
        for (const std::string& body : bodies) {
            log += NmeaSentence(body) + "\n";
        }
    }
    return log;
}

TEST(LogCounts, TheMainCauseOfNoPointsComesFromTheCounts) {
    const auto startsWith = [](const std::string& s, const char* psz) {
        return s.rfind(psz, 0) == 0;
    };
    EXPECT_TRUE(startsWith(MainCauseOf(""), "the logs hold no lines"));
    EXPECT_TRUE(
        startsWith(MainCauseOf(Minute({"IIMWV,45.0,T,10.0,N,A"})), "no boat speed was logged"));
    EXPECT_TRUE(startsWith(MainCauseOf(Minute({"IIMWV,45.0,R,10.0,N,A"})),
                           "apparent wind without boat speed"));
    EXPECT_TRUE(startsWith(MainCauseOf(Minute({"IIVHW,,T,,M,6.0,N,,K"})), "no wind was logged"));
    EXPECT_TRUE(startsWith(MainCauseOf(Minute({"IIVHW,,T,,M,0.0,N,,K", "IIMWV,45.0,T,10.0,N,A"})),
                           "the boat was at rest: 60 of 60 samples"));
    EXPECT_TRUE(startsWith(MainCauseOf(Minute({"IIVHW,,T,,M,6.0,N,,K", "IIMWV,45.0,T,50.0,N,A"})),
                           "wind speeds outside the list"));
    LearnOptions patient;
    patient.dSteadySeconds = 120;
    EXPECT_TRUE(
        startsWith(MainCauseOf(Minute({"IIVHW,,T,,M,6.0,N,,K", "IIMWV,45.0,T,10.0,N,A"}), patient),
                   "no steady stretch"));
    EXPECT_TRUE(startsWith(MainCauseOf(Minute({"IIVHW,,T,,M,6.0,N,,K", "IIMWV,45.0,T,10.0,N,A"})),
                           "too few samples per bin"));
}

TEST(LogCounts, NoSteadinessAskedForKeepsEverySailingSample) {
    LearnOptions options;
    options.dSteadySeconds = 0;
    Learner learner(options);
    LogCounts counts;
    ReadLogText(Minute({"IIVHW,,T,,M,6.0,N,,K", "IIMWV,45.0,T,10.0,N,A"}), counts,
                [&](const LogSample& s) { learner.Add(s); });
    learner.Finish();
    EXPECT_EQ(learner.Counts().nKept, 60u);
}

}  // namespace

namespace {

TEST(LogCounts, PartlyEmptySentencesLackValuesAndBadLinesSayWhatWasBad) {
    // As a real coastal log sends them: MWD with the wind's speeds and no direction, MWV
    // without its angle; then one bad line of each kind.
    std::string log = Log({"IIMWD,,,,,08.16,N,04.20,M", "IIMWV,,R,5.2,N,A", "IIHDT,,T"});
    log += "$IIMWD,,,,,08.16,N,04.20,M*00\n";             // the checksum does not match
    log += NmeaSentence("IIMWV,45.0,T") + "\n";           // cut short
    log += NmeaSentence("IIMWV,45.0,T,1e39,N,A") + "\n";  // beyond a float
    const LogCounts counts = CountsOf(log);
    EXPECT_EQ(counts.nEmptySentences, 3u);
    EXPECT_EQ(counts.nBadLines, 3u);
    EXPECT_EQ(counts.nBadChecksums, 1u);
    EXPECT_EQ(counts.nImpossibleValues, 1u);
    EXPECT_NE(LogCountsText(counts).find("bad lines skipped: 3 (checksum failures 1, cut or "
                                         "malformed 1, impossible values 1)"),
              std::string::npos)
        << LogCountsText(counts);
}

TEST(LogCounts, NotesSayOnlyWhatHeldForTheWholeLog) {
    // Speed over ground until the log's first VHW: told as those samples, not as a log without
    // speed through the water.
    const LogCounts early =
        CountsOf(Log({"GPRMC,120000.00,A,,,,,5.5,90.0,010626,,", "IIMWV,45.0,T,10.0,N,A",
                      "IIVHW,,T,,M,6.0,N,,K", "IIMWV,45.0,T,10.0,N,A"}));
    EXPECT_FALSE(early.bSpeedOverGround);
    const std::string text = LogCountsText(early);
    EXPECT_EQ(text.find("no speed through the water was logged"), std::string::npos) << text;
    EXPECT_NE(text.find("1 samples before the first speed through the water"), std::string::npos);
    // An apparent wind of 0 kn while sailing at 5 kn is noted.
    const LogCounts calm = CountsOf(Log({"IIVHW,,T,,M,5.0,N,,K", "IIMWV,40.0,R,0.0,N,A"}));
    EXPECT_EQ(calm.nCalmApparentUnderWay, 1u);
    EXPECT_NE(LogCountsText(calm).find("is the wind instrument working?"), std::string::npos);
}

TEST(LogCounts, CsvTimesMayBeIsoDatesAndTimesWithFractions) {
    const LogCounts counts = CountsOf(
        "time,tws,twa,stw\n2024-06-01 08:00:00.000000,10,45,6\n2024-06-01T08:00:01.5Z,10,45,6\n");
    EXPECT_EQ(counts.nBadLines, 0u);
    EXPECT_EQ(counts.nSamples, 2u);
}

}  // namespace
