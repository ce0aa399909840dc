// Four-point calibration, driven as a person at a touch screen would: a simulated panel turns
// the screen position of a finger into raw coordinates, the test touches the centre of each
// cross as it appears, holds it for a few reports and lifts, and answers the questions. What
// reached the driver is read back from its request log.
//
// The landscape tests run in a bed of any shape; CalibrationPortrait needs a desktop taller
// than wide and skips elsewhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/SuiteNames.h"
#include "tests/uia/uia.h"

namespace {

constexpr int kMargin = 16;  // half a cross mark, pixels
constexpr int kRawMax = 1023;
constexpr int kCornerCount = 4;
const char* const kCornerNames[kCornerCount + 1] = {"", "TOP-LEFT", "TOP-RIGHT", "DOWN-RIGHT", "DOWN-LEFT"};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

constexpr char kTestQuestion[] =
    "CALIBRATION IS COMPLETE.\r\r"
    "For test, touch on the screen and check cursor position.\r"
    "To save new calibration, click Yes button.\r"
    "To restore old calibration, click No button.";
constexpr char kBreakQuestion[] = "Are you sure you want to break calibration?";

// Edges the driver holds before each run; none of them is what a run computes.
constexpr int16_t kOldLeft = 11, kOldRight = 1001, kOldTop = 21, kOldBottom = 991;

// Time between two reports of the simulated controller; the calibration reads the driver less
// often, so it may see only every second or third report.
constexpr DWORD kReportInterval = 40;
// How long a touch that must not be taken is watched.
constexpr DWORD kNotTakenWatch = 500;
// A finger held still goes on reporting until its point is taken; a busy machine may need many
// reports before the calibration has read two of them.
constexpr int kMostReportsHeld = 250;
// A waiting calibration reads the driver ten times a second; more than fifty reads a second
// would mean a wait that no longer gives the processor away.
constexpr DWORD kMinMsPerRead = 20;

struct Raw {
    int16_t x;
    int16_t y;
};

struct Edges {
    int left, top, right, bottom;
    bool operator==(const Edges& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

std::string Describe(const Edges& e) {
    return "edges " + std::to_string(e.left) + " " + std::to_string(e.top) + " " + std::to_string(e.right) + " " +
           std::to_string(e.bottom);
}

// A panel mounted a little off the visible area and not filling the raw range. On a portrait
// screen the panel lies turned: raw X runs down the screen, raw Y from right to left.
struct Panel {
    int width;
    int height;
    bool Portrait() const { return height > width; }
    Raw At(POINT p) const {
        if (Portrait())
            return {int16_t(40 + p.y * 940 / height), int16_t(60 + (width - 1 - p.x) * 900 / width)};
        return {int16_t(40 + p.x * 940 / width), int16_t(60 + p.y * 900 / height)};
    }
    // Where a driver that maps with these edges puts a raw position, in screen pixels.
    void MapBack(const Edges& e, Raw r, double& x, double& y) const {
        const double alongX = double(r.x - e.left) / (e.right - e.left + 1);
        const double alongY = double(r.y - e.top) / (e.bottom - e.top + 1);
        if (Portrait()) {
            y = alongX * height;
            x = width - 1 - alongY * width;
        } else {
            x = alongX * width;
            y = alongY * height;
        }
    }
};

// Centre of a corner's cross on a full-screen window of this size.
POINT CrossCentre(int corner, int width, int height) {
    const int right = width - 1, bottom = height - 1;
    const bool leftSide = corner == 1 || corner == 4;
    const bool topSide = corner == 1 || corner == 2;
    return {leftSide ? kMargin - 1 : right - kMargin - 1, topSide ? kMargin - 1 : bottom - kMargin - 1};
}

// Top-left pixel of a corner's cross frame.
POINT CrossFrameOrigin(int corner, int width, int height) {
    const bool leftSide = corner == 1 || corner == 4;
    const bool topSide = corner == 1 || corner == 2;
    return {leftSide ? 0 : width - 1 - 2 * kMargin - 1, topSide ? 0 : height - 1 - 2 * kMargin - 1};
}

long RoundHalfEven(double v) {
    const double r = std::floor(v);
    const double diff = v - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) return long(r) + 1;
    return long(r);
}

// The edges that belong to four raw points: the mean raw position of each screen side's two
// crosses pushed outward by the raw length of the cross margin.
Edges ExpectedEdges(const Raw (&p)[kCornerCount], int width, int height) {
    auto mean = [](int a, int b) { return (a + b) / 2; };
    int lowX, highX, lowY, highY, spanX, spanY;
    if (height <= width) {
        lowX = mean(p[3].x, p[0].x), highX = mean(p[2].x, p[1].x);
        lowY = mean(p[1].y, p[0].y), highY = mean(p[3].y, p[2].y);
        spanX = width, spanY = height;
    } else {
        lowX = mean(p[0].x, p[1].x), highX = mean(p[3].x, p[2].x);
        lowY = mean(p[2].y, p[1].y), highY = mean(p[0].y, p[3].y);
        spanX = height, spanY = width;
    }
    const double ex = double(highX - lowX + 1) / (spanX - 2 * kMargin) * kMargin;
    const double ey = double(highY - lowY + 1) / (spanY - 2 * kMargin) * kMargin;
    Edges e{int(RoundHalfEven(lowX - ex)), int(RoundHalfEven(lowY - ey)), int(RoundHalfEven(highX + ex)),
            int(RoundHalfEven(highY + ey))};
    if (e.left < 0) e.left = 0;
    if (e.top < 0) e.top = 0;
    if (e.right > kRawMax) e.right = kRawMax;
    if (e.bottom > kRawMax) e.bottom = kRawMax;
    return e;
}

Edges EdgesOf(const TouchSettingsBlock& b) { return {b.calLeft, b.calTop, b.calRight, b.calBottom}; }

class Calibration : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(uia::Driver::Available()) << "the touch driver must be running in the bed";
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        panel = Panel{width, height};
        driver.Open();
        driver.Reset();
        // What the startup program would have written at logon, and edges of an earlier calibration.
        TouchSettingsBlock block = driver.State().block;
        block.screenWidth = int16_t(width);
        block.screenHeight = int16_t(height);
        block.calLeft = kOldLeft;
        block.calRight = kOldRight;
        block.calTop = kOldTop;
        block.calBottom = kOldBottom;
        driver.Reset(SIM_RESET_USE_BLOCK, &block);
        // The calibration hides the running right-button tool and shows it again.
        uia::KillAll(kRightButtonToolFile);
        toolProcess = uia::StartRegisteredTool(driver, tool);
        panelProcess = uia::Process::Start(uia::InstallFile(kControlPanelFile));
        mainWindow = uia::WaitForForm("frmMain", uia::kDefaultTimeout, panelProcess.Pid());
    }

