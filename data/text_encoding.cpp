#include "data/text_encoding.h"

#include <cstdint>

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; the five unassigned bytes keep the
// C1 control of the same value, as the platform's conversion does.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t nLen = 0;
        std::uint32_t cp = 0;
        std::uint32_t cpMin = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            nLen = 2, cp = c & 0x1Fu, cpMin = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            nLen = 3, cp = c & 0x0Fu, cpMin = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            nLen = 4, cp = c & 0x07u, cpMin = 0x10000;
        } else {
            return false;
        }
        if (i + nLen > n) {
            return false;
        }
        for (std::size_t k = 1; k < nLen; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        if (cp < cpMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += nLen;
    }
    return true;
}

std::string DecodeForDisplay(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        const std::uint32_t cp = (c >= 0x80 && c < 0xA0) ? kCp1252High[c - 0x80] : c;
        AppendUtf8(out, cp);
    }
    return out;
}

std::size_t CutLength(std::string_view bytes, std::size_t nLimit) {
    if (bytes.size() <= nLimit) {
        return bytes.size();
    }
    if (!IsValidUtf8(bytes)) {
        return nLimit;
    }
    std::size_t nCut = nLimit;
    while (nCut > 0 && (static_cast<unsigned char>(bytes[nCut]) & 0xC0) == 0x80) {
        --nCut;
    }
    return nCut;
}
