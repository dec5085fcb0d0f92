#include "logs/learn_options.h"

#include <cmath>

bool TimeOfDaySpan::Holds(double dLogTime) const {
    double dOfDay = std::fmod(dLogTime, 86400.0);
    if (dOfDay < 0) {
        dOfDay += 86400.0;
    }
    return dFrom <= dTo ? dOfDay >= dFrom && dOfDay < dTo : dOfDay >= dFrom || dOfDay < dTo;
}
