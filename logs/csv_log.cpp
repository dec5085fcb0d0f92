#include "logs/csv_log.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "logs/log_values.h"

namespace {

// The cells of a line, without the blanks and quotes around them.
std::vector<std::string_view> Cells(std::string_view line, char cSeparator) {
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

std::string_view CellAt(const std::vector<std::string_view>& cells, int n) {
    return n >= 0 && static_cast<std::size_t>(n) < cells.size() ? cells[static_cast<std::size_t>(n)]
                                                                : std::string_view();
}

// Seconds, hh:mm:ss (fractions allowed), or an ISO date and time ("2024-06-01 08:00:00.000000",
// "2024-06-01T08:00:00.5Z"): its time of day.
bool ParseTime(std::string_view cell, double& dSeconds) {
    if (ParseLogNumber(cell, dSeconds)) {
        return true;
    }
    if (cell.size() >= 19 && cell[4] == '-' && cell[7] == '-' &&
        (cell[10] == ' ' || cell[10] == 'T')) {
        cell.remove_prefix(11);
        if (!cell.empty() && cell.back() == 'Z') {
            cell.remove_suffix(1);
        }
    }
    double h = 0;
    double m = 0;
    double s = 0;
    if (cell.size() < 8 || cell[2] != ':' || cell[5] != ':' ||
        !ParseLogNumber(cell.substr(0, 2), h) || !ParseLogNumber(cell.substr(3, 2), m) ||
        !ParseLogNumber(cell.substr(6), s)) {
        return false;
    }
    dSeconds = h * 3600 + m * 60 + s;
    return true;
}

}  // namespace

bool CsvLog::ReadHeader(std::string_view line) {
    const char cSeparator =
        std::count(line.begin(), line.end(), ';') > std::count(line.begin(), line.end(), ',') ? ';'
                                                                                              : ',';
    const std::vector<std::string_view> cells = Cells(line, cSeparator);
    Columns columns;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        std::string name;
        for (char c : cells[i]) {
            name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
        const int c = static_cast<int>(i);
        if (name == "time") {
            columns.nTime = c;
        } else if (name == "tws") {
            columns.nTws = c;
        } else if (name == "twa") {
            columns.nTwa = c;
        } else if (name == "stw" || name == "bsp") {
            columns.nBoat = c;
        } else if (name == "aws") {
            columns.nAws = c;
        } else if (name == "awa") {
            columns.nAwa = c;
        }
    }
    const bool bWind =
        (columns.nTws >= 0 && columns.nTwa >= 0) || (columns.nAws >= 0 && columns.nAwa >= 0);
    if (!bWind || columns.nBoat < 0) {
        return false;
    }
    m_cSeparator = cSeparator;
    m_columns = columns;
    return true;
}

bool CsvLog::ReadRow(std::string_view line, InstrumentState& state) const {
    const std::vector<std::string_view> cells = Cells(line, m_cSeparator);
    // A number; with bReading, a reading that a sample can hold (ParseReading).
    const auto number = [&](int n, double& d, bool bReading) {
        std::string_view cell = CellAt(cells, n);
        // With ';' between the cells, a decimal comma.
        char sz[64];
        if (m_cSeparator == ';' && cell.find(',') != cell.npos && cell.size() < sizeof sz) {
            std::copy(cell.begin(), cell.end(), sz);
            std::replace(sz, sz + cell.size(), ',', '.');
            cell = std::string_view(sz, cell.size());
        }
        return bReading ? ParseReading(cell, d) : ParseLogNumber(cell, d);
    };
    if (m_columns.nTime >= 0) {
        double dTime = 0;
        if (!ParseTime(CellAt(cells, m_columns.nTime), dTime)) {
            return false;
        }
        state.SetTimeOfDay(dTime);
    } else {
        state.TickWithoutTime();
    }
    double dBoat = 0;
    double dSpeed = 0;
    double dAngle = 0;
    if (!number(m_columns.nBoat, dBoat, true)) {
        return false;
    }
    if (number(m_columns.nTws, dSpeed, true) && number(m_columns.nTwa, dAngle, false)) {
        state.WindWithBoatSpeed(dSpeed, dAngle, dBoat, false);
    } else if (number(m_columns.nAws, dSpeed, true) && number(m_columns.nAwa, dAngle, false)) {
        state.WindWithBoatSpeed(dSpeed, dAngle, dBoat, true);
    } else {
        return false;
    }
    return true;
}
