// The splash pause: about one second on the seconds-since-midnight clock, kept responsive by
// running window events while it waits.
#ifndef STARTUP_PAUSE_H
#define STARTUP_PAUSE_H

// The clock restarts at 0 when it reaches this many seconds.
constexpr double kSecondsPerDay = 86400.0;

// The clock reading at which a pause begun at start ends: start rounded to a whole second
// (halves to even), plus one second. Readings past midnight are not wrapped here.
double PauseEnd(double start);

// Seconds from one clock reading to a later one. A later reading below the earlier one means
// the clock has passed midnight (or was set back, which ends a short wait early, never late).
double SecondsBetween(double earlier, double later);

// The longest wait for input between two rounds of window events. Input or a paint ends a wait at
// once, so a long wait keeps the splash as responsive as a short one, and each wake-up costs the
// window system a round of requests.
constexpr unsigned long kPauseSliceMs = 500;

// Takes the machine's clock once, then runs window events and waits for input (at most
// kPauseSliceMs, never past the end) until PauseEnd of that reading has passed: between half a
// second and one and a half seconds, also across midnight.
void PauseAboutOneSecond();

#endif
