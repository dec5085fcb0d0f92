#pragma once

#include <string_view>

#include "logs/instrument_state.h"
#include "logs/nmea_sentence.h"

enum class SentenceRead {
    Read,           // a type this reader uses, its values read into the state
    WithoutValues,  // a type this reader uses, sent without a value it needs (fields empty)
    Other,          // a type this reader does not use, passed over
    Impossible,     // a type this reader uses, with a value no instrument gives (negative, huge)
    Bad,            // a type this reader uses, malformed or truncated
};

// Reads a sentence of the type given (the three letters after the talker) into the state.
SentenceRead ReadNmeaSentence(std::string_view type, const NmeaFields& fields,
                              InstrumentState& state);