    void TearDown() override {
        if (panelProcess.Running()) panelProcess.Kill();
        toolProcess.Kill();
        if (uia::Driver::Available()) driver.Reset();
    }

    // Presses Calibration; the window runs the whole sequence inside its first activation.
    void OpenCalibration() {
        uia::PostClick(uia::Control(mainWindow, "cmdCalibration"));
        calibration = uia::WaitForForm("frmCalibration", uia::kDefaultTimeout, panelProcess.Pid());
        drawing = uia::WaitForControl(calibration, "picCalibration");
        // The form exists before it is maximized and laid out.
        uia::Require([&] {
            const RECT r = uia::ScreenRect(drawing);
            return r.left == 0 && r.top == 0 && r.right == width && r.bottom == height;
        }, "the drawing area over the whole screen");
    }

    HWND Find(const char* name) { return uia::Control(calibration, name); }
    bool Shows(const char* name, const std::string& text) {
        HWND w = uia::FindControl(calibration, name);
        return w != nullptr && uia::Visible(w) && uia::Text(w) == text;
    }
    void WaitForCornerPrompt(int corner) {
        const std::string prompt = std::string("show on the ") + kCornerNames[corner] + " of the screen";
        uia::Require([&] { return Shows("lblMesg2", prompt); }, "the prompt for " + std::string(kCornerNames[corner]));
        EXPECT_TRUE(Shows("lblMesg1", "Please touch on the center of Cross Mark that"));
        EXPECT_FALSE(uia::Visible(Find("lblMesg3")));
    }
    COLORREF Indicator() { return uia::BackColor(Find("picStat")); }
    void WaitForIndicator(COLORREF colour, const char* what) {
        uia::Require([&] { return Indicator() == colour; }, what);
    }

