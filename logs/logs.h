#pragma once

// Instrument logs read as a stream of samples (NMEA 0183 or CSV, gzip-compressed or not), and
// what is made of them: a polar learned from the steady sailing, and the sailing compared with
// a polar.
//
// Units: speeds in knots (a log's m/s and km/h are converted); angles in degrees, a sample's true
// wind angle folded into 0 to 180 (port and starboard alike); times in seconds of the log (the
// time of day, with the days past midnight counted on; without time in the log, a second per
// wind reading).
//
// Errors: nothing here throws but std::bad_alloc. Lines that cannot be read (a wrong checksum, a
// truncated or malformed sentence or row) are counted in LogCounts and skipped; a file that
// cannot be opened makes ReadLog and ReadLogs return false with the reason; a compressed log cut
// short gives what came before it (LogCounts::bTruncated).
//
// Calls: any bytes may be read. A reading calls its sink on the caller's thread, in log order,
// before it returns, and its memory does not grow with the log. A Learner, Comparison or
// SteadyFilter takes one stream of samples at a time (NewLog between logs) and is not shared
// between threads; separate ones may run at the same time.

#include "logs/comparison.h"
#include "logs/learner.h"
#include "logs/log_reader.h"
#include "logs/log_report.h"
#include "logs/log_sample.h"
#include "logs/log_text.h"
#include "logs/nmea_sentence.h"
#include "logs/polar_samples.h"
#include "logs/wind_triangle.h"
