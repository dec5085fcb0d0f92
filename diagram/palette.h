#pragma once

#include <array>
#include <optional>
#include <string>

#include "framework/win_types.h"

// The diagram's five colours, in the order the host passes them: grid, background, current
// curve, tacking sector, other polars.
using DiagramPalette = std::array<COLORREF, 5>;

// A light grey grid on white, a deep blue curve, a pale green tacking sector, the other polars
// in a soft orange.
DiagramPalette DefaultPalette();

// "RRGGBB,RRGGBB,RRGGBB,RRGGBB,RRGGBB" ('#' allowed before each), or nothing when malformed.
std::optional<DiagramPalette> ParsePalette(const std::string& strText);
