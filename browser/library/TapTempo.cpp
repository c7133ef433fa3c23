#include "TapTempo.h"

#include <cmath>

bool TapTempo::tap(double t) {
    if (count == 0) {
        secs2 = secs = t;
        count = 1;
        return false;
    }
    const double d = t - secs2;
    if (!(d > 0.0))
        return false;  // same instant (or a clock that went back): no interval to measure
    bpm = 60.0 / (d / 1000.0);
    secs = t;
    const qint32 intervals = count;
    count = intervals + 1;
    allBpm += bpm;
    avgBpm = allBpm / intervals;
    secs2 = secs;
    return true;
}

void TapTempo::resetValues() {
    avgBpm = 0.0;
    count = 0;
    bpm = 0.0;
    allBpm = 0.0;
}

double TapTempo::lastTempo() const { return std::round(bpm) / 1000.0; }

double TapTempo::averageTempo() const { return std::round(avgBpm) / 1000.0; }