    // Each report is one more controller report (its sequence changes).
    void Report(Raw r, bool touched) {
        driver.Report(r.x, r.y, touched);
        last = r;
    }
    void Touch(Raw r) { Report(r, true); }
    void Lift() { Report(last, false); }

    // Calibration signals and SET_CALIBRATION requests, in the order the driver got them.
    std::vector<std::string> CalibrationTraffic() {
        std::vector<std::string> traffic;
        const SimLog log = driver.Log();
        for (uint32_t i = 0; i < log.count; ++i) {
            const SimLogEntry& e = log.entries[i];
            if (e.code == IOCTL_TOUCH_CALIBRATION_SIGNAL) {
                int32_t signal = 0;
                std::memcpy(&signal, e.input, sizeof signal);
                traffic.push_back("signal " + std::to_string(signal));
            } else if (e.code == IOCTL_TOUCH_SET_CALIBRATION) {
                TouchSettingsBlock b;
                std::memcpy(&b, e.input, sizeof b);
                traffic.push_back("set " + Describe(EdgesOf(b)));
            }
        }
        return traffic;
    }
    int PointsTaken() {
        int n = 0;
        for (const auto& t : CalibrationTraffic()) n += t == "signal 5";
        return n;
    }
    bool TakenWithin(int before, DWORD ms) {
        return uia::WaitUntil([&] { return PointsTaken() > before; }, ms);
    }

    // Holds the finger still at r, one report at a time as a touched controller goes on
    // reporting, until the point is taken; the finger stays down.
    bool HoldUntilTaken(Raw r) {
        const int before = PointsTaken();
        for (int i = 0; i < kMostReportsHeld; ++i) {
            Touch(r);
            if (TakenWithin(before, kReportInterval)) return true;
        }
        return false;
    }
    // The same on the centre of the corner's cross.
    Raw HoldUntilTaken(int corner) {
        const Raw r = panel.At(CrossCentre(corner, width, height));
        if (!HoldUntilTaken(r)) ADD_FAILURE() << "corner " << corner << " was never taken";
        return r;
    }
    // Touches the centre of the corner's cross once it is asked for, holds, lifts.
    Raw TouchCorner(int corner) {
        WaitForCornerPrompt(corner);
        const Raw r = HoldUntilTaken(corner);
        uia::Require([&] { return Shows("lblMesg3", "PLEASE LIFT OFF TO NEXT STEP!"); }, "the lift-off prompt");
        Lift();
        WaitForIndicator(kWhite, "the indicator back to white after lift-off");
        return r;
    }

    // Screen pixel of the drawing area.
    COLORREF PixelAt(POINT p) {
        const RECT r = uia::ScreenRect(drawing);
        return uia::ScreenPixel(r.left + p.x, r.top + p.y);
    }
    // The left side of the cross frame, and the crossing point.
    bool CrossShown(int corner) {
        const POINT o = CrossFrameOrigin(corner, width, height);
        const POINT c = CrossCentre(corner, width, height);
        return PixelAt({o.x, o.y + kMargin / 2}) == kRed && PixelAt(c) == kBlack;
    }
    bool CrossErased(int corner) {
        const POINT o = CrossFrameOrigin(corner, width, height);
        const POINT c = CrossCentre(corner, width, height);
        return PixelAt({o.x, o.y + kMargin / 2}) == kWhite && PixelAt(c) == kWhite;
    }
    void RequireCross(int corner, bool shown) {
        uia::Require([&] { return shown ? CrossShown(corner) : CrossErased(corner); },
                     std::string("the cross of ") + kCornerNames[corner] + (shown ? " shown" : " erased"));
    }

