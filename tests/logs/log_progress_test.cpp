// The progress a reading of log files reports: rising byte counts that end at the files' size,
// compressed bytes for compressed logs, and the text read where no size is known.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "logs/log_reader.h"
#include "tests/support/sailed_log.h"
#include "tests/support/temp_dir.h"

namespace {

// About nBytes of sailing, more than one chunk of the reader for a few MB.
std::string SailedText(std::size_t nBytes, unsigned nSeed) {
    std::string text;
    while (text.size() < nBytes) {
        text += GeneratedLog(KnownPolar(), nSeed++, 0.02);
    }
    return text;
}

void WriteCompressed(const std::string& strPath, const std::string& text) {
    gzFile file = gzopen(strPath.c_str(), "wb");
    gzwrite(file, text.data(), static_cast<unsigned>(text.size()));
    gzclose(file);
}

std::uint64_t FileSize(const std::string& strPath) {
    return static_cast<std::uint64_t>(std::filesystem::file_size(strPath));
}

struct Observed {
    std::vector<LogProgress> reports;
    LogCounts counts;
    bool bRead = false;
};

Observed ReadObserved(const std::vector<std::string>& aPaths) {
    Observed observed;
    LogReadOptions options;
    options.progress = [&](const LogProgress& p) { observed.reports.push_back(p); };
    std::string strError;
    observed.bRead = ReadLogs(
        aPaths, observed.counts, [](const LogSample&) {}, [] {}, strError, options);
    return observed;
}

void ExpectRising(const std::vector<LogProgress>& reports) {
    for (std::size_t i = 1; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].nBytesRead, reports[i - 1].nBytesRead) << i;
        EXPECT_EQ(reports[i].nBytesTotal, reports[0].nBytesTotal) << i;
    }
}

TEST(LogProgress, PlainAndCompressedLogsCountUpToTheSumOfTheirSizes) {
    TempDir dir;
    const std::string strPlain = dir.File("a.nmea");
    const std::string strCompressed = dir.File("b.nmea.gz");
    const std::string strSecondPlain = dir.File("c.nmea");
    const std::string text = SailedText(3u << 20, 1);
    TempDir::Write(strPlain, text);
    WriteCompressed(strCompressed, SailedText(6u << 20, 7));
    TempDir::Write(strSecondPlain, text.substr(0, 1000));  // less than a chunk
    const std::uint64_t nTotal =
        FileSize(strPlain) + FileSize(strCompressed) + FileSize(strSecondPlain);

    const Observed observed = ReadObserved({strPlain, strCompressed, strSecondPlain});
    ASSERT_TRUE(observed.bRead);
    ASSERT_GE(observed.reports.size(), 6u);  // during each big file, and at each file's end
    ExpectRising(observed.reports);
    EXPECT_EQ(observed.reports.front().nBytesTotal, nTotal);
    EXPECT_EQ(observed.reports.back().nBytesRead, nTotal);
    // The compressed file counts its compressed bytes: no report passes the total, and some
    // fall strictly inside it.
    std::size_t nInside = 0;
    for (const LogProgress& p : observed.reports) {
        EXPECT_LE(p.nBytesRead, nTotal);
        const bool bInCompressed = p.nBytesRead > FileSize(strPlain) &&
                                   p.nBytesRead < FileSize(strPlain) + FileSize(strCompressed);
        nInside += bInCompressed ? 1 : 0;
    }
    EXPECT_GE(nInside, 1u);

    // Observing changes nothing read.
    LogCounts unobserved;
    std::string strError;
    ASSERT_TRUE(ReadLogs(
        {strPlain, strCompressed, strSecondPlain}, unobserved, [](const LogSample&) {}, [] {},
        strError));
    EXPECT_EQ(unobserved.nSamples, observed.counts.nSamples);
    EXPECT_EQ(unobserved.nLines, observed.counts.nLines);
}

TEST(LogProgress, OneLogAloneHasItsSizeAsTotal) {
    TempDir dir;
    const std::string strLog = dir.File("log.gz");
    WriteCompressed(strLog, SailedText(2u << 20, 3));
    std::vector<LogProgress> reports;
    LogReadOptions options;
    options.progress = [&](const LogProgress& p) { reports.push_back(p); };
    LogCounts counts;
    std::string strError;
    ASSERT_TRUE(ReadLog(
        strLog, counts, [](const LogSample&) {}, strError, options));
    ASSERT_FALSE(reports.empty());
    ExpectRising(reports);
    EXPECT_EQ(reports.back().nBytesRead, FileSize(strLog));
    EXPECT_EQ(reports.back().nBytesTotal, FileSize(strLog));
}

TEST(LogProgress, ALogWithoutSizeMakesTheTotalUnknownAndCountsItsText) {
    TempDir dir;
    const std::string strFifo = dir.File("fifo");
    const std::string strFile = dir.File("log.nmea");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    const std::string text = SailedText(1u << 20, 5);
    const std::string compressedText = SailedText(3u << 20, 9);
    TempDir::Write(strFile, text);
    // The FIFO carries a compressed log: without a position, its text is what is counted.
    std::thread writer([&] { WriteCompressed(strFifo, compressedText); });
    const Observed observed = ReadObserved({strFile, strFifo});
    writer.join();
    ASSERT_TRUE(observed.bRead);
    ASSERT_FALSE(observed.reports.empty());
    ExpectRising(observed.reports);
    EXPECT_EQ(observed.reports.front().nBytesTotal, 0u);
    EXPECT_EQ(observed.reports.back().nBytesRead, text.size() + compressedText.size());
}

}  // namespace

// A cancel is heard between chunks, plain or compressed, and between logs: the reading ends
// there with what came before, and a later log is not begun.
TEST(LogProgress, ACancelStopsTheReadingAtTheNextChunkAndBeginsNoFurtherLog) {
    TempDir dir;
    const std::string strPlain = dir.File("a.nmea");
    const std::string strCompressed = dir.File("b.nmea.gz");
    const std::string strLast = dir.File("c.nmea");
    const std::string text = SailedText(4u << 20, 5);
    TempDir::Write(strPlain, text);
    WriteCompressed(strCompressed, text);
    TempDir::Write(strLast, text);
    LogCounts whole;
    std::string strError;
    ASSERT_TRUE(ReadLog(
        strPlain, whole, [](const LogSample&) {}, strError));

    for (const std::string& strFirst : {strPlain, strCompressed}) {
        // Cancelled once the first chunk has been handed on.
        int nReports = 0;
        int nLogs = 0;
        LogReadOptions options;
        options.progress = [&nReports](const LogProgress&) { ++nReports; };
        options.cancelled = [&nReports] { return nReports >= 1; };
        LogCounts counts;
        EXPECT_TRUE(ReadLogs(
            {strFirst, strLast}, counts, [](const LogSample&) {}, [&nLogs] { ++nLogs; }, strError,
            options))
            << strError;
        EXPECT_EQ(nReports, 1) << strFirst;  // no final report of a cancelled reading
        EXPECT_EQ(nLogs, 1) << strFirst;
        EXPECT_GT(counts.nSamples, 0u) << strFirst;
        EXPECT_LT(counts.nSamples, whole.nSamples / 2) << strFirst;
    }

    // Cancelled before anything: nothing is read, and that is no failure.
    LogReadOptions before;
    before.cancelled = [] { return true; };
    LogCounts none;
    EXPECT_TRUE(ReadLog(
        strPlain, none, [](const LogSample&) {}, strError, before));
    EXPECT_EQ(none.nLines, 0u);
}
