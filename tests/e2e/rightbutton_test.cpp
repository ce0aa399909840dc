// The right-button tool as the other programs and the user meet it: its registration with the
// driver, its corner of the work area, the three commands, arming and the wait for the right
// click, and what a tool that died leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/SuiteNames.h"
#include "tests/uia/uia.h"

namespace {

constexpr char kToolForm[] = "frmMain";
constexpr char kRunningCaption[] = " P-RBF";
constexpr LONG kButtonPixels = 40;
constexpr DWORD kSendTimeout = 5000;
// The armed wait handles pending input between two driver polls: once it has polled this many
// more times, input sent before has been handled.
constexpr uint32_t kPollsAfterInput = 3;
// The wait for a touch may use at most this much processor time in three seconds.
// The armed tool polls the driver ten times a second; more than fifty polls a second would mean a
// wait that no longer gives the processor away.
constexpr uint32_t kWaitPolls = 10;
constexpr DWORD kMinMsPerPoll = 20;

LRESULT Command(HWND tool, WPARAM command) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(tool, WM_USER, command, 0, SMTO_NORMAL, kSendTimeout, &result))
        throw uia::Error("the tool did not answer command " + std::to_string(command));
    return static_cast<LRESULT>(result);
}

// The record as the tool sent it with its latest SET_RBF_WINDOW.
bool LastRbfSet(const SimLog& log, RbfWindowRecord& record) {
    for (uint32_t i = log.count; i-- > 0;) {
        if (log.entries[i].code != IOCTL_TOUCH_SET_RBF_WINDOW) continue;
        std::memcpy(&record, log.entries[i].input, sizeof record);
        return true;
    }
    return false;
}

class RightButtonTool : public ::testing::Test {
protected:
    void SetUp() override {
        driver.Open();
        uia::KillAll(kRightButtonToolFile);
        driver.Reset();
        tool = Start(form);
        action = uia::Control(form, "cmdAction");
    }

    // Starts a tool and waits until it has registered its shown window.
    uia::Process Start(HWND& window) {
        uia::Process p = uia::StartRegisteredTool(driver, window);
        uia::Require([&] { return uia::Text(window) == kRunningCaption; }, "the tool's running caption");
        return p;
    }

    void Arm() {
        uia::PostClick(action);
        uia::Require([&] { return driver.State().rbf.armed == 1 && !uia::Visible(action); }, "the armed tool");
    }

    void RequireButtonBack() { uia::Require([&] { return uia::Visible(action); }, "cmdAction shown again"); }

    // After a wait: the driver is disarmed, the tool's last word to it was armed 0, the tool is still
    // registered, and the next touch is an ordinary one.
    void ExpectDisarmed() {
        SimState s = driver.State();
        EXPECT_EQ(s.rbf.armed, 0);
        EXPECT_EQ(s.rbf.hwnd, uia::WindowField(form));
        RbfWindowRecord last = {};
        ASSERT_TRUE(LastRbfSet(driver.Log(), last));
        EXPECT_EQ(last.armed, 0);
        EXPECT_EQ(last.hwnd, uia::WindowField(form));
        EXPECT_FALSE(driver.Report(300, 300, true));
        driver.Report(300, 300, false);
    }

    uia::Driver driver;
    uia::Process tool;
    HWND form = nullptr;
    HWND action = nullptr;
};

TEST_F(RightButtonTool, StartsRegisteredAsOneTopmostButtonInTheWorkAreaCorner) {
    SimState s = driver.State();
    EXPECT_EQ(s.rbf.armed, 0);
    EXPECT_EQ(s.requestCounts[QR_REQ_SET_RBF_WINDOW], 1u);

    RECT client = {};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, kButtonPixels);
    EXPECT_EQ(client.bottom, kButtonPixels);
    const RECT button = uia::RectInForm(action);
    EXPECT_EQ(button.left, 0);
    EXPECT_EQ(button.top, 0);
    EXPECT_EQ(button.right, kButtonPixels);
    EXPECT_EQ(button.bottom, kButtonPixels);
    EXPECT_EQ(uia::Text(action), "");

    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT outer = uia::ScreenRect(form);
    EXPECT_EQ(outer.right, work.right);
    EXPECT_EQ(outer.bottom, work.bottom);
    EXPECT_TRUE(uia::IsTopmost(form));
    EXPECT_TRUE(uia::Visible(action));
    EXPECT_EQ(uia::BackColor(form) & 0xFFFFFF, GetSysColor(COLOR_BTNFACE));
    uia::SaveScreenshot("rightbutton_corner");
}

