// What the bench's parts share: a figure against its floor, and the table they make.
#ifndef BENCH_BENCH_H
#define BENCH_BENCH_H

#include <string>
#include <vector>

struct Figure {
    std::string name;
    std::string unit;
    double suite;
    std::string floorName;
    double floor;
    std::string goal;
    bool holds;
};

// The figures of this bed's screen: calibrated through the touch simulator as a person would,
// then a grid of touches, each against where the pointer landed.
std::vector<Figure> CalibrationAccuracy();

#endif
