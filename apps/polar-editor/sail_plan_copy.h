#pragma once

#include <memory>

#include "data/sailplan.h"

// A sail plan of its own with the same name, polars and points.
std::unique_ptr<SAILPLAN> CopySailPlan(const SAILPLAN& sailPlan);
