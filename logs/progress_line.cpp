#include "logs/progress_line.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>

namespace {

std::string Megabytes(std::uint64_t nBytes) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%.1f", static_cast<double>(nBytes) / 1e6);
    return sz;
}

std::string Duration(double dSeconds) {
    const auto n = static_cast<long long>(std::ceil(dSeconds));
    char sz[48];
    if (n >= 3600) {
        std::snprintf(sz, sizeof sz, "%lld:%02lld:%02lld", n / 3600, n / 60 % 60, n % 60);
    } else {
        std::snprintf(sz, sizeof sz, "%lld:%02lld", n / 60, n % 60);
    }
    return sz;
}

}  // namespace

std::string FormatProgress(std::uint64_t nRead, std::uint64_t nTotal, double dSeconds) {
    std::string strLine = "read ";
    strLine += Megabytes(nRead);
    if (nTotal > 0) {
        // A log that grows while read may pass its size: it is then as good as done.
        const std::uint64_t nPercent = nRead >= nTotal ? 100 : nRead * 100 / nTotal;
        strLine += " of ";
        strLine += Megabytes(nTotal);
        strLine += " MB (";
        strLine += std::to_string(nPercent);
        strLine += " %)";
    } else {
        strLine += " MB";
    }
    // No rate before time has passed and something was read.
    if (dSeconds > 0 && nRead > 0) {
        const double dRate = static_cast<double>(nRead) / dSeconds;
        char sz[32];
        std::snprintf(sz, sizeof sz, "%.1f", dRate / 1e6);
        strLine += ", ";
        strLine += sz;
        strLine += " MB/s";
        if (nTotal > 0) {
            const std::uint64_t nLeft = nRead >= nTotal ? 0 : nTotal - nRead;
            strLine += ", ";
            strLine += Duration(static_cast<double>(nLeft) / dRate);
            strLine += " left";
        }
    }
    return strLine;
}

ProgressLine::ProgressLine(std::ostream& out, Clock::time_point start, Clock::duration interval)
    : m_out(out), m_start(start), m_next(start + interval), m_interval(interval) {}

ProgressLine::~ProgressLine() {
    Finish();
}

void ProgressLine::Update(std::uint64_t nRead, std::uint64_t nTotal, Clock::time_point now) {
    if (now < m_next) {
        return;
    }
    m_next = now + m_interval;
    const std::string strLine =
        FormatProgress(nRead, nTotal, std::chrono::duration<double>(now - m_start).count());
    m_out << '\r' << strLine;
    // A shorter line covers what is left of the longer one before it.
    if (strLine.size() < m_nShown) {
        m_out << std::string(m_nShown - strLine.size(), ' ');
    } else {
        m_nShown = strLine.size();
    }
    m_out.flush();
}

void ProgressLine::Finish() {
    if (m_nShown == 0) {
        return;
    }
    m_out << '\r' << std::string(m_nShown, ' ') << '\r';
    m_out.flush();
    m_nShown = 0;
}

bool ShowsProgress(const std::ostream& err) {
    return &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
}
