// Calibration accuracy: the bed's screen is calibrated through the touch simulator with the X
// pointer, as the tour does it, then touched at a grid of points from corner to corner; each
// touch's error is the distance from where the finger was to where the pointer landed.
//
// Environment: QR_BENCH_BIN (the simulator), QR_XDO (tests/tour/xdo) and QR_BENCH_SAMPLES (a
// folder both sides see), Windows paths.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <utility>

#include "bench/Bench.h"
#include "common/SuiteNames.h"
#include "simulator/PanelMapping.h"
#include "tests/tour/TargetWindow.h"
#include "tests/tour/TouchCalibration.h"
#include "tests/uia/uia.h"

namespace {

constexpr int kColumns = 7, kRows = 5;
constexpr int kEdgeInset = 3;  // pixels between the outer points and the screen's edge

// Column (row) i of n across a span of pixels: the outer ones kEdgeInset from the edges.
int GridLine(int i, int n, int span) { return kEdgeInset + i * (span - 1 - 2 * kEdgeInset) / (n - 1); }

// Screen pixels of one raw step across and down: the panel's raw points over the screen's pixels.
double RawStepPixels(const PanelMapping& panel, POINT from, POINT to, int pixels) {
    const RawPoint a = panel.ToRaw(from), b = panel.ToRaw(to);
    const int steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)) + 1;
    return double(pixels) / steps;
}

// The logon's step, then the simulator and the control panel, as a person finds them.
struct Bed {
    uia::Driver driver;
    uia::Process simulator;
    uia::Process panel;
    HWND main = nullptr;

    Bed() {
        driver.Open();
        driver.Reset();
        uia::Process startup = uia::Process::Start(uia::InstallFile(kStartupFile));
        if (!startup.WaitForExit(30000)) throw uia::Error("the startup program did not end");
        uia::KillAll(kRightButtonToolFile);
        simulator = uia::Process::Start(uia::Environment("QR_BENCH_BIN") + "\\QRTouchSim.exe");
        uia::WaitForPainted(uia::WaitForForm("frmSimulator", uia::kDefaultTimeout, simulator.Pid()));
        panel = uia::Process::Start(uia::InstallFile(kControlPanelFile));
        main = uia::WaitForForm("frmMain", uia::kDefaultTimeout, panel.Pid());
        uia::WaitForPainted(main);
    }
};

// Touches the grid and returns the mean and the largest error, in pixels.
std::pair<double, double> TouchGrid(uia::XPointer& pointer, TargetWindow& target, int width, int height) {
    double sum = 0, largest = 0;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const POINT finger{GridLine(column, kColumns, width), GridLine(row, kRows, height)};
            const size_t before = target.Hits().size();
            pointer.Tap(finger);
            uia::Require([&] { return target.Hits().size() > before; },
                         "the click of the touch at " + std::to_string(finger.x) + "," + std::to_string(finger.y));
            const POINT landed = target.Hits().back().at;
            const double error = std::hypot(double(landed.x - finger.x), double(landed.y - finger.y));
            sum += error;
            largest = std::max(largest, error);
        }
    }
    return {sum / (kRows * kColumns), largest};
}

// The raw edges of the panel itself: where its first and last raw points lie on the screen.
PanelEdges OwnEdges(const PanelMapping& panel, int width, int height) {
    PanelEdges e{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (POINT corner : {POINT{0, 0}, POINT{width - 1, 0}, POINT{0, height - 1}, POINT{width - 1, height - 1}}) {
        const RawPoint raw = panel.ToRaw(corner);
        e = {std::min<int>(e.left, raw.x), std::min<int>(e.top, raw.y), std::max<int>(e.right, raw.x),
             std::max<int>(e.bottom, raw.y)};
    }
    return e;
}

std::string Describe(const TouchSettingsBlock& b) {
    return std::to_string(b.calLeft) + ", " + std::to_string(b.calTop) + ", " + std::to_string(b.calRight) + ", " +
           std::to_string(b.calBottom);
}

}  // namespace

std::vector<Figure> CalibrationAccuracy() {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    Bed bed;
    uia::XPointer pointer(uia::Environment("QR_XDO"), uia::Environment("QR_BENCH_SAMPLES"));
    CalibrateByTouch(pointer, bed.main, bed.panel.Pid());
    uia::Answer(uia::WaitForMessageBox(uia::kDefaultTimeout, bed.panel.Pid()), IDYES);
    uia::Require([&] { return uia::Visible(bed.main); }, "the control panel back after calibration");
    uia::Click(uia::Control(bed.main, "cmdExit"));
    bed.panel.WaitForExit();

    // A window over the whole screen takes the clicks: a touch on the simulator's own window is
    // none, and the click tells where the pointer landed once the simulator has put it there.
    TargetWindow target(RECT{0, 0, width, height});
    target.Show();
    TouchSettingsBlock block = bed.driver.State().block;
    const std::string calibrated = Describe(block);
    const auto [mean, largest] = TouchGrid(pointer, target, width, height);
    // The same grid with the panel's own edges in the driver: what the mapping and the rounding
    // alone cost, without the calibration's arithmetic.
    const PanelMapping panel(width, height);
    const PanelEdges own = OwnEdges(panel, width, height);
    block.calLeft = int16_t(own.left), block.calTop = int16_t(own.top);
    block.calRight = int16_t(own.right), block.calBottom = int16_t(own.bottom);
    bed.driver.Reset(SIM_RESET_USE_BLOCK, &block);
    const double ownLargest = TouchGrid(pointer, target, width, height).second;
    target.Hide();

    const double across = RawStepPixels(panel, {0, 0}, {width - 1, 0}, width);
    const double down = RawStepPixels(panel, {0, 0}, {0, height - 1}, height);
    const double floor = std::hypot(across, down);
    const std::string screen = "Calibration accuracy, " + std::to_string(width) + " x " + std::to_string(height);
    const std::string floorName = "one raw step across and down";
    return {
        {screen + ": mean error of " + std::to_string(kRows * kColumns) + " touches", "px", mean, floorName, floor, "-",
         true},
        {screen + ": largest error (calibrated edges " + calibrated + ")", "px", largest, floorName, floor,
         "at most the floor", largest <= floor},
        {screen + ": largest error with the panel's own edges (" + Describe(block) + ")", "px", ownLargest, floorName,
         floor, "-", true},
    };
}
