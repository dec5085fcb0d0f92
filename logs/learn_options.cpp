#include "logs/learn_options.h"

#include <cmath>

#include "exchange/cell_text.h"

bool TimeOfDaySpan::Holds(double dLogTime) const {
    double dOfDay = std::fmod(dLogTime, 86400.0);
    if (dOfDay < 0) {
        dOfDay += 86400.0;
    }
    return dFrom <= dTo ? dOfDay >= dFrom && dOfDay < dTo : dOfDay >= dFrom || dOfDay < dTo;
}

bool ParseWindSpeedList(std::string_view text, std::vector<float>& values) {
    values.clear();
    for (std::size_t nStart = 0;;) {
        const std::size_t nComma = text.find(',', nStart);
        const auto v = ParseExchangeNumber(
            text.substr(nStart, nComma == std::string_view::npos ? std::string_view::npos
                                                                 : nComma - nStart),
            false);
        if (!v || *v <= 0 || (!values.empty() && *v <= values.back())) {
            values.clear();
            return false;
        }
        values.push_back(*v);
        if (nComma == std::string_view::npos) {
            return true;
        }
        nStart = nComma + 1;
    }
}