    // The title's large font can take a moment to load in a fresh bed.
    void WaitForTitle() {
        HWND title = Find("lblTitle");
        uia::Require([&] {
            const uia::Image shot = uia::CaptureRect(uia::ScreenRect(title));
            for (int y = 0; y < shot.height; ++y)
                for (int x = 0; x < shot.width; ++x)
                    if (shot.ColorAt(x, y) == kRed) return true;
            return false;
        }, "the title painted");
    }

    HWND WaitForQuestion(const std::string& text) {
        HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, panelProcess.Pid());
        EXPECT_EQ(uia::MessageBoxText(box), text);
        EXPECT_TRUE(uia::HasButton(box, IDYES));
        EXPECT_TRUE(uia::HasButton(box, IDNO));
        EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Question);
        EXPECT_TRUE(uia::IsTopmost(box)) << "system-modal";
        return box;
    }
    // The button drawn as the default one (Wine's message box answers DM_GETDEFID with IDOK).
    int DefaultButton(HWND box) {
        for (int id : {IDYES, IDNO}) {
            HWND button = GetDlgItem(box, id);
            if (button != nullptr && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return id;
        }
        return 0;
    }
    void PressEscape() { uia::SendKey(drawing, VK_ESCAPE, 27); }

    // After the window has gone: the main window and the right-button tool are back.
    void ExpectWindowClosedAndMainBack() {
        uia::WaitForWindowGone(calibration);
        uia::Require([&] { return uia::Visible(mainWindow); }, "the main window back");
        uia::Require([&] { return uia::Visible(tool); }, "the right-button tool shown again");
        EXPECT_TRUE(toolProcess.Running());
        EXPECT_TRUE(panelProcess.Running());
    }

    // The new edges put the simulated panel's cross centres back onto the crosses.
    void ExpectEdgesMapPanelBack(const Edges& e) {
        for (int corner = 1; corner <= kCornerCount; ++corner) {
            const POINT c = CrossCentre(corner, width, height);
            double x = 0, y = 0;
            panel.MapBack(e, panel.At(c), x, y);
            EXPECT_NEAR(x, c.x, 2.0) << kCornerNames[corner];
            EXPECT_NEAR(y, c.y, 2.0) << kCornerNames[corner];
        }
    }

    // A whole run from the first cross to the test question; returns the points touched.
    void TouchAllCorners(Raw (&points)[kCornerCount]) {
        for (int corner = 1; corner <= kCornerCount; ++corner) points[corner - 1] = TouchCorner(corner);
    }

    const Edges oldEdges{kOldLeft, kOldTop, kOldRight, kOldBottom};
    int width = 0;
    int height = 0;
    Panel panel{0, 0};
    uia::Driver driver;
    uia::Process toolProcess;
    HWND tool = nullptr;
    uia::Process panelProcess;
    HWND mainWindow = nullptr;
    HWND calibration = nullptr;
    HWND drawing = nullptr;
    Raw last{0, 0};
};

class CalibrationPortrait : public Calibration {
protected:
    void SetUp() override {
        if (GetSystemMetrics(SM_CYSCREEN) <= GetSystemMetrics(SM_CXSCREEN))
            GTEST_SKIP() << "needs a portrait desktop";
        Calibration::SetUp();
    }
};

