#include "startup/Pause.h"

#include "common/Numeric.h"

double PauseEnd(double start) { return static_cast<double>(RoundHalfEven(start)) + 1.0; }

double SecondsBetween(double earlier, double later) {
    const double seconds = later - earlier;
    return seconds < 0.0 ? seconds + kSecondsPerDay : seconds;
}

void PauseAboutOneSecond(const std::function<double()>& clock, const std::function<void()>& doEvents) {
    const double start = clock();
    // Waiting for a length rather than for a clock reading: the end reading of a pause begun
    // just before midnight (86400 or 86401) is one the clock never shows.
    const double length = PauseEnd(start) - start;
    while (SecondsBetween(start, clock()) < length) doEvents();
}
