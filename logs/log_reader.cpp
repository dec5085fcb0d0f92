#include "logs/log_reader.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/angle_units.h"

namespace {

constexpr double kFresh = 2.0;  // seconds a value stays current

double Fold(double dAngle) {
    dAngle = std::fmod(dAngle, 360.0);
    if (dAngle < 0) {
        dAngle += 360.0;
    }
    return dAngle > 180.0 ? 360.0 - dAngle : dAngle;
}

bool Number(std::string_view field, double& d) {
    if (field.empty()) {
        return false;
    }
    // The usual instrument value ("-12.345"): digits read directly, which is several times
    // faster than a general conversion; anything else (an exponent, many digits) takes that.
    std::size_t i = field[0] == '-' || field[0] == '+' ? 1 : 0;
    std::uint64_t nMantissa = 0;
    int nDigits = 0;
    int nFraction = -1;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c >= '0' && c <= '9') {
            nMantissa = nMantissa * 10 + static_cast<std::uint64_t>(c - '0');
            ++nDigits;
            nFraction += nFraction >= 0 ? 1 : 0;
        } else if (c == '.' && nFraction < 0) {
            nFraction = 0;
        } else {
            break;
        }
    }
    if (i == field.size() && nDigits > 0 && nDigits <= 15) {
        static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        d = static_cast<double>(nMantissa) / kPowers[nFraction > 0 ? nFraction : 0];
        d = field[0] == '-' ? -d : d;
        return true;
    }
    const char* p = field.data();
    if (*p == '+') {
        ++p;
    }
    const auto [end, ec] = std::from_chars(p, field.data() + field.size(), d);
    return ec == std::errc() && end == field.data() + field.size() && std::isfinite(d);
}

int Hex(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : -1;
}

// "hhmmss.ss" as seconds of the day.
bool TimeOfDay(std::string_view field, double& dSeconds) {
    double d = 0;
    if (field.size() < 6 || !Number(field, d)) {
        return false;
    }
    const double hh = std::floor(d / 10000);
    const double mm = std::floor((d - hh * 10000) / 100);
    const double ss = d - hh * 10000 - mm * 100;
    if (hh > 23 || mm > 59 || ss >= 61) {
        return false;
    }
    dSeconds = hh * 3600 + mm * 60 + ss;
    return true;
}

// A speed field with its unit: knots, m/s or km/h.
bool SpeedKnots(std::string_view value, std::string_view unit, double& dKnots) {
    double d = 0;
    if (!Number(value, d) || d < 0) {
        return false;
    }
    if (unit == "N") {
        dKnots = d;
    } else if (unit == "M") {
        dKnots = d * 1.9438444924;
    } else if (unit == "K") {
        dKnots = d * 0.5399568035;
    } else {
        return false;
    }
    return true;
}

class LogParser {
  public:
    LogParser(LogCounts& counts, const std::function<void(const LogSample&)>& sink)
        : m_counts(counts), m_sink(sink) {}