// The whole sequence with a finger already on the screen: the run waits for it to lift, takes
// four corners, sends the edges at once, and Yes keeps them.
TEST_F(Calibration, CompletedRunKeepsTheNewEdges) {
    const POINT somewhere{width / 2, height / 3};
    Touch(panel.At(somewhere));
    OpenCalibration();

    EXPECT_EQ(uia::Text(calibration), "Calibration");
    EXPECT_EQ(uia::Text(Find("lblResolution")),
              "Resolution: " + std::to_string(width) + " X " + std::to_string(height));
    EXPECT_FALSE(uia::Visible(mainWindow));

    uia::Require([&] { return Shows("lblMesg3", "PLEASE LIFT OFF TO START CALIBRATION!"); }, "the start lift-off prompt");
    EXPECT_FALSE(uia::Visible(Find("lblMesg1")));
    WaitForIndicator(kYellow, "the indicator yellow while touched");
    RequireCross(1, false);  // no cross before the finger lifts
    uia::SaveScreenshot("calibration-start-lift-off");
    uia::Require([&] { return !uia::Visible(tool); }, "the right-button tool hidden");
    Lift();

    WaitForCornerPrompt(1);
    RequireCross(1, true);
    EXPECT_EQ(Indicator(), kWhite);
    EXPECT_TRUE(uia::Visible(Find("lblHelp")));
    WaitForTitle();
    uia::SaveScreenshot("calibration-first-cross");

    // Waiting for a touch gives the processor away between two reads of the driver: a busy
    // machine can only make the reads fewer.
    const uint32_t readsBefore = driver.State().requestCounts[QR_REQ_GET_RAW_SAMPLE];
    const DWORD waitStart = GetTickCount();
    uia::Require([&] { return driver.State().requestCounts[QR_REQ_GET_RAW_SAMPLE] >= readsBefore + 5; },
                 "the calibration reading the driver while it waits");
    const uint32_t reads = driver.State().requestCounts[QR_REQ_GET_RAW_SAMPLE] - readsBefore;
    EXPECT_LE(reads, (GetTickCount() - waitStart) / kMinMsPerRead + 1);

    Raw points[kCornerCount];
    TouchAllCorners(points);
    const Edges expected = ExpectedEdges(points, width, height);

    HWND box = WaitForQuestion(kTestQuestion);
    EXPECT_EQ(DefaultButton(box), IDYES);
    EXPECT_FALSE(uia::Visible(drawing)) << "the drawing area goes for the test";
    uia::SaveScreenshot("calibration-test-question");
    // While the question is open the driver already maps with the new edges.
    EXPECT_EQ(EdgesOf(driver.State().block), expected) << Describe(EdgesOf(driver.State().block));
    uia::Answer(box, IDYES);

    ExpectWindowClosedAndMainBack();
    EXPECT_EQ(EdgesOf(driver.State().block), expected);
    ExpectEdgesMapPanelBack(expected);
    EXPECT_EQ(CalibrationTraffic(),
              (std::vector<std::string>{"signal 3", "signal 5", "signal 5", "signal 5", "signal 5",
                                        "set " + Describe(expected), "signal 0"}));
}

// A point is only taken from a finger that stays put over two new reports; a finger that slides
// or lifts starts over, and reading one report again and again never completes it. No at the end
// puts the old edges back.
TEST_F(Calibration, SteadyTouchesOnlyAndNoRestoresTheOldEdges) {
    OpenCalibration();
    Raw points[kCornerCount];

    WaitForCornerPrompt(1);
    const Raw first = panel.At(CrossCentre(1, width, height));
    Touch(first);
    WaitForIndicator(kYellow, "the indicator yellow on the first touch");
    EXPECT_FALSE(TakenWithin(0, kNotTakenWatch)) << "one report read over and over";
    Lift();
    WaitForIndicator(kWhite, "the indicator white after an early lift");
    WaitForCornerPrompt(1);
    Touch(first);
    EXPECT_FALSE(TakenWithin(0, kNotTakenWatch)) << "the lift must have started the corner over";
    Touch(first);
    EXPECT_TRUE(TakenWithin(0, uia::kDefaultTimeout)) << "two new reports at one place";
    Lift();
    points[0] = first;

    WaitForCornerPrompt(2);
    Raw sliding = panel.At(CrossCentre(2, width, height));
    for (int i = 0; i < 6; ++i) {
        sliding.x = int16_t(sliding.x + 1);
        Touch(sliding);
        Sleep(kReportInterval);
    }
    EXPECT_EQ(PointsTaken(), 1) << "a sliding finger";
    EXPECT_TRUE(HoldUntilTaken(sliding)) << "the finger came to rest";
    Lift();
    points[1] = sliding;

    points[2] = TouchCorner(3);
    points[3] = TouchCorner(4);
    const Edges expected = ExpectedEdges(points, width, height);

    HWND box = WaitForQuestion(kTestQuestion);
    EXPECT_EQ(EdgesOf(driver.State().block), expected);
    uia::Answer(box, IDNO);

    ExpectWindowClosedAndMainBack();
    EXPECT_EQ(EdgesOf(driver.State().block), oldEdges);
    EXPECT_EQ(CalibrationTraffic(),
              (std::vector<std::string>{"signal 5", "signal 5", "signal 5", "signal 5", "set " + Describe(expected),
                                        "signal 0", "set " + Describe(oldEdges)}));

    // The window opens again as new.
    OpenCalibration();
    WaitForCornerPrompt(1);
    RequireCross(1, true);
    RequireCross(4, false);
    PressEscape();
    uia::Answer(WaitForQuestion(kBreakQuestion), IDYES);
    uia::WaitForWindowGone(calibration);
    uia::Require([&] { return uia::Visible(mainWindow); }, "the main window back after the second run");
    EXPECT_EQ(EdgesOf(driver.State().block), oldEdges);
}

