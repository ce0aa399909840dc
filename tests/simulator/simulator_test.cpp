// The touch simulator: the panel's raw points and the driver's mapping back, and end to end a
// press on the screen becoming a touch report and a click where the driver's edges put it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "simulator/PanelMapping.h"
#include "tests/uia/uia.h"
#include "tests/uia/uia_test_target.h"

namespace {

// The edges a calibration finds for this panel: its raw area, one past its last point.
constexpr PanelEdges kCalibrated = {40, 60, 979, 959};

TEST(PanelMappingTest, RawPointsAreOffsetAndScaledAndTheCalibratedEdgesMapThemBack) {
    const struct {
        int width, height;
        POINT screen;
        RawPoint raw;
    } cases[] = {
        {1024, 768, {0, 0}, {40, 60}},
        {1024, 768, {1023, 767}, {979, 958}},
        {1024, 768, {512, 384}, {510, 510}},
        {768, 1024, {767, 0}, {40, 60}},  // portrait: the panel lies turned
        {768, 1024, {0, 1023}, {979, 958}},
    };
    for (const auto& c : cases) {
        const PanelMapping mapping(c.width, c.height);
        const RawPoint raw = mapping.ToRaw(c.screen);
        EXPECT_EQ(raw.x, c.raw.x) << c.screen.x << "," << c.screen.y;
        EXPECT_EQ(raw.y, c.raw.y) << c.screen.x << "," << c.screen.y;
        const POINT back = mapping.ToScreen(kCalibrated, raw);
        EXPECT_NEAR(back.x, c.screen.x, 1) << c.screen.x << "," << c.screen.y;
        EXPECT_NEAR(back.y, c.screen.y, 1) << c.screen.x << "," << c.screen.y;
    }
    // Edges of the whole raw range put the same point elsewhere, and nothing falls off the screen.
    const PanelMapping mapping(1024, 768);
    const POINT off = mapping.ToScreen({0, 0, 1023, 1023}, mapping.ToRaw({512, 384}));
    EXPECT_EQ(off.x, 510);
    EXPECT_EQ(off.y, 383);  // 510 / 1024 of 768 lines
    const POINT clamped = mapping.ToScreen({500, 500, 600, 600}, {1000, 0});
    EXPECT_EQ(clamped.x, 1023);
    EXPECT_EQ(clamped.y, 0);
}

// The simulator over the automation target: presses on the target's pad become touches.
class Simulator : public TargetTest {
protected:
    void SetUp() override {
        TargetTest::SetUp();
        if (!uia::Driver::Available()) GTEST_SKIP() << "no touch driver";
        driver.Reset();
        simulator = uia::Process::Start(uia::ExeFolder() + "\\" QR_BED_SIMULATOR);
        window = uia::WaitForForm("frmSimulator", uia::kDefaultTimeout, simulator.Pid());
        uia::WaitForPainted(window);
        uia::WaitForPainted(form);
    }
    void TearDown() override { simulator.Kill(); }

    void SetEdges(const PanelEdges& e) {
        TouchSettingsBlock block = driver.State().block;
        block.calLeft = int16_t(e.left), block.calTop = int16_t(e.top);
        block.calRight = int16_t(e.right), block.calBottom = int16_t(e.bottom);
        driver.Reset(SIM_RESET_USE_BLOCK, &block);
    }
    // The first press the target recorded: its button letter and its point on the pad.
    bool FirstPress(char& button, POINT& at) {
        int x = 0, y = 0;
        return std::sscanf(uia::Text(log).c_str(), "down %c %d,%d", &button, &x, &y) == 3 && ((at = {x, y}), true);
    }

    uia::Driver driver;
    uia::Process simulator;
    HWND window = nullptr;
};

TEST_F(Simulator, APressIsATouchThatLandsWhereTheEdgesPutIt) {
    HWND pad = Ctl(target::kPad.name);
    const POINT onPad = {100, 40}, screen = uia::ClientToScreenPoint(pad, onPad);
    const PanelMapping mapping(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const RawPoint raw = mapping.ToRaw(screen);

    SetEdges(kCalibrated);
    ClearLog();
    uia::MouseClick(screen, uia::MouseButton::Left, 0);
    uia::Require([&] { return driver.State().raw.sequence != 0 && !uia::Text(log).empty(); }, "a touch on the pad");
    EXPECT_EQ(driver.State().raw.x, raw.x);
    EXPECT_EQ(driver.State().raw.y, raw.y);
    char button = 0;
    POINT at = {};
    ASSERT_TRUE(FirstPress(button, at)) << uia::Text(log);
    EXPECT_EQ(button, 'L');
    EXPECT_NEAR(at.x, onPad.x, 1);
    EXPECT_NEAR(at.y, onPad.y, 1);
    EXPECT_NE(uia::Text(uia::Control(window, "lblRaw")).find(std::to_string(raw.x) + ", " + std::to_string(raw.y)),
              std::string::npos);

    // Held still, the panel goes on reporting its point, as the controller does.
    uia::MouseMove(screen);
    uia::MouseDown(uia::MouseButton::Left);
    const int first = driver.State().raw.sequence;
    uia::Require([&] { return driver.State().raw.sequence - first >= 3; }, "reports while the touch is held");
    EXPECT_TRUE(driver.State().raw.status & QR_STATUS_TOUCHED);
    uia::MouseUp(uia::MouseButton::Left);

    // Before calibration the same press lands where the driver's whole-range edges put it.
    SetEdges({0, 0, 1023, 1023});
    uia::MouseClick(screen, uia::MouseButton::Left, 0);
    const POINT elsewhere = mapping.ToScreen({0, 0, 1023, 1023}, raw);
    uia::Require([&] { return uia::CursorPos().x == elsewhere.x && uia::CursorPos().y == elsewhere.y; },
                 "the pointer where the uncalibrated edges put the touch");
}

TEST_F(Simulator, AnArmedTouchIsARightClickAndThePlainMouseIsNoTouch) {
    HWND pad = Ctl(target::kPad.name);
    const POINT onPad = {60, 30}, screen = uia::ClientToScreenPoint(pad, onPad);
    SetEdges(kCalibrated);
    driver.RegisterTool(window, true);
    ClearLog();
    uia::MouseClick(screen, uia::MouseButton::Left, 0);
    uia::Require([&] { return !uia::Text(log).empty(); }, "a press on the pad");
    char button = 0;
    POINT at = {};
    ASSERT_TRUE(FirstPress(button, at)) << uia::Text(log);
    EXPECT_EQ(button, 'R');

    uia::MouseClick(uia::Control(window, "chkPlainMouse"), uia::MouseButton::Left, 0);
    uia::Require([&] { return uia::Value(uia::Control(window, "chkPlainMouse")) == 1; }, "the plain mouse");
    driver.Reset();
    ClearLog();
    uia::MouseClick(screen, uia::MouseButton::Left, 0);
    uia::Require([&] { return !uia::Text(log).empty(); }, "a press on the pad");
    ASSERT_TRUE(FirstPress(button, at)) << uia::Text(log);
    EXPECT_EQ(button, 'L');
    EXPECT_EQ(at.x, onPad.x);
    EXPECT_EQ(at.y, onPad.y);
    EXPECT_EQ(driver.State().raw.sequence, 0) << "the plain mouse touched the panel";
}

}  // namespace
