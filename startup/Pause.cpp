#include "startup/Pause.h"

#include <algorithm>
#include <cmath>

#include "common/MachineCalls.h"
#include "common/Numeric.h"

double PauseEnd(double start) { return static_cast<double>(RoundHalfEven(start)) + 1.0; }

double SecondsBetween(double earlier, double later) {
    const double seconds = later - earlier;
    return seconds < 0.0 ? seconds + kSecondsPerDay : seconds;
}

void PauseAboutOneSecond() {
    const double start = Machine->timer();
    // Waiting for a length rather than for a clock reading: the end reading of a pause begun
    // just before midnight (86400 or 86401) is one the clock never shows.
    const double length = PauseEnd(start) - start;
    for (double passed = 0.0; passed < length; passed = SecondsBetween(start, Machine->timer())) {
        Machine->doEvents();
        // Reading the clock flat out would keep a processor busy for the whole pause at every logon.
        const double leftMs = std::ceil((length - SecondsBetween(start, Machine->timer())) * 1000.0);
        if (leftMs > 0.0) Machine->waitForInput(static_cast<unsigned long>(std::min(leftMs, double(kPauseSliceMs))));
    }
}