    void Line(std::string_view line) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
            line.remove_suffix(1);
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            return;
        }
        ++m_counts.nLines;
        const std::size_t nDollar = line.find('$');
        if (m_mode != Mode::Csv && nDollar != std::string_view::npos) {
            m_mode = Mode::Nmea;
            Sentence(line.substr(nDollar));
            return;
        }
        if (m_mode == Mode::Unknown && Header(line)) {
            m_mode = Mode::Csv;
            return;
        }
        if (m_mode == Mode::Csv) {
            Row(line);
            return;
        }
        ++m_counts.nBadLines;  // neither a sentence nor a row of a known table
    }

  private:
    enum class Mode { Unknown, Nmea, Csv };

    double Now() const { return m_bTime ? m_dTime : m_dCounter; }
    bool Fresh(double dWhen) const { return dWhen > -1e300 && Now() - dWhen <= kFresh; }

    void SetTime(double dOfDay) {
        if (m_bTime && dOfDay + m_dDays < m_dTime - 43200) {
            m_dDays += 86400;  // past midnight
        }
        m_dTime = dOfDay + m_dDays;
        m_bTime = true;
    }

    void Sentence(std::string_view s) {
        // One pass: the fields split at the commas, and the checksum (the XOR of the
        // characters between '$' and '*') taken on the way.
        std::array<std::string_view, 24> f{};
        std::size_t n = 0;
        unsigned char x = 0;
        std::size_t nStart = 1;
        std::size_t i = 1;
        for (; i < s.size() && s[i] != '*'; ++i) {
            x ^= static_cast<unsigned char>(s[i]);
            if (s[i] == ',' && n + 1 < f.size()) {
                f[n++] = s.substr(nStart, i - nStart);
                nStart = i + 1;
            }
        }
        f[n++] = s.substr(nStart, i - nStart);
        if (i < s.size()) {  // a checksum follows
            if (s.size() < i + 3 || Hex(s[i + 1]) < 0 || Hex(s[i + 2]) < 0 ||
                x != Hex(s[i + 1]) * 16 + Hex(s[i + 2])) {
                ++m_counts.nBadLines;
                return;
            }
        }
        if (f[0].size() != 5 || f[0][0] == 'P') {
            ++m_counts.nBadLines;
            return;
        }
        const std::string_view type = f[0].substr(2);
        if (!Handle(type, f, n)) {
            ++m_counts.nBadLines;
            return;
        }
        Count(type);
    }

    // Counted in place for the usual types (a map lookup per sentence would cost more than
    // reading it), handed to the counts at the end.
    void Count(std::string_view type) {
        for (std::size_t i = 0; i < m_aTypes.size(); ++i) {
            if (m_aTypes[i] == type) {
                ++m_aTypeCounts[i];
                return;
            }
            if (m_aTypes[i].empty()) {
                m_aTypes[i] = type;
                m_aTypeCounts[i] = 1;
                return;
            }
        }
        ++m_counts.sentences[std::string(type)];
    }

  public:
    ~LogParser() {
        for (std::size_t i = 0; i < m_aTypes.size() && !m_aTypes[i].empty(); ++i) {
            m_counts.sentences[m_aTypes[i]] += m_aTypeCounts[i];
        }
    }

  private:
    // False for a malformed or truncated sentence of a known type; unknown types are skipped.
    bool Handle(std::string_view type, const std::array<std::string_view, 24>& f, std::size_t n) {
        double a = 0;
        double v = 0;
        if (type == "MWV") {
            if (n < 6 || !Number(f[1], a) || !SpeedKnots(f[3], f[4], v)) {
                return false;
            }
            if (f[5].substr(0, 1) != "A") {
                return true;  // the instrument says the value is not valid
            }
            if (f[2] == "T") {
                TrueWind(v, a);
            } else if (f[2] == "R") {
                ApparentWind(v, a);
            } else {
                return false;
            }
            return true;
        }
        if (type == "VWT" || type == "VWR") {
            if (n < 5 || !Number(f[1], a) || (f[2] != "L" && f[2] != "R") ||
                !SpeedKnots(f[3], f[4], v)) {
                return false;
            }
            const double dFromBow = f[2] == "L" ? 360.0 - a : a;
            type == "VWT" ? TrueWind(v, dFromBow) : ApparentWind(v, dFromBow);
            return true;
        }
        if (type == "MWD") {
            double dTrue = 0;
            double dMagnetic = 0;
            const bool bTrue = n > 2 && Number(f[1], dTrue);
            const bool bMagnetic = n > 4 && Number(f[3], dMagnetic);
            if (n < 7 || !SpeedKnots(f[5], f[6], v) || (!bTrue && !bMagnetic)) {
                return false;
            }
            if (bTrue && Fresh(m_dHeadingTrueTime)) {
                TrueWind(v, dTrue - m_dHeadingTrue);
            } else if (bMagnetic && Fresh(m_dHeadingMagneticTime)) {
                TrueWind(v, dMagnetic - m_dHeadingMagnetic);
            }
            return true;
        }
        if (type == "HDT" || type == "HDM") {
            if (n < 2 || !Number(f[1], a)) {
                return false;
            }
            (type == "HDT" ? m_dHeadingTrue : m_dHeadingMagnetic) = a;
            (type == "HDT" ? m_dHeadingTrueTime : m_dHeadingMagneticTime) = Now();
            return true;
        }
        if (type == "HDG") {
            if (n < 2 || !Number(f[1], a)) {
                return false;
            }
            double dDeviation = 0;
            if (n > 3 && Number(f[2], dDeviation)) {
                a += f[3] == "W" ? -dDeviation : dDeviation;
            }
            m_dHeadingMagnetic = a;
            m_dHeadingMagneticTime = Now();
            double dVariation = 0;
            if (n > 5 && Number(f[4], dVariation)) {
                m_dHeadingTrue = a + (f[5] == "W" ? -dVariation : dVariation);
                m_dHeadingTrueTime = Now();
            }
            return true;
        }
        if (type == "VHW") {
            if (n < 7 || !Number(f[5], v) || v < 0) {
                return false;
            }
            m_dWaterSpeed = v;
            m_dWaterSpeedTime = Now();
            m_bWaterSpeedSeen = true;
            return true;
        }
        if (type == "VPW") {
            // The speed along the wind is no speed of the boat's own: read, not used.
            return n >= 2 && (f[1].empty() || Number(f[1], v));
        }
        if (type == "VTG") {
            if (n < 7 || !Number(f[5], v) || v < 0) {
                return false;
            }
            GroundSpeed(v);
            return true;
        }
        if (type == "RMC") {
            double t = 0;
            if (n < 10 || !TimeOfDay(f[1], t)) {
                return false;
            }
            SetTime(t);
            if (f[2] == "A" && Number(f[7], v) && v >= 0) {
                GroundSpeed(v);
            }
            return true;
        }
        if (type == "ZDA" || type == "GLL") {
            double t = 0;
            if (!TimeOfDay(type == "ZDA" ? f[1] : (n > 5 ? f[5] : std::string_view()), t)) {
                return false;
            }
            SetTime(t);
            return true;
        }
        return true;  // a sentence this reader does not use
    }

    void GroundSpeed(double dKnots) {
        m_dGroundSpeed = dKnots;
        m_dGroundSpeedTime = Now();
    }

    bool BoatSpeed(double& dKnots) const {
        if (m_bWaterSpeedSeen) {
            dKnots = m_dWaterSpeed;
            return Fresh(m_dWaterSpeedTime);
        }
        dKnots = m_dGroundSpeed;
        return Fresh(m_dGroundSpeedTime);
    }

    void TrueWind(double dSpeed, double dFromBow) {
        m_bTrueWindSeen = true;
        if (!m_bTime) {
            m_dCounter += 1.0;  // no time in the log: a second per wind reading
        }
        Emit(dSpeed, Fold(dFromBow));
    }

    void ApparentWind(double dSpeed, double dFromBow) {
        if (m_bTrueWindSeen) {
            return;  // the log has true wind: that one counts
        }
        if (!m_bTime) {
            m_dCounter += 1.0;
        }
        double dBoat = 0;
        if (!BoatSpeed(dBoat)) {
            return;
        }
        double dTrueSpeed = 0;
        double dTrueAngle = 0;
        TrueWindFromApparent(dSpeed, dFromBow, dBoat, dTrueSpeed, dTrueAngle);
        m_counts.bApparentWind = true;
        Emit(dTrueSpeed, Fold(dTrueAngle));
    }

    void Emit(double dWindSpeed, double dWindAngle) {
        double dBoat = 0;
        if (!BoatSpeed(dBoat)) {
            return;
        }
        m_counts.bSpeedOverGround = m_counts.bSpeedOverGround || !m_bWaterSpeedSeen;
        Deliver({Now(), static_cast<float>(dWindSpeed), static_cast<float>(dWindAngle),
                 static_cast<float>(dBoat)});
    }

    // A sample with values beyond what a float holds (a garbled reading) is no sample.
    void Deliver(const LogSample& sample) {
        if (!std::isfinite(sample.fWindSpeed) || !std::isfinite(sample.fWindAngle) ||
            !std::isfinite(sample.fBoatSpeed)) {
            ++m_counts.nBadLines;
            return;
        }
        ++m_counts.nSamples;
        m_sink(sample);
    }

    // ---- CSV ----

    static std::vector<std::string_view> Cells(std::string_view line, char cSeparator) {
        std::vector<std::string_view> cells;
        for (std::size_t start = 0;;) {
            const std::size_t n = line.find(cSeparator, start);
            std::string_view cell = line.substr(start, n == line.npos ? line.npos : n - start);
            while (!cell.empty() && (cell.front() == ' ' || cell.front() == '"')) {
                cell.remove_prefix(1);
            }
            while (!cell.empty() && (cell.back() == ' ' || cell.back() == '"')) {
                cell.remove_suffix(1);
            }
            cells.push_back(cell);
            if (n == line.npos) {
                return cells;
            }
            start = n + 1;
        }
    }

    bool Header(std::string_view line) {
        m_cSeparator =
            std::count(line.begin(), line.end(), ';') > std::count(line.begin(), line.end(), ',')
                ? ';'
                : ',';
        const auto cells = Cells(line, m_cSeparator);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            std::string name;
            for (char c : cells[i]) {
                name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
            }
            const int c = static_cast<int>(i);
            if (name == "time") {
                m_nTime = c;
            } else if (name == "tws") {
                m_nTws = c;
            } else if (name == "twa") {
                m_nTwa = c;
            } else if (name == "stw" || name == "bsp") {
                m_nBoat = c;
            } else if (name == "aws") {
                m_nAws = c;
            } else if (name == "awa") {
                m_nAwa = c;
            }
        }
        const bool bWind = (m_nTws >= 0 && m_nTwa >= 0) || (m_nAws >= 0 && m_nAwa >= 0);
        return bWind && m_nBoat >= 0;
    }

    void Row(std::string_view line) {
        const auto cells = Cells(line, m_cSeparator);
        const auto at = [&](int n, double& d) {
            if (n < 0 || static_cast<std::size_t>(n) >= cells.size()) {
                return false;
            }
            std::string_view cell = cells[static_cast<std::size_t>(n)];
            // With ';' between the cells, a decimal comma.
            char sz[64];
            if (m_cSeparator == ';' && cell.find(',') != cell.npos && cell.size() < sizeof sz) {
                std::copy(cell.begin(), cell.end(), sz);
                std::replace(sz, sz + cell.size(), ',', '.');
                cell = std::string_view(sz, cell.size());
            }
            return Number(cell, d);
        };
        double dTime = 0;
        if (m_nTime >= 0) {
            double d = 0;
            const std::string_view cell =
                static_cast<std::size_t>(m_nTime) < cells.size() ? cells[m_nTime] : "";
            if (Number(cell, d)) {
                dTime = d;
            } else if (cell.size() >= 8 && cell[2] == ':' && cell[5] == ':') {
                double h = 0, m = 0, s = 0;
                if (!Number(cell.substr(0, 2), h) || !Number(cell.substr(3, 2), m) ||
                    !Number(cell.substr(6), s)) {
                    ++m_counts.nBadLines;
                    return;
                }
                dTime = h * 3600 + m * 60 + s;
            } else {
                ++m_counts.nBadLines;
                return;
            }
            SetTime(dTime);
        } else {
            m_dCounter += 1.0;
        }
        double dBoat = 0;
        double dSpeed = 0;
        double dAngle = 0;
        if (!at(m_nBoat, dBoat) || dBoat < 0) {
            ++m_counts.nBadLines;
            return;
        }
        if (at(m_nTws, dSpeed) && at(m_nTwa, dAngle)) {
            // a true wind row
        } else if (at(m_nAws, dSpeed) && at(m_nAwa, dAngle)) {
            TrueWindFromApparent(dSpeed, dAngle, dBoat, dSpeed, dAngle);
            m_counts.bApparentWind = true;
        } else {
            ++m_counts.nBadLines;
            return;
        }
        Deliver({Now(), static_cast<float>(dSpeed), static_cast<float>(Fold(dAngle)),
                 static_cast<float>(dBoat)});
    }

    LogCounts& m_counts;
    const std::function<void(const LogSample&)>& m_sink;
    std::array<std::string, 16> m_aTypes;
    std::array<std::uint64_t, 16> m_aTypeCounts{};
    Mode m_mode = Mode::Unknown;
    bool m_bTime = false;
    double m_dTime = 0;
    double m_dDays = 0;
    double m_dCounter = 0;
    bool m_bTrueWindSeen = false;
    bool m_bWaterSpeedSeen = false;
    double m_dWaterSpeed = 0, m_dWaterSpeedTime = -1e301;
    double m_dGroundSpeed = 0, m_dGroundSpeedTime = -1e301;
    double m_dHeadingTrue = 0, m_dHeadingTrueTime = -1e301;
    double m_dHeadingMagnetic = 0, m_dHeadingMagneticTime = -1e301;
    char m_cSeparator = ',';
    int m_nTime = -1, m_nTws = -1, m_nTwa = -1, m_nBoat = -1, m_nAws = -1, m_nAwa = -1;
};

