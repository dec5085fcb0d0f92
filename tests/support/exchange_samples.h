#pragma once

#include <string>
#include <string_view>

#include "data/sailplan.h"
#include "exchange/exchange.h"

// "ws: a/s a/s | ws: ..." for compact comparisons of a sail plan's points.
inline std::string Points(const SAILPLAN& plan) {
    std::string s;
    for (const auto& p : plan.m_aPolars) {
        s += FormatExchangeNumber(p->m_fWindSpeed) + ":";
        for (const auto& v : p->m_aVectors) {
            s += ' ';  // not `" " + string`, which trips GCC 12's -Wrestrict at -O3
            s += FormatExchangeNumber(v->m_fAngle) + "/" + FormatExchangeNumber(v->m_fSpeed);
        }
        s += " | ";
    }
    return s;
}

// The name of the format GuessFormat finds, or "none".
inline std::string GuessedName(std::string_view text, std::string_view path) {
    const ExchangeFormat* format = GuessFormat(text, path);
    return format != nullptr ? std::string(format->name) : std::string("none");
}

// One sail's polar from a sail set: 0 where the sail is not used. 14 kn has one value only,
// 16 kn none, 12 kn zeros between its values; rows with a single value open and close it.
inline constexpr const char* kSailGrid =
    "twa/tws;6;8;10;12;14;16\n"
    "0;0;0;0;0;0;0\n"
    "45;4,1;0;0;0;0;0\n"
    "52;4,8;5,6;0;0;0;0\n"
    "90;5,9;6,8;7,3;7,6;0;0\n"
    "120;0;6,9;7,5;0;0;0\n"
    "150;0;0;6,8;7,2;0;0\n"
    "165;0;0;0;0;8,3;0\n";
