#pragma once

#include <cstdio>
#include <string>

// A TWA/TWS grid (tab separated) of nWindSpeeds wind speeds from 4 kn in hundredths and the
// angles 30 to 180: 8000 wind speeds make about 7 MB, a file whose import takes long enough
// to be watched.
inline std::string WideGrid(int nWindSpeeds) {
    std::string grid = "twa/tws";
    char sz[16];
    for (int w = 0; w < nWindSpeeds; ++w) {
        std::snprintf(sz, sizeof sz, "\t%.2f", 4 + w * 0.01);
        grid += sz;
    }
    for (int a = 30; a <= 180; ++a) {
        std::snprintf(sz, sizeof sz, "\n%d", a);
        grid += sz;
        for (int w = 0; w < nWindSpeeds; ++w) {
            std::snprintf(sz, sizeof sz, "\t%d.25", 3 + (a + w) % 5);
            grid += sz;
        }
    }
    return grid + "\n";
}