// Hands complete lines of the chunks to the parser; a line split between chunks is kept.
class LineSplitter {
  public:
    explicit LineSplitter(LogParser& parser) : m_parser(parser) {}
    void Feed(const char* p, std::size_t n) {
        std::string_view chunk(p, n);
        while (!chunk.empty()) {
            const std::size_t nl = chunk.find('\n');
            if (nl == std::string_view::npos) {
                if (m_carry.size() < (1u << 16)) {  // a "line" longer than any sentence: cut
                    m_carry.append(chunk);
                }
                return;
            }
            if (m_carry.empty()) {
                m_parser.Line(chunk.substr(0, nl));
            } else {
                m_carry.append(chunk.substr(0, nl));
                m_parser.Line(m_carry);
                m_carry.clear();
            }
            chunk.remove_prefix(nl + 1);
        }
    }
    void End() {
        if (!m_carry.empty()) {
            m_parser.Line(m_carry);
            m_carry.clear();
        }
    }

  private:
    LogParser& m_parser;
    std::string m_carry;
};

}  // namespace

void TrueWindFromApparent(double dApparentSpeed, double dApparentAngle, double dBoatSpeed,
                          double& dTrueSpeed, double& dTrueAngle) {
    // The apparent wind is the true wind plus the wind of the boat's own motion (from ahead).
    const double a = dApparentAngle * kRadiansPerDegree;
    const double x = dApparentSpeed * std::cos(a) - dBoatSpeed;  // along the boat, from ahead
    const double y = dApparentSpeed * std::sin(a);
    dTrueSpeed = std::hypot(x, y);
    double dAngle = std::atan2(y, x) / kRadiansPerDegree;
    if (dAngle < 0) {
        dAngle += 360.0;
    }
    dTrueAngle = dTrueSpeed > 0 ? dAngle : 0.0;
}

