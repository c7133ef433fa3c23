#pragma once
// The speed slider: a factor from 0.25 to 4.0 on a logarithmic scale, so that normal speed
// (1.0) sits in the middle and halving or doubling are equal moves.
#include <QSlider>

#include <cmath>

class SpeedSlider : public QSlider {
    Q_OBJECT
public:
    explicit SpeedSlider(QWidget *parent = nullptr) : QSlider(Qt::Horizontal, parent) {
        setRange(-200, 200);  // hundredths of an octave
        setValue(0);
        setPageStep(100);
    }
    double doubleValue() const { return std::pow(2.0, value() / 100.0); }
    void setDoubleValue(double speed) { setValue(int(std::lround(std::log2(speed) * 100.0))); }
};