TEST_F(RightButtonTool, SecondCopyShowsTheFirstEvenWhenHiddenAndEnds) {
    Command(form, RBF_CMD_HIDE);
    ASSERT_FALSE(uia::Visible(form));

    uia::Process second = uia::Process::Start(uia::InstallFile(kRightButtonToolFile));
    EXPECT_TRUE(second.WaitForExit());
    EXPECT_TRUE(uia::Visible(form));
    EXPECT_TRUE(tool.Running());
    EXPECT_EQ(driver.State().rbf.hwnd, uia::WindowField(form));
    EXPECT_EQ(uia::ProcessIds(kRightButtonToolFile), std::vector<DWORD>{tool.Pid()});
}

TEST_F(RightButtonTool, ArmedTouchBecomesARightClickAndTheButtonComesBack) {
    const uint32_t setsBefore = driver.State().requestCounts[QR_REQ_SET_RBF_WINDOW];
    Arm();
    EXPECT_TRUE(driver.Report(512, 384, true));
    driver.Report(512, 384, false);
    RequireButtonBack();

    SimState s = driver.State();
    EXPECT_EQ(s.rightClicks, 1u);
    // One request armed the driver, one more sent armed 0 after the driver had cleared it.
    EXPECT_EQ(s.requestCounts[QR_REQ_SET_RBF_WINDOW], setsBefore + 2);
    ExpectDisarmed();
}

TEST_F(RightButtonTool, KeyPressCancelsTheWait) {
    Arm();
    uia::PressKey(form, 'A');
    RequireButtonBack();
    EXPECT_EQ(driver.State().rightClicks, 0u);
    ExpectDisarmed();
}

TEST_F(RightButtonTool, LeftOrRightMousePressOnTheWindowCancelsTheWaitButNotTheMiddleButton) {
    const POINT inside = {kButtonPixels / 2, kButtonPixels / 2};
    for (uia::MouseButton button : {uia::MouseButton::Left, uia::MouseButton::Right}) {
        Arm();
        uia::MouseClickAt(form, inside, uia::MouseButton::Middle);
        const uint32_t polls = driver.State().requestCounts[QR_REQ_GET_RBF_WINDOW];
        uia::Require([&] { return driver.State().requestCounts[QR_REQ_GET_RBF_WINDOW] >= polls + kPollsAfterInput; },
                     "the wait polling on after the middle button");
        EXPECT_FALSE(uia::Visible(action));
        EXPECT_EQ(driver.State().rbf.armed, 1);

        uia::MouseClickAt(form, inside, button);
        RequireButtonBack();
        ExpectDisarmed();
    }
}

TEST_F(RightButtonTool, HideAndShowKeepTheCornerAndTopmost) {
    const RECT before = uia::ScreenRect(form);
    EXPECT_EQ(Command(form, RBF_CMD_HIDE), 0);
    EXPECT_FALSE(uia::Visible(form));
    EXPECT_EQ(Command(form, RBF_CMD_SHOW), 0);
    EXPECT_TRUE(uia::Visible(form));

    const RECT after = uia::ScreenRect(form);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_TRUE(uia::IsTopmost(form));
    EXPECT_EQ(driver.State().rbf.hwnd, uia::WindowField(form));
}

TEST_F(RightButtonTool, CloseUnregistersSoThatALaterStartRegistersNormally) {
    EXPECT_EQ(Command(form, RBF_CMD_CLOSE), 0);
    EXPECT_TRUE(tool.WaitForExit());
    SimState s = driver.State();
    EXPECT_EQ(s.rbf.hwnd, RBF_NO_WINDOW);
    EXPECT_EQ(s.rbf.armed, 0);

    HWND next = nullptr;
    uia::Process again = Start(next);
    EXPECT_TRUE(uia::Visible(next));
    EXPECT_TRUE(again.Running());
}