std::string NmeaSentence(std::string_view body) {
    unsigned char x = 0;
    for (char c : body) {
        x ^= static_cast<unsigned char>(c);
    }
    static const char kHex[] = "0123456789ABCDEF";
    std::string s = "$";
    s.append(body);
    s.push_back('*');
    s.push_back(kHex[x >> 4]);
    s.push_back(kHex[x & 0xF]);
    return s;
}

void ReadLogText(std::string_view text, LogCounts& counts,
                 const std::function<void(const LogSample&)>& sink) {
    LogParser parser(counts, sink);
    LineSplitter lines(parser);
    lines.Feed(text.data(), text.size());
    lines.End();
}

bool ReadLog(const std::string& strPath, LogCounts& counts,
             const std::function<void(const LogSample&)>& sink, std::string& strError) {
    // gzopen reads plain files as they are, too; "-" is standard input (a copy of its
    // descriptor, which gzclose closes).
    gzFile file = nullptr;
    if (strPath == "-") {
        const int fd = ::dup(STDIN_FILENO);
        file = fd >= 0 ? gzdopen(fd, "rb") : nullptr;
        if (file == nullptr && fd >= 0) {
            ::close(fd);
        }
    } else {
        file = gzopen(strPath.c_str(), "rb");
    }
    if (file == nullptr) {
        strError = "cannot open " + (strPath == "-" ? std::string("standard input") : strPath);
        return false;
    }
    gzbuffer(file, 1 << 18);
    LogParser parser(counts, sink);
    LineSplitter lines(parser);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const int n = gzread(file, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n < 0) {
            // A damaged or cut compressed file: what came before is kept.
            counts.bTruncated = true;
            break;
        }
        if (n == 0) {
            break;
        }
        lines.Feed(buffer.data(), static_cast<std::size_t>(n));
    }
    lines.End();
    int nError = Z_OK;
    gzerror(file, &nError);
    if (nError != Z_OK && nError != Z_STREAM_END) {
        counts.bTruncated = true;
    }
    gzclose(file);
    return true;
}
