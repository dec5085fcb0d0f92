#pragma once

#include <string_view>

#include "logs/instrument_state.h"
#include "logs/nmea_sentence.h"

// Reads a sentence of the type given (the three letters after the talker) into the state. False
// when a sentence of a type this reader uses is malformed or truncated; a type it does not use
// is passed over (true).
bool ReadNmeaSentence(std::string_view type, const NmeaFields& fields, InstrumentState& state);
