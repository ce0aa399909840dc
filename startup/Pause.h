// The splash pause: about one second on the seconds-since-midnight clock, kept responsive by
// running window events while it waits.
#ifndef STARTUP_PAUSE_H
#define STARTUP_PAUSE_H

#include <functional>

// The clock restarts at 0 when it reaches this many seconds.
constexpr double kSecondsPerDay = 86400.0;

// The clock reading at which a pause begun at start ends: start rounded to a whole second
// (halves to even), plus one second. Readings past midnight are not wrapped here.
double PauseEnd(double start);

// Seconds from one clock reading to a later one. A later reading below the earlier one means
// the clock has passed midnight (or was set back, which ends a short wait early, never late).
double SecondsBetween(double earlier, double later);

// The longest wait for input between two rounds of window events.
constexpr unsigned long kPauseSliceMs = 100;

// Takes the clock once, then runs doEvents and waits for input (at most kPauseSliceMs, never
// past the end) until PauseEnd of that reading has passed: between half a second and one and a
// half seconds, also across midnight.
void PauseAboutOneSecond(const std::function<double()>& clock, const std::function<void()>& doEvents,
                         const std::function<void(unsigned long)>& waitForInput);

#endif
