#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/sailplan.h"
#include "logs/learn_options.h"
#include "logs/learner.h"
#include "logs/log_sample.h"

// What learning made of logs that were read: the sail plan, polarctl learn's summary and
// report, and when few points or none came of them, the main cause. polarctl and the window
// both finish a reading with it, so that they say the same.
struct LearnOutcome {
    // Without polars when nothing may be written (no wind speed with two points, or motoring).
    std::unique_ptr<SAILPLAN> pSailPlan;
    // The lines learn prints: the reading's counts, the points per wind speed, the main cause
    // of few points, the fit, the sensors' errors and the held-out legs.
    std::string strSummary;
    // The report, a JSON object: every bin, the counts and notes, calibration, fit, holdout,
    // cause.
    std::string strReportJson;
    // The main cause of few or no points, empty when there were enough.
    std::string strCause;
    bool bMotoringOnly = false;
};

// Finishes the learner (the logs read into it with options) into a sail plan called strName;
// with bFit each polar is replaced by its least-squares fit, between the sailed angles unless
// bExtrapolate.
LearnOutcome FinishLearning(Learner& learner, const LogCounts& counts, const LearnOptions& options,
                            const std::string& strName, bool bFit, bool bExtrapolate);

// Why an outcome without polars wrote nothing, in a line: "no wind speed has two points:
// nothing written (no wind was logged)".
std::string NothingLearnedReason(const LearnOutcome& outcome);

// "HH:MM-HH:MM[,HH:MM-HH:MM...]", --exclude's spans of the time of day; false for anything
// else, an empty text too.
bool ParseSpans(const std::string& strText, std::vector<TimeOfDaySpan>& spans);
