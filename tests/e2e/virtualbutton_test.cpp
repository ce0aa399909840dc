// The virtual button dialog of the control panel: its two option groups, and Apply setting the
// button mode and starting or closing the right-button tool.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/SuiteNames.h"
#include "tests/uia/uia.h"

namespace {

constexpr char kToolForm[] = "frmMain";
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr int kDisable = 0;
constexpr int kEnable = 1;
constexpr DWORD kSendTimeout = 5000;

class VirtualButtonDialog : public ::testing::Test {
protected:
    void SetUp() override {
        driver.Open();
        uia::KillAll(kRightButtonToolFile);
    }
    void TearDown() override {
        panel.Kill();
        uia::KillAll(kRightButtonToolFile);
    }

    // Resets the driver to the given mode and function, then opens the dialog from the main window.
    void Open(uint8_t buttonMode, uint8_t rightButtonFunction) {
        driver.Reset();
        TouchSettingsBlock block = driver.State().block;
        block.buttonMode = buttonMode;
        block.rightButtonFunction = rightButtonFunction;
        driver.Reset(SIM_RESET_USE_BLOCK, &block);

        panel = uia::Process::Start(uia::InstallFile(kControlPanelFile));
        main = uia::WaitForForm("frmMain", uia::kDefaultTimeout, panel.Pid());
        uia::Click(uia::Control(main, "cmdVirtualButton"));
        dialog = uia::WaitForForm("frmVirtualButton", uia::kDefaultTimeout, panel.Pid());
    }

    HWND Mode(int i) { return uia::Control(dialog, uia::ArrayMember("optVirtualButton", i)); }
    HWND Function(int i) { return uia::Control(dialog, uia::ArrayMember("optRBFunction", i)); }
    bool ApplyEnabled() { return uia::Enabled(uia::Control(dialog, "cmdApply")); }
    std::string Summary() { return uia::Text(uia::Control(main, "lblVirtualButton")); }

    void ExpectChosen(HWND option, bool chosen) {
        EXPECT_EQ(uia::Value(option), chosen ? 1 : 0) << uia::Name(option);
        EXPECT_EQ(uia::ForeColor(option), chosen ? kBlack : kTeal) << uia::Name(option);
    }

    void Apply() { uia::Click(uia::Control(dialog, "cmdApply")); }

    // The tool that the driver names, once it is registered and shown.
    HWND RequireShownTool() {
        HWND tool = nullptr;
        uia::Require(
            [&] {
                const int32_t field = driver.State().rbf.hwnd;
                tool = uia::FieldWindow(field);
                return field != RBF_NO_WINDOW && IsWindow(tool) && uia::Visible(tool) &&
                       uia::Name(tool) == kToolForm && uia::WindowPid(tool) != panel.Pid();
            },
            "a shown right-button tool registered with the driver");
        return tool;
    }

    uia::Driver driver;
    uia::Process panel;
    HWND main = nullptr;
    HWND dialog = nullptr;
};

TEST_F(VirtualButtonDialog, OpensWithTheStoredChoicesDrawnBlackAndApplyDisabled) {
    Open(4, kEnable);
    const char* modes[] = {"", " Stream Mode", " Lift Off Mode", " Touch Down Mode", " Drag Drop Mode"};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(uia::Text(Mode(i)), modes[i]);
        ExpectChosen(Mode(i), i == 4);
    }
    EXPECT_EQ(uia::Text(Function(kEnable)), "Enable");
    EXPECT_EQ(uia::Text(Function(kDisable)), "Disable");
    ExpectChosen(Function(kEnable), true);
    ExpectChosen(Function(kDisable), false);
    // Enable sits left of Disable, in one row.
    EXPECT_LT(uia::ScreenRect(Function(kEnable)).right, uia::ScreenRect(Function(kDisable)).left);
    EXPECT_EQ(uia::ScreenRect(Function(kEnable)).top, uia::ScreenRect(Function(kDisable)).top);

    EXPECT_EQ(uia::Text(uia::Control(dialog, "fraVirtualButton")), "  Virtual Button Option  ");
    EXPECT_EQ(uia::Text(uia::Control(dialog, "fraRBFunction")), "  Right Button Function ");
    EXPECT_EQ(uia::Text(dialog), kControlPanelTitle);
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_FALSE(uia::Visible(main));
}

TEST_F(VirtualButtonDialog, ChangingBothGroupsAndBackLeavesApplyDisabled) {
    Open(2, kDisable);
    uia::Click(Mode(3));
    EXPECT_TRUE(ApplyEnabled());
    uia::Click(Function(kEnable));
    EXPECT_TRUE(ApplyEnabled());
    uia::Click(Mode(2));
    EXPECT_TRUE(ApplyEnabled());
    uia::Click(Function(kDisable));
    EXPECT_FALSE(ApplyEnabled());
    ExpectChosen(Mode(2), true);
    ExpectChosen(Mode(3), false);
    ExpectChosen(Function(kDisable), true);
    ExpectChosen(Function(kEnable), false);
}

