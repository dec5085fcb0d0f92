#pragma once

#include <string_view>

#include "logs/instrument_state.h"

// A CSV log: a header naming its columns (time, TWS, TWA, STW or BSP, AWS, AWA; any order, any
// case, ',' or ';' between them, other columns ignored), then a row per moment. With ';' the
// numbers may have a decimal comma. Time is seconds or hh:mm:ss; without a time column a row is
// a second.
class CsvLog {
  public:
    // Whether the line is a header this reader can use: a boat speed, and the true or the
    // apparent wind. Nothing changes when it is not.
    bool ReadHeader(std::string_view line);
    // A row's sample into the state; false when the row cannot be read.
    bool ReadRow(std::string_view line, InstrumentState& state) const;

  private:
    struct Columns {
        int nTime = -1;
        int nTws = -1;
        int nTwa = -1;
        int nBoat = -1;
        int nAws = -1;
        int nAwa = -1;
    };
    char m_cSeparator = ',';
    Columns m_columns;
};
