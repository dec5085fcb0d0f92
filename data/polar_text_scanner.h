#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A place in the data file and what was found there. Lines and columns count from 1; a
// column counts bytes from the start of its line.
struct PolarFileProblem {
    int nLine = 0;
    int nColumn = 0;
    std::string strMessage;
};

// The reading cursor over the whole text of a data file. It reads the way the stream
// functions of the original format do ("%f," for numbers, single characters for names, a
// CR LF pair counting as one line end) but never reads past the end: the first thing it
// cannot read is recorded as the stop, and every later read fails at once.
class PolarTextScanner {
  public:
    explicit PolarTextScanner(std::string_view text);

    // "%f,": skips white space, reads a number and consumes one comma if one follows.
    // pszWhat names the expected value for the problem text.
    bool ReadNumber(float& fValue, const char* pszWhat);
    // Reads a sail plan name up to its comma: line feeds and tabs are dropped, a CR of a
    // CR LF pair too; the name is cut to kMaxNameLength bytes (a warning says so).
    bool ReadName(std::string& strName);
    // Looks ahead without moving: is there nothing but white space left?
    bool OnlySpaceLeft() const;
    // Looks ahead without moving: after white space, does a polar header ("number,") follow,
    // rather than another name?
    bool AtNumberField() const;

    bool Stopped() const { return m_stop.has_value(); }
    std::size_t Position() const { return m_nPos; }
    std::optional<PolarFileProblem> TakeStop() { return std::move(m_stop); }
    std::vector<PolarFileProblem> TakeWarnings() { return std::move(m_aWarnings); }

    static constexpr std::size_t kMaxNameLength = 99;

  private:
    void SkipSpace();
    std::size_t SpaceEnd() const;
    bool Fail(std::size_t nOffset, std::string strMessage);
    PolarFileProblem ProblemAt(std::size_t nOffset, std::string strMessage);

    std::string_view m_text;
    std::size_t m_nPos = 0;
    std::optional<PolarFileProblem> m_stop;
    std::vector<PolarFileProblem> m_aWarnings;
    // Line bookkeeping for problem positions, advanced only forwards.
    std::size_t m_nLineScanOffset = 0;
    std::size_t m_nLineStart = 0;
    int m_nLine = 1;
};