TEST_F(RightButtonTool, UnknownCommandShowsTheFailureBoxAndChangesNothing) {
    struct Case {
        WPARAM wParam;
        LPARAM lParam;
        const char* text;
    };
    const Case cases[] = {{0x1002, 0, "RBF_WndProc Fail! wParam=1002h, lParam=0h"},
                          {0, 0xABC0, "RBF_WndProc Fail! wParam=0h, lParam=ABC0h"},
                          {0xFFFFFFF, 1, "RBF_WndProc Fail! wParam=FFFFFFFh, lParam=1h"}};
    for (const Case& c : cases) {
        PostMessageA(form, WM_USER, c.wParam, c.lParam);
        HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, tool.Pid());
        EXPECT_EQ(uia::MessageBoxText(box), c.text);
        EXPECT_EQ(uia::Text(box), kRightButtonTitle);
        EXPECT_EQ(uia::MessageBoxButtons(box), std::vector<int>{IDOK});
        uia::Answer(box, IDOK);
    }
    EXPECT_TRUE(uia::Visible(form));
    EXPECT_EQ(driver.State().rbf.hwnd, uia::WindowField(form));
}

TEST_F(RightButtonTool, CloseDuringTheWaitEndsTheToolWithNothingRegisteredOrArmed) {
    Arm();
    Command(form, RBF_CMD_CLOSE);
    EXPECT_TRUE(tool.WaitForExit());
    SimState s = driver.State();
    EXPECT_EQ(s.rbf.hwnd, RBF_NO_WINDOW);
    EXPECT_EQ(s.rbf.armed, 0);
    RbfWindowRecord last = {};
    ASSERT_TRUE(LastRbfSet(driver.Log(), last));
    EXPECT_EQ(last.hwnd, RBF_NO_WINDOW);
    EXPECT_EQ(last.armed, 0);
    EXPECT_TRUE(uia::ProcessIds(kRightButtonToolFile).empty());
    EXPECT_EQ(uia::FindForm(kToolForm, 0, uia::Visibility::Any), nullptr);
}

TEST_F(RightButtonTool, WaitingForATouchLeavesTheProcessorAlone) {
    Arm();
    // Still polling: the wait has not stopped looking at the driver to save the processor. A busy
    // machine can only make the polls fewer, so their number over the wait is bounded from above.
    const uint32_t pollsBefore = driver.State().requestCounts[QR_REQ_GET_RBF_WINDOW];
    const DWORD start = GetTickCount();
    uia::Require([&] { return driver.State().requestCounts[QR_REQ_GET_RBF_WINDOW] >= pollsBefore + kWaitPolls; },
                 "the armed tool polling the driver");
    const uint32_t polls = driver.State().requestCounts[QR_REQ_GET_RBF_WINDOW] - pollsBefore;
    EXPECT_LE(polls, (GetTickCount() - start) / kMinMsPerPoll + 1);
    EXPECT_EQ(driver.State().rbf.armed, 1);
    uia::PressKey(form, 'A');
    RequireButtonBack();
}

// A tool that ended without unloading leaves its window handle registered; a new start must
// not take that for a running tool.
TEST_F(RightButtonTool, KilledToolsRegistrationDoesNotBlockANewStart) {
    const HWND dead = form;
    tool.Kill();
    ASSERT_EQ(driver.State().rbf.hwnd, uia::WindowField(dead));

    HWND fresh = nullptr;
    // Start waits for the new tool's own registration, which comes after its check for a running one.
    uia::Process next = Start(fresh);
    EXPECT_NE(fresh, dead);
    EXPECT_TRUE(next.Running());
    EXPECT_TRUE(uia::Visible(fresh));
}

TEST_F(RightButtonTool, AWindowThatOnlyLooksLikeTheToolIsNotTakenForIt) {
    Command(form, RBF_CMD_CLOSE);
    ASSERT_TRUE(tool.WaitForExit());
    // A window of this process dressed as the tool's form: same class, same form name, other program.
    uia::StandInWindow lookAlike(kRunningCaption, kToolForm);
    driver.RegisterTool(lookAlike.Window());

    uia::Process next = uia::Process::Start(uia::InstallFile(kRightButtonToolFile));
    HWND fresh = nullptr;
    EXPECT_TRUE(uia::WaitUntil([&] {
        fresh = uia::FindForm(kToolForm, next.Pid());
        return fresh != nullptr && driver.State().rbf.hwnd == uia::WindowField(fresh);
    }));
    EXPECT_TRUE(next.Running());
    EXPECT_TRUE(lookAlike.Commands().empty());
}

}  // namespace
