#pragma once

// The polar formats of other sailing software (a TWA/TWS grid, a line per wind speed, the
// rating data's JSON and CSV), the table of them, and a polar's curve as the diagram draws it.
//
// Units: wind speeds, boat speeds and VMG in knots; angles in degrees, a true wind angle from 0
// (head to wind) to 180, the same on either tack.
//
// Errors: a reader takes any bytes, of any size and encoding, and throws nothing but
// std::bad_alloc: what it cannot read becomes ImportResult::error (line and column from 1 and
// what was expected there), and the records read before it are kept. A writer takes any sail
// plan; what a format cannot hold is left out (a polar's values outside its own angle range).
//
// Calls: functions of their arguments alone, keeping nothing between calls, so any thread may
// call them, also at the same time on different data. The curve functions take a polar's points
// in ascending order of angle, as every reader leaves them (SortSailPlan orders others).

#include "exchange/cell_text.h"
#include "exchange/format_table.h"
#include "exchange/formats.h"
#include "exchange/import_support.h"
#include "exchange/polar_curve.h"