// ESC asks before breaking off: No goes on where the run was, Yes ends it with the driver's
// edges untouched. A break confirmed while the start waits for lift-off does not count.
TEST_F(Calibration, EscapeAsksAndYesBreaksOffWithEdgesUnchanged) {
    Touch(panel.At(POINT{width / 2, height / 2}));
    OpenCalibration();
    uia::Require([&] { return Shows("lblMesg3", "PLEASE LIFT OFF TO START CALIBRATION!"); }, "the start lift-off prompt");
    PressEscape();
    uia::Answer(WaitForQuestion(kBreakQuestion), IDYES);
    Lift();
    WaitForCornerPrompt(1);

    // Taken, finger still down: no cross is up, and the question must not bring one back.
    HoldUntilTaken(1);
    RequireCross(1, false);
    PressEscape();
    uia::Answer(WaitForQuestion(kBreakQuestion), IDNO);
    Lift();
    WaitForCornerPrompt(2);
    RequireCross(2, true);
    EXPECT_TRUE(CrossErased(1)) << "the taken corner's cross stays away";

    PressEscape();
    HWND box = WaitForQuestion(kBreakQuestion);
    EXPECT_EQ(DefaultButton(box), IDNO);
    RequireCross(2, false);
    EXPECT_FALSE(uia::Visible(Find("picMesg")));
    EXPECT_FALSE(uia::Visible(Find("lblHelp")));
    uia::Answer(box, IDNO);
    RequireCross(2, true);
    uia::Require([&] { return uia::Visible(Find("picMesg")) && uia::Visible(Find("lblHelp")); }, "the prompts back");
    EXPECT_TRUE(Shows("lblMesg2", "show on the TOP-RIGHT of the screen"));

    PressEscape();
    uia::Answer(WaitForQuestion(kBreakQuestion), IDYES);
    ExpectWindowClosedAndMainBack();
    EXPECT_EQ(EdgesOf(driver.State().block), oldEdges);
    EXPECT_EQ(CalibrationTraffic(), (std::vector<std::string>{"signal 3", "signal 0", "signal 5", "signal 0",
                                                              "signal 0", "signal 0", "signal 4"}));
}

// The panel lies turned on a portrait screen; the corners pair up the other way round.
TEST_F(CalibrationPortrait, CompletedRunKeepsTheNewEdges) {
    OpenCalibration();
    WaitForCornerPrompt(1);
    RequireCross(1, true);
    WaitForTitle();
    uia::SaveScreenshot("calibration-portrait-first-cross");

    Raw points[kCornerCount];
    TouchAllCorners(points);
    const Edges expected = ExpectedEdges(points, width, height);

    HWND box = WaitForQuestion(kTestQuestion);
    uia::SaveScreenshot("calibration-portrait-test-question");
    uia::Answer(box, IDYES);

    ExpectWindowClosedAndMainBack();
    EXPECT_EQ(EdgesOf(driver.State().block), expected) << Describe(EdgesOf(driver.State().block));
    ExpectEdgesMapPanelBack(expected);
    EXPECT_EQ(CalibrationTraffic(), (std::vector<std::string>{"signal 5", "signal 5", "signal 5", "signal 5",
                                                              "set " + Describe(expected), "signal 0"}));
}

}  // namespace
