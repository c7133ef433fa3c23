#pragma once
// The tap pad's arithmetic: each tap after the first closes an interval; the tempo of the
// last interval and the mean of all interval tempos since the reset, in thousandths of a
// beat per minute. No widgets, no clock: the caller passes each tap's time in seconds.
#include <QString>

class TapTempo {
public:
    // One tap at time `t` (seconds). Returns true when it closed an interval (a later tap),
    // false for a first tap and for a tap at the same instant as the previous one, which is
    // ignored: a zero interval has no tempo.
    bool tap(double t);
    void resetValues();

    double secs = 0.0;    // time of the latest tap
    double secs2 = 0.0;   // time of the tap before it
    qint32 count = 0;     // taps since the reset
    double bpm = 0.0;     // tempo of the last interval, thousandths of a BPM
    double allBpm = 0.0;  // sum of the interval tempos, thousandths of a BPM
    double avgBpm = 0.0;  // allBpm / intervals, thousandths of a BPM

    // The tempos as shown: rounded to whole thousandths, in beats per minute.
    double lastTempo() const;
    double averageTempo() const;
    // "%.2f" of a tempo, and the text of a field before the first interval.
    static QString fieldText(double tempo) { return QString::asprintf("%.2f", tempo); }
    static QString emptyFieldText() { return QStringLiteral("000.00"); }
};
