// The splash pause against a clock the test moves: where it ends, how long it lasts, and that
// it ends when the seconds-since-midnight clock restarts at 0.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "common/MachineCalls.h"
#include "startup/Pause.h"

namespace {

// A seconds-since-midnight clock that moves only while the pause runs window events, and
// wraps at midnight like the real one. Gives up when the pause would never end.
class FakeClock {
public:
    FakeClock(double start, double step) : now_(start), step_(step) {}

    double Read() const { return now_; }
    void Advance() {
        if (++events_ > kMaxEvents) throw std::runtime_error("the pause did not end");
        elapsed_ += step_;
        now_ = std::fmod(now_ + step_, kSecondsPerDay);
    }
    // Time passing while the pause waits for input.
    void Wait(unsigned long ms) {
        elapsed_ += ms / 1000.0;
        now_ = std::fmod(now_ + ms / 1000.0, kSecondsPerDay);
    }
    // Jumps the clock, as a user or a time service setting it would.
    void Set(double reading) { now_ = reading; }

    double Elapsed() const { return elapsed_; }
    int Events() const { return events_; }

private:
    static constexpr int kMaxEvents = 1000000;
    double now_;
    double step_;
    double elapsed_ = 0.0;
    int events_ = 0;
};

constexpr double kStep = 0.001;  // a clock reading every millisecond, like the real pause

// What the pause sees of the machine: the test's clock, moved by its window events and by the
// waits, which are recorded when slices is given.
FakeClock* gClock = nullptr;
std::vector<unsigned long>* gSlices = nullptr;
int gSetBackAtEvent = 0;  // the window event after which the clock jumps back; 0: never

double RunPause(FakeClock& clock, std::vector<unsigned long>* slices = nullptr, int setBackAtEvent = 0) {
    gClock = &clock;
    gSlices = slices;
    gSetBackAtEvent = setBackAtEvent;
    MachineCalls calls = kWindowsCalls;
    calls.doEvents = [] {
        gClock->Advance();
        if (gClock->Events() == gSetBackAtEvent) gClock->Set(30000.0);
    };
    calls.timer = [] { return gClock->Read(); };
    calls.waitForInput = [](unsigned long ms) {
        if (gSlices == nullptr) return;
        gSlices->push_back(ms);
        gClock->Wait(ms);
    };
    MachineInUse machine(calls);
    PauseAboutOneSecond();
    return clock.Elapsed();
}

TEST(PauseEnd, RoundsToTheNearestSecondHalvesToEvenThenAddsOne) {
    struct Case {
        double start;
        double end;
    } const cases[] = {
        {100.0, 101.0}, {100.2, 101.0}, {100.49, 101.0}, {100.51, 102.0},
        {100.5, 101.0},  // 100 is even: down
        {101.5, 103.0},  // 101 is odd: up to 102
        {0.0, 1.0},      {0.5, 1.0},    {86399.4, 86400.0},
        {86399.5, 86401.0},  // rounds up to midnight: an end reading the clock never shows
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(PauseEnd(c.start), c.end) << "start " << c.start;
}

TEST(SecondsBetween, CountsOnAcrossMidnight) {
    EXPECT_DOUBLE_EQ(SecondsBetween(10.0, 11.25), 1.25);
    EXPECT_DOUBLE_EQ(SecondsBetween(86399.5, 0.25), 0.75);
    EXPECT_DOUBLE_EQ(SecondsBetween(86399.0, 86399.0), 0.0);
}

TEST(PauseAboutOneSecond, LastsUntilTheRoundedSecondPlusOne) {
    struct Case {
        double start;
        double length;
    } const cases[] = {
        {100.0, 1.0},
        {100.25, 0.75},
        {100.5, 0.5},  // halves to even: the shortest pause
        {101.5, 1.5},  // halves to even: the longest pause
        {100.75, 1.25},
    };
    for (const Case& c : cases) {
        FakeClock clock(c.start, kStep);
        EXPECT_NEAR(RunPause(clock), c.length, 2 * kStep) << "start " << c.start;
    }
}

TEST(PauseAboutOneSecond, EndsInTimeAcrossMidnight) {
    struct Case {
        double start;
        double length;
    } const cases[] = {
        {86399.4, 0.6},   // ends exactly at midnight, when the clock reads 0
        {86399.5, 1.5},   // 86399 is odd: rounds up to midnight, ends at 0:00:01
        {86399.7, 1.3},
        {86399.999, 1.001},
    };
    for (const Case& c : cases) {
        FakeClock clock(c.start, kStep);
        EXPECT_NEAR(RunPause(clock), c.length, 2 * kStep) << "start " << c.start;
        EXPECT_LT(clock.Read(), 2.0) << "start " << c.start;
    }
}

TEST(PauseAboutOneSecond, StaysBetweenHalfAndOneAndAHalfSecondsAroundTheClock) {
    // Every start in a window around midnight and around an ordinary second, in 1/64 s steps
    // (exact in binary, so the halves are real halves).
    for (double base : {86397.0, 40000.0}) {
        for (int i = 0; i < 4 * 64; ++i) {
            const double start = std::fmod(base + i / 64.0, kSecondsPerDay);
            FakeClock clock(start, kStep);
            const double length = RunPause(clock);
            EXPECT_GE(length, 0.5 - kStep) << "start " << start;
            EXPECT_LE(length, 1.5 + 2 * kStep) << "start " << start;
        }
    }
}

TEST(PauseAboutOneSecond, RunsWindowEventsWhileItWaits) {
    FakeClock clock(200.0, 0.125);
    RunPause(clock);
    EXPECT_EQ(clock.Events(), 8);
}

TEST(PauseAboutOneSecond, EndsAtOnceWhenTheClockIsSetBack) {
    FakeClock clock(50000.2, kStep);
    RunPause(clock, nullptr, 100);
    EXPECT_EQ(clock.Events(), 100);
}

// Between two rounds of window events the pause gives the processor away, in slices no longer
// than kPauseSliceMs and never past its end, so that it costs next to nothing at every logon.
TEST(PauseAboutOneSecond, WaitsForInputInSlicesUpToItsEnd) {
    for (double start : {100.0, 100.98, 101.5, 86399.7}) {
        FakeClock clock(start, 0.0);  // only the waits move it
        std::vector<unsigned long> slices;
        const double length = RunPause(clock, &slices);
        for (unsigned long ms : slices) EXPECT_LE(ms, kPauseSliceMs) << "start " << start;
        EXPECT_LE(slices.size(), std::ceil(length * 1000 / kPauseSliceMs) + 1) << "start " << start;
    }
}

}  // namespace
