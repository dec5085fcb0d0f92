#include "data/polar_text_scanner.h"

#include <cstring>

#include "data/number_text.h"
#include "data/text_encoding.h"

namespace {

// The white space that scanf skips before a number.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string DescribeByte(char c) {
    const auto uc = static_cast<unsigned char>(c);
    if (uc >= 0x21 && uc < 0x7F) {
        return std::string("'") + c + "'";
    }
    if (c == ' ') {
        return "a space";
    }
    static const char kHex[] = "0123456789ABCDEF";
    return std::string("byte 0x") + kHex[uc >> 4] + kHex[uc & 0xF];
}

}  // namespace

PolarTextScanner::PolarTextScanner(std::string_view text) : m_text(text) {}

std::size_t PolarTextScanner::SpaceEnd() const {
    std::size_t n = m_nPos;
    while (n < m_text.size() && IsSpace(m_text[n])) {
        ++n;
    }
    return n;
}

void PolarTextScanner::SkipSpace() {
    m_nPos = SpaceEnd();
}

bool PolarTextScanner::OnlySpaceLeft() const {
    return SpaceEnd() >= m_text.size();
}

bool PolarTextScanner::ReadNumber(float& fValue, const char* pszWhat) {
    if (m_stop) {
        return false;
    }
    SkipSpace();
    if (m_nPos >= m_text.size()) {
        return Fail(m_nPos,
                    std::string("the file ends where a number (") + pszWhat + ") is expected");
    }
    const char* pBegin = m_text.data() + m_nPos;
    const char* pEnd = m_text.data() + m_text.size();
    const std::size_t nUsed = ParseFloatPrefix(pBegin, pEnd, fValue);
    if (nUsed == 0) {
        return Fail(m_nPos, std::string("expected a number (") + pszWhat + "), found " +
                                DescribeByte(*pBegin));
    }
    m_nPos += nUsed;
    if (m_nPos < m_text.size() && m_text[m_nPos] == ',') {
        ++m_nPos;
    }
    return true;
}

bool PolarTextScanner::AtNumberField() const {
    const std::size_t nStart = SpaceEnd();
    float fIgnored = 0.0f;
    const char* pBegin = m_text.data() + nStart;
    const char* pEnd = m_text.data() + m_text.size();
    const std::size_t nUsed = ParseFloatPrefix(pBegin, pEnd, fIgnored);
    if (nUsed == 0) {
        return false;
    }
    // A digit starts a number, whatever follows it. A word like "Nancy" or "Info" begins
    // with what reads as nan or inf: it is a number only with its comma right after it.
    std::size_t nFirst = nStart;
    if (m_text[nFirst] == '+' || m_text[nFirst] == '-') {
        ++nFirst;
    }
    const char c = m_text[nFirst];
    if ((c >= '0' && c <= '9') || c == '.') {
        return true;
    }
    return nStart + nUsed < m_text.size() && m_text[nStart + nUsed] == ',';
}

bool PolarTextScanner::ReadName(std::string& strName) {
    strName.clear();
    if (m_stop) {
        return false;
    }
    const std::size_t nStart = m_nPos;
    const char* pBegin = m_text.data() + m_nPos;
    const void* pComma = std::memchr(pBegin, ',', m_text.size() - m_nPos);
    if (pComma == nullptr) {
        // Point at the text of the unfinished name rather than the line end before it.
        return Fail(SpaceEnd(), "the file ends inside a sail plan name (no comma after it)");
    }
    const std::size_t nComma =
        static_cast<std::size_t>(static_cast<const char*>(pComma) - m_text.data());
    for (std::size_t i = nStart; i < nComma; ++i) {
        const char c = m_text[i];
        if (c == '\n' || c == '\t') {
            continue;
        }
        if (c == '\r' && i + 1 < m_text.size() && m_text[i + 1] == '\n') {
            continue;
        }
        strName.push_back(c);
    }
    m_nPos = nComma + 1;
    if (strName.size() > kMaxNameLength) {
        const std::size_t nCut = CutLength(strName, kMaxNameLength);
        m_aWarnings.push_back(ProblemAt(nStart, "sail plan name of " +
                                                    std::to_string(strName.size()) +
                                                    " bytes cut to " + std::to_string(nCut)));
        strName.resize(nCut);
    }
    return true;
}

bool PolarTextScanner::Fail(std::size_t nOffset, std::string strMessage) {
    if (!m_stop) {
        m_stop = ProblemAt(nOffset, std::move(strMessage));
    }
    return false;
}

PolarFileProblem PolarTextScanner::ProblemAt(std::size_t nOffset, std::string strMessage) {
    // Problems come in file order, so the line count only moves forwards.
    if (nOffset < m_nLineScanOffset) {
        m_nLineScanOffset = 0;
        m_nLineStart = 0;
        m_nLine = 1;
    }
    for (std::size_t i = m_nLineScanOffset; i < nOffset && i < m_text.size(); ++i) {
        if (m_text[i] == '\n') {
            ++m_nLine;
            m_nLineStart = i + 1;
        }
    }
    m_nLineScanOffset = nOffset;
    return PolarFileProblem{m_nLine, static_cast<int>(nOffset - m_nLineStart + 1),
                            std::move(strMessage)};
}
