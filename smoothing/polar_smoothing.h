#pragma once

#include <optional>
#include <vector>

#include "data/sailplan.h"

// The measured points of the polar being smoothed, held from the smoothing until the user
// keeps or discards the result; empty otherwise.
extern VectorArray g_aSmoothBackup;

// Degree of the polynomial for nPoints points: nPoints - 2 up to 6 points, then 5.
int SmoothingDegree(int nPoints);

// The whole degrees at which a smoothed polar is sampled, in ascending order, for the angles
// of its first and last point: the first angle truncated, then the grid lo + step, lo + 2
// step, ... up to hi (grid points not above the first sample are skipped). Empty when the
// range is empty or the angles cannot be sampled (not finite, or absurdly far below zero).
std::vector<int> SmoothingSamples(float fFirstAngle, float fLastAngle);
