#pragma once

#include <string>

#include "data/sailplan.h"
#include "framework/controls.h"

// Helpers that show records in the dialog's controls. Names are bytes; they are shown as text
// decoded as DESIGN.md says.

// Empties the combo box, adds each polar's wind speed ("%0.2f") in array order, selects entry 0.
void FillWindSpeedCombo(const SAILPLAN& sailPlan, CComboBox& combo);
// Empties the list; then, when the sail plan has polar nPolar, shows its points.
void FillVectorList(const SAILPLAN& sailPlan, int nPolar, CListCtrl& list);
// Empties the list and shows the points: angle and speed, "%0.2f" each.
void FillVectorList(const PERF_POLAR& polar, CListCtrl& list);
// A sail plan name as the combo box shows it.
std::string DisplayName(const SAILPLAN& sailPlan);