TEST_F(VirtualButtonDialog, EnableStartsTheToolAndApplyingAgainShowsItInsteadOfASecondOne) {
    Open(1, kDisable);
    uia::Click(Function(kEnable));
    Apply();
    const HWND tool = RequireShownTool();
    EXPECT_EQ(Summary(), "Stream Mode (RBF=Enable)");
    EXPECT_FALSE(ApplyEnabled());
    SimState s = driver.State();
    EXPECT_EQ(s.block.rightButtonFunction, kEnable);
    EXPECT_EQ(s.requestCounts[QR_REQ_SET_BUTTON_MODE], 1u);
    EXPECT_EQ(uia::ProcessIds(kRightButtonToolFile).size(), 1u);

    // Hidden, as during a calibration: the next Apply with the function on brings it back.
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(tool, WM_USER, RBF_CMD_HIDE, 0, SMTO_NORMAL, kSendTimeout, &result));
    ASSERT_FALSE(uia::Visible(tool));

    uia::Click(Mode(2));
    Apply();
    uia::Require([&] { return uia::Visible(tool); }, "the running tool shown again");
    uia::Require([&] { return uia::ProcessIds(kRightButtonToolFile).size() == 1; }, "the second copy to end");
    s = driver.State();
    EXPECT_EQ(s.rbf.hwnd, uia::WindowField(tool));
    EXPECT_EQ(s.block.buttonMode, 2);
    EXPECT_EQ(s.requestCounts[QR_REQ_SET_BUTTON_MODE], 2u);
    EXPECT_EQ(Summary(), "Lift Off Mode (RBF=Enable)");
}

TEST_F(VirtualButtonDialog, DisableClosesTheRunningTool) {
    Open(3, kEnable);
    uia::Process tool = uia::Process::Start(uia::InstallFile(kRightButtonToolFile));
    const HWND window = RequireShownTool();
    ASSERT_EQ(uia::WindowPid(window), tool.Pid());

    uia::Click(Function(kDisable));
    Apply();
    EXPECT_TRUE(tool.WaitForExit());
    SimState s = driver.State();
    EXPECT_EQ(s.rbf.hwnd, RBF_NO_WINDOW);
    EXPECT_EQ(s.block.rightButtonFunction, kDisable);
    EXPECT_EQ(Summary(), "Touch Down Mode (RBF=Disable)");
}

// A tool that died without unloading is still named by the driver; Enable must start a new one.
TEST_F(VirtualButtonDialog, EnableStartsANewToolOverARegistrationLeftByADeadOne) {
    Open(1, kEnable);
    uia::Process dead = uia::Process::Start(uia::InstallFile(kRightButtonToolFile));
    const HWND old = RequireShownTool();
    dead.Kill();

    uia::Click(Mode(4));
    Apply();
    uia::Require([&] { return driver.State().rbf.hwnd != uia::WindowField(old); }, "a new registration");
    const HWND fresh = RequireShownTool();
    EXPECT_NE(fresh, old);
    EXPECT_EQ(uia::ProcessIds(kRightButtonToolFile).size(), 1u);
}

TEST_F(VirtualButtonDialog, OkAppliesOnceAndCancelDropsTheEdit) {
    Open(1, kDisable);
    uia::Click(Function(kEnable));
    uia::Click(uia::Control(dialog, "cmdCandel"));
    uia::Require([&] { return uia::Visible(main); }, "the main window back");
    EXPECT_EQ(uia::FindForm("frmVirtualButton", panel.Pid()), nullptr);
    EXPECT_EQ(driver.State().requestCounts[QR_REQ_SET_BUTTON_MODE], 0u);
    EXPECT_EQ(Summary(), "Stream Mode (RBF=Disable)");
    EXPECT_TRUE(uia::ProcessIds(kRightButtonToolFile).empty());

    uia::Click(uia::Control(main, "cmdVirtualButton"));
    dialog = uia::WaitForForm("frmVirtualButton", uia::kDefaultTimeout, panel.Pid());
    ExpectChosen(Function(kDisable), true);
    uia::Click(Mode(4));
    uia::Click(uia::Control(dialog, "cmdOK"));
    uia::Require([&] { return uia::Visible(main); }, "the main window back");
    SimState s = driver.State();
    EXPECT_EQ(s.requestCounts[QR_REQ_SET_BUTTON_MODE], 1u);
    EXPECT_EQ(s.block.buttonMode, 4);
    EXPECT_EQ(Summary(), "Drag Drop Mode (RBF=Disable)");
}

}  // namespace
