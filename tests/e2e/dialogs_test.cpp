// The feedback sound and mouse speed dialogs of the control panel, driven through the real windows:
// what they show when they open, how their controls follow one another, and what reaches the driver
// on OK, Cancel and Apply.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/SuiteNames.h"
#include "tests/uia/uia.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr char kVendorName[] = "Orvale TouchScreen";
constexpr char kVersionLine[] = "TouchScreen Control Panel Version K520.PS2";
constexpr DWORD kSettleMs = 300;

// Byte offsets of the fields the dialogs write.
constexpr size_t kFeedbackSoundByte = 21;
constexpr size_t kBypassModeByte = 23;
constexpr size_t kHSpeedByte = 24;
constexpr size_t kVSpeedByte = 25;
constexpr size_t kAccelerationByte = 26;

const uint8_t* Bytes(const TouchSettingsBlock& b) { return reinterpret_cast<const uint8_t*>(&b); }

// Starts the control panel on a driver block of the test's choosing and opens a dialog from its
// main window; checks what the driver received afterwards.
class SettingDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver.Open();
        driver.Reset();
        initial = driver.State().block;
    }
    void TearDown() override { panel.Kill(); }

    // Puts block into the driver (the log starts empty), starts the control panel on it and opens
    // the dialog behind button.
    void Open(const TouchSettingsBlock& block, const char* button, const char* form) {
        stored = block;
        driver.Reset(SIM_RESET_USE_BLOCK, &stored);
        panel = uia::Process::Start(uia::InstallFile(kControlPanelFile));
        main = uia::WaitForForm("frmMain", uia::kDefaultTimeout, panel.Pid());
        openButton = button;
        formName = form;
        Reopen();
    }

    void Reopen() {
        uia::Click(uia::Control(main, openButton));
        dialog = uia::WaitForForm(formName, uia::kDefaultTimeout, panel.Pid());
        uia::Require([&] { return !uia::Visible(main); }, "the main window hidden behind the dialog");
    }

    HWND Ctl(const std::string& name) { return uia::Control(dialog, name); }
    bool ApplyEnabled() { return uia::Enabled(Ctl("cmdApply")); }

    void Press(const char* button) { uia::Click(Ctl(button)); }
    // OK or Cancel: the dialog goes and the main window comes back.
    void Close(const char* button) {
        const HWND closing = dialog;
        Press(button);
        uia::WaitForWindowGone(closing);
        uia::Require([&] { return uia::Visible(main); }, "the main window shown again");
        EXPECT_EQ(uia::FindForm(formName, panel.Pid(), uia::Visibility::Any), nullptr);
        dialog = nullptr;
    }

    // The picture of the dialog once it has painted itself: a window just shown may still be blank.
    void Screenshot(const char* name) {
        uia::Require([&] { return DialogLooksSettled(); }, "the dialog painted");
        uia::SaveScreenshot(name);
    }
    bool DialogLooksSettled() {
        const uia::Image first = uia::CaptureRect(uia::ScreenRect(dialog));
        Sleep(kSettleMs);
        const uia::Image second = uia::CaptureRect(uia::ScreenRect(dialog));
        return first.pixels == second.pixels;
    }

    void ExpectChosen(HWND option, bool chosen) {
        EXPECT_EQ(uia::Value(option), chosen ? 1 : 0) << uia::Name(option);
        EXPECT_EQ(uia::ForeColor(option), chosen ? kBlack : kTeal) << uia::Name(option);
    }

    // Every request the driver logged after the control panel's start-up read.
    std::vector<SimLogEntry> RequestsAfterStart() {
        const SimLog log = driver.Log();
        EXPECT_GE(log.count, 1u);
        EXPECT_EQ(log.count, log.total) << "the log overflowed";
        std::vector<SimLogEntry> requests;
        if (log.count == 0) return requests;
        EXPECT_EQ(log.entries[0].code, IOCTL_TOUCH_GET_SETTINGS);
        requests.assign(log.entries + 1, log.entries + log.count);
        return requests;
    }

    // The request carried the whole block: expected, byte for byte.
    void ExpectSent(const SimLogEntry& request, uint32_t code, const TouchSettingsBlock& expected) {
        EXPECT_EQ(request.code, code);
        ASSERT_EQ(request.inputLength, sizeof(TouchSettingsBlock));
        for (size_t i = 0; i < sizeof(TouchSettingsBlock); ++i) {
            EXPECT_EQ(int(request.input[i]), int(Bytes(expected)[i])) << "byte " << i;
        }
    }

    uia::Driver driver;
    uia::Process panel;
    TouchSettingsBlock initial = {};
    TouchSettingsBlock stored = {};
    HWND main = nullptr;
    HWND dialog = nullptr;
    const char* openButton = nullptr;
    const char* formName = nullptr;
};

// ---------------------------------------------------------------------------------------------------
// Feedback sound

class FeedbackSoundDialog : public SettingDialogTest {
protected:
    void Open(uint8_t feedbackSound) {
        TouchSettingsBlock block = initial;
        block.feedbackSound = feedbackSound;
        SettingDialogTest::Open(block, "cmdFeedbackSound", "frmFeedbackSound");
    }
    HWND Sound(int i) { return Ctl(uia::ArrayMember("optFeedbackSound", i)); }
    std::string Summary() { return uia::Text(uia::Control(main, "lblFeedbackSound")); }
    void ExpectOnlyChosen(int chosen) {
        for (int i = 1; i <= 4; ++i) ExpectChosen(Sound(i), i == chosen);
    }
    TouchSettingsBlock With(uint8_t feedbackSound) {
        TouchSettingsBlock b = stored;
        b.feedbackSound = feedbackSound;
        return b;
    }
};

TEST_F(FeedbackSoundDialog, OpensWithTheStoredSoundBlackTheOthersTealAndApplyDisabled) {
    Open(4);
    const char* captions[] = {"", " Silence ( No Sound )", " Touch Down Only", " Lift Off Only",
                              " Both Touch Down && Lift Off"};
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(uia::Text(Sound(i)), captions[i]);
    ExpectOnlyChosen(4);
    // Listed top to bottom in index order.
    for (int i = 1; i < 4; ++i) EXPECT_LT(uia::ScreenRect(Sound(i)).top, uia::ScreenRect(Sound(i + 1)).top);
    EXPECT_EQ(uia::Text(Ctl("fraFeedbackSound")), "  Feedback Sound Option  ");
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(uia::MousePointer(dialog), 0);
    EXPECT_EQ(uia::MousePointer(main), 0);
}

TEST_F(FeedbackSoundDialog, CarriesTheMainWindowsHeaderAndIsCentred) {
    Open(1);
    EXPECT_EQ(uia::Text(dialog), kControlPanelTitle);
    EXPECT_EQ(uia::Text(Ctl("lblOemTitle")), kVendorName);
    EXPECT_EQ(uia::Text(Ctl("lblSystem")), kVersionLine);
    EXPECT_EQ(uia::Text(Ctl("cmdOK")), "&OK");
    EXPECT_EQ(uia::Text(Ctl("cmdCandel")), "&Cancel");
    EXPECT_EQ(uia::Text(Ctl("cmdApply")), "&Apply");

    const RECT r = uia::ScreenRect(dialog);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_NEAR((r.left + r.right) / 2.0, screenWidth / 2.0, 2.0);
    // Centred in the upper 85 % of the screen.
    EXPECT_NEAR((r.top + r.bottom) / 2.0, GetSystemMetrics(SM_CYSCREEN) * 0.85 / 2.0, 2.0);

    // The icon sits centred in its box.
    const RECT box = uia::ScreenRect(Ctl("picIcon"));
    const RECT icon = uia::ScreenRect(Ctl("imgIcon"));
    EXPECT_NEAR(icon.left - box.left, box.right - icon.right, 3);
    EXPECT_NEAR(icon.top - box.top, box.bottom - icon.bottom, 3);
}

TEST_F(FeedbackSoundDialog, ChoosingAnotherAndThenTheFirstAgainLeavesApplyDisabled) {
    Open(1);
    uia::Click(Sound(3));
    EXPECT_TRUE(ApplyEnabled());
    ExpectOnlyChosen(3);
    Screenshot("feedback_sound_dialog");
    uia::Click(Sound(1));
    EXPECT_FALSE(ApplyEnabled());
    ExpectOnlyChosen(1);
    // Clicking the chosen option again changes nothing.
    uia::Click(Sound(1));
    EXPECT_FALSE(ApplyEnabled());
    ExpectOnlyChosen(1);
}

TEST_F(FeedbackSoundDialog, OkWithApplyDisabledSendsNothing) {
    Open(2);
    Close("cmdOK");
    EXPECT_TRUE(RequestsAfterStart().empty());
    EXPECT_EQ(Summary(), "Touch Down Only");
}

TEST_F(FeedbackSoundDialog, OkAfterAChangeSendsExactlyOneRequestAndCloses) {
    Open(1);
    uia::Click(Sound(3));
    Close("cmdOK");
    const std::vector<SimLogEntry> requests = RequestsAfterStart();
    ASSERT_EQ(requests.size(), 1u);
    ExpectSent(requests[0], IOCTL_TOUCH_SET_FEEDBACK_SOUND, With(3));
    EXPECT_EQ(driver.State().block.feedbackSound, 3);
    EXPECT_EQ(Summary(), "Lift Off Only");
}

TEST_F(FeedbackSoundDialog, CancelAfterAChangeSendsNothingAndKeepsTheSummary) {
    Open(1);
    uia::Click(Sound(4));
    Close("cmdCandel");
    EXPECT_TRUE(RequestsAfterStart().empty());
    EXPECT_EQ(Summary(), "Silence ( No Sound )");
    EXPECT_EQ(driver.State().block.feedbackSound, 1);
}

TEST_F(FeedbackSoundDialog, ApplyWritesOnlyTheSoundRefreshesTheSummaryAndStaysOpen) {
    Open(1);
    uia::Click(Sound(4));
    Press("cmdApply");
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(uia::MousePointer(dialog), 0);
    // The summary changes while the main window is still hidden behind the dialog.
    EXPECT_EQ(Summary(), "Both Touch Down && Lift Off");
    EXPECT_FALSE(uia::Visible(main));
    ExpectOnlyChosen(4);

    // An applied value stays applied when the dialog is cancelled afterwards.
    uia::Click(Sound(2));
    Close("cmdCandel");
    const std::vector<SimLogEntry> requests = RequestsAfterStart();
    ASSERT_EQ(requests.size(), 1u);
    ExpectSent(requests[0], IOCTL_TOUCH_SET_FEEDBACK_SOUND, With(4));
    EXPECT_EQ(Summary(), "Both Touch Down && Lift Off");

    // Opened again, the dialog starts from the block, not from its last state.
    Reopen();
    ExpectOnlyChosen(4);
    EXPECT_FALSE(ApplyEnabled());
}

// Apply disables itself; the focus it had goes to OK, so the keyboard still reaches the dialog.
TEST_F(FeedbackSoundDialog, ApplyClickedWithTheMouseHandsTheFocusToOk) {
    Open(1);
    uia::Click(Sound(2));
    uia::MouseClick(Ctl("cmdApply"));
    uia::Require([&] { return !ApplyEnabled(); }, "Apply disabled by its own click");
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info));
    EXPECT_EQ(info.hwndFocus, Ctl("cmdOK"));
    uia::PressKey(Ctl("cmdOK"), VK_RETURN);
    uia::WaitForWindowGone(dialog);
    const std::vector<SimLogEntry> requests = RequestsAfterStart();
    ASSERT_EQ(requests.size(), 1u);
    ExpectSent(requests[0], IOCTL_TOUCH_SET_FEEDBACK_SOUND, With(2));
}

TEST_F(FeedbackSoundDialog, ClosingByTheCloseBoxOrEscapeSendsNothing) {
    Open(2);
    uia::Click(Sound(1));
    const HWND closing = dialog;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    uia::WaitForWindowGone(closing);
    uia::Require([&] { return uia::Visible(main); }, "the main window shown again");

    Reopen();
    uia::Click(Sound(3));
    uia::PressKey(Ctl("cmdOK"), VK_ESCAPE);
    uia::WaitForWindowGone(dialog);
    uia::Require([&] { return uia::Visible(main); }, "the main window shown again");
    EXPECT_TRUE(RequestsAfterStart().empty());
    EXPECT_EQ(Summary(), "Touch Down Only");
}

// A stored sound that names no option selects none and is kept until the user picks one.
TEST_F(FeedbackSoundDialog, AStoredSoundWithoutAnOptionIsNeverSentUnchosen) {
    for (uint8_t sound : {0, 5, 255}) {
        SCOPED_TRACE(int(sound));
        Open(sound);
        ExpectOnlyChosen(0);
        EXPECT_FALSE(ApplyEnabled());
        Close("cmdOK");
        EXPECT_TRUE(RequestsAfterStart().empty());
        EXPECT_EQ(Summary(), "Invalid#" + std::to_string(sound));

        Reopen();
        uia::Click(Sound(2));
        EXPECT_TRUE(ApplyEnabled());
        ExpectOnlyChosen(2);
        Close("cmdOK");
        const std::vector<SimLogEntry> requests = RequestsAfterStart();
        ASSERT_EQ(requests.size(), 1u);
        ExpectSent(requests[0], IOCTL_TOUCH_SET_FEEDBACK_SOUND, With(2));
        EXPECT_EQ(Summary(), "Touch Down Only");
        panel.Kill();
    }
}

// ---------------------------------------------------------------------------------------------------
// Mouse speed

struct Speeds {
    uint8_t hSpeed;
    uint8_t vSpeed;
    uint8_t acceleration;
    uint8_t bypassMode;
};

class MouseSpeedDialog : public SettingDialogTest {
protected:
    void Open(Speeds s) {
        SettingDialogTest::Open(With(initial, s), "cmdMouseSpeed", "frmMouseSpeed");
    }
    static TouchSettingsBlock With(TouchSettingsBlock b, Speeds s) {
        b.hSpeed = s.hSpeed;
        b.vSpeed = s.vSpeed;
        b.acceleration = s.acceleration;
        b.bypassMode = s.bypassMode;
        return b;
    }
    HWND Acceleration(int i) { return Ctl(uia::ArrayMember("optAcceleration", i)); }
    std::string Summary() { return uia::Text(uia::Control(main, "lblMouseSpeed")); }
    void ExpectBars(long hValue, long vValue) {
        EXPECT_EQ(uia::Value(H()), hValue);
        EXPECT_EQ(uia::Value(V()), vValue);
        EXPECT_EQ(uia::Text(Ctl("lblHS")), std::to_string(5 * hValue) + "%");
        EXPECT_EQ(uia::Text(Ctl("lblVS")), std::to_string(5 * vValue) + "%");
    }
    void ExpectOnlyAcceleration(int chosen) {
        for (int i = 1; i <= 4; ++i) ExpectChosen(Acceleration(i), i == chosen);
    }
    void ExpectEditable(bool on) {
        EXPECT_EQ(uia::Enabled(H()), on);
        EXPECT_EQ(uia::Enabled(V()), on);
        EXPECT_EQ(uia::Enabled(Ctl("chkBoth")), on);
        for (int i = 1; i <= 4; ++i) EXPECT_EQ(uia::Enabled(Acceleration(i)), on) << i;
        EXPECT_TRUE(uia::Enabled(Ctl("chkBypass")));
    }
    // The one request of the session, with the block as stored but for s.
    void ExpectOneRequest(Speeds s) {
        const std::vector<SimLogEntry> requests = RequestsAfterStart();
        ASSERT_EQ(requests.size(), 1u);
        ExpectSent(requests[0], IOCTL_TOUCH_SET_MOUSE_SPEED, With(stored, s));
    }

    // Looked up each time: every opening of the dialog makes new windows.
    HWND H() { return Ctl("hscMouseHSpeed"); }
    HWND V() { return Ctl("hscMouseVSpeed"); }
};

TEST_F(MouseSpeedDialog, OpensWithTheStoredValues) {
    Open({10, 10, 1, 0});
    ExpectBars(10, 10);
    ExpectOnlyAcceleration(1);
    const char* names[] = {"", "Slow", "Medium", "Fast", "Off"};
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(uia::Text(Acceleration(i)), names[i]);
    EXPECT_EQ(uia::Value(Ctl("chkBoth")), 1);
    EXPECT_EQ(uia::ForeColor(Ctl("chkBoth")), kBlack);
    EXPECT_EQ(uia::Value(Ctl("chkBypass")), 0);
    EXPECT_EQ(uia::ForeColor(Ctl("chkBypass")), kTeal);
    ExpectEditable(true);
    EXPECT_FALSE(ApplyEnabled());

    EXPECT_EQ(uia::Text(Ctl("chkBoth")), "Set Both Horizontal && Vertical ");
    EXPECT_EQ(uia::Text(Ctl("chkBypass")), "Enable");
    EXPECT_EQ(uia::Text(Ctl("fraHorizontalSpeed")), "  Horizontal Speed  ");
    EXPECT_EQ(uia::Text(Ctl("fraVerticalSpeed")), "  Vertical Speed  ");
    EXPECT_EQ(uia::Text(Ctl("fraAdjustMode")), "  Adjust Mode");
    EXPECT_EQ(uia::Text(Ctl("fraAcceleration")), "  Acceleration  ");
    EXPECT_EQ(uia::Text(Ctl("fraBypassMode")), "  Bypass Mode");
    EXPECT_EQ(uia::Text(dialog), kControlPanelTitle);
    EXPECT_EQ(uia::Text(Ctl("lblOemTitle")), kVendorName);
}

// The coupled bars carry the vertical speed into the horizontal bar as the dialog opens.
TEST_F(MouseSpeedDialog, DifferentSpeedsOpenBothAtTheVerticalOneWithApplyEnabled) {
    Open({8, 12, 2, 0});
    ExpectBars(12, 12);
    EXPECT_TRUE(ApplyEnabled());
    Screenshot("mouse_speed_dialog");
    Close("cmdCandel");
    EXPECT_TRUE(RequestsAfterStart().empty());
    EXPECT_EQ(driver.State().block.hSpeed, 8);
    EXPECT_EQ(Summary(), "HS=40%, VS=60%, Acceleration=Medium");

    Reopen();
    ExpectBars(12, 12);
    Close("cmdOK");
    ExpectOneRequest({12, 12, 2, 0});
    EXPECT_EQ(Summary(), "HS=60%, VS=60%, Acceleration=Medium");
}

TEST_F(MouseSpeedDialog, CoupledBarsFollowEachOther) {
    Open({10, 10, 1, 0});
    uia::Scroll(H(), SB_LINERIGHT);
    ExpectBars(11, 11);
    EXPECT_TRUE(ApplyEnabled());
    uia::Scroll(V(), SB_PAGELEFT);
    ExpectBars(9, 9);
    uia::ScrollTo(H(), 15);
    ExpectBars(15, 15);
    uia::ScrollTo(V(), 10);
    ExpectBars(10, 10);
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(MouseSpeedDialog, UncoupledBarsMoveAloneAndCouplingWaitsForTheNextChange) {
    Open({10, 10, 1, 0});
    const HWND both = Ctl("chkBoth");
    uia::Click(both);
    EXPECT_EQ(uia::Value(both), 0);
    EXPECT_EQ(uia::ForeColor(both), kTeal);

    uia::Scroll(H(), SB_PAGERIGHT);
    ExpectBars(12, 10);
    uia::Scroll(V(), SB_LINELEFT);
    ExpectBars(12, 9);
    EXPECT_TRUE(ApplyEnabled());

    uia::Click(both);
    EXPECT_EQ(uia::ForeColor(both), kBlack);
    ExpectBars(12, 9);
    uia::Scroll(V(), SB_LINERIGHT);
    ExpectBars(10, 10);
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(MouseSpeedDialog, BarsStopAtFiveAndAHundredPercentAndPageByTwo) {
    Open({2, 2, 1, 0});
    EXPECT_EQ(uia::Value(H()), 2);
    uia::Scroll(H(), SB_PAGELEFT);
    ExpectBars(1, 1);
    uia::Scroll(H(), SB_LINELEFT);
    uia::Scroll(V(), SB_PAGELEFT);
    ExpectBars(1, 1);
    uia::ScrollTo(V(), 19);
    ExpectBars(19, 19);
    uia::Scroll(V(), SB_PAGERIGHT);
    ExpectBars(20, 20);
    uia::Scroll(H(), SB_LINERIGHT);
    ExpectBars(20, 20);
    Press("cmdApply");
    EXPECT_EQ(Summary(), "HS=100%, VS=100%, Acceleration=Slow");
    EXPECT_EQ(driver.State().block.hSpeed, 20);
}

TEST_F(MouseSpeedDialog, AccelerationGroupKeepsOneChoice) {
    Open({10, 10, 2, 0});
    uia::Click(Acceleration(2));
    EXPECT_FALSE(ApplyEnabled());
    ExpectOnlyAcceleration(2);

    uia::Click(Acceleration(4));
    EXPECT_TRUE(ApplyEnabled());
    ExpectOnlyAcceleration(4);
    // Clicking the chosen option again leaves Apply as it was, enabled here.
    uia::Click(Acceleration(4));
    EXPECT_TRUE(ApplyEnabled());
    uia::Click(Acceleration(2));
    EXPECT_FALSE(ApplyEnabled());
    ExpectOnlyAcceleration(2);
}

TEST_F(MouseSpeedDialog, ApplyWritesTheFourFieldsAndEveryOtherByteAsRead) {
    Open({10, 10, 1, 0});
    uia::Scroll(H(), SB_PAGERIGHT);
    uia::Click(Acceleration(3));
    Press("cmdApply");
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(uia::MousePointer(dialog), 0);
    EXPECT_EQ(Summary(), "HS=60%, VS=60%, Acceleration=Fast");
    Close("cmdOK");
    ExpectOneRequest({12, 12, 3, 0});
    // The driver's distinctive reserved and spare bytes went back as they came.
    const SimState s = driver.State();
    EXPECT_EQ(std::memcmp(&s.block, &stored, kBypassModeByte), 0);
    EXPECT_EQ(std::memcmp(Bytes(s.block) + kAccelerationByte + 1, Bytes(stored) + kAccelerationByte + 1,
                          sizeof(TouchSettingsBlock) - kAccelerationByte - 1),
              0);
}

TEST_F(MouseSpeedDialog, BypassGreysTheScalingAndIsStoredWithTheShownValues) {
    Open({10, 10, 1, 0});
    uia::Scroll(V(), SB_LINERIGHT);
    uia::Click(Acceleration(2));
    const HWND bypass = Ctl("chkBypass");
    uia::Click(bypass);
    EXPECT_EQ(uia::Value(bypass), 1);
    EXPECT_EQ(uia::ForeColor(bypass), kTeal);
    ExpectEditable(false);
    EXPECT_TRUE(ApplyEnabled());
    Press("cmdApply");
    EXPECT_EQ(Summary(), "Enable Bypass Mode");
    Close("cmdOK");
    ExpectOneRequest({11, 11, 2, 1});

    // Opened on bypass, the dialog keeps the scaling greyed until bypass is switched off.
    Reopen();
    ExpectEditable(false);
    EXPECT_EQ(uia::Value(Ctl("chkBypass")), 1);
    EXPECT_FALSE(ApplyEnabled());
    uia::Click(Ctl("chkBypass"));
    ExpectEditable(true);
    EXPECT_TRUE(ApplyEnabled());
}

// Bytes no control can show stay as they are unless the user sets that control: opening and
// closing the dialog sends nothing, and a change of one control writes only what it shows.
TEST_F(MouseSpeedDialog, StoredValuesNoControlCanShowAreNeverSentUnchosen) {
    Open({0, 25, 9, 2});
    ExpectBars(1, 20);
    ExpectOnlyAcceleration(0);
    // Uncoupled, so that neither stand-in position is carried into the other bar.
    EXPECT_EQ(uia::Value(Ctl("chkBoth")), 0);
    EXPECT_EQ(uia::ForeColor(Ctl("chkBoth")), kTeal);
    EXPECT_EQ(uia::Value(Ctl("chkBypass")), 1);
    ExpectEditable(false);
    EXPECT_FALSE(ApplyEnabled());
    Close("cmdOK");
    EXPECT_TRUE(RequestsAfterStart().empty());
    EXPECT_EQ(Summary(), "Enable Bypass Mode");

    Reopen();
    const HWND bypass = Ctl("chkBypass");
    uia::Click(bypass);
    EXPECT_TRUE(ApplyEnabled());
    uia::Scroll(H(), SB_LINERIGHT);
    ExpectBars(2, 20);
    // Checked again, the box stands for the stored mode once more.
    uia::Click(bypass);
    EXPECT_TRUE(ApplyEnabled());
    Close("cmdOK");
    ExpectOneRequest({2, 25, 9, 2});
}

TEST_F(MouseSpeedDialog, AnUnshowableSpeedIsNeitherCarriedNorReplacedAtOpening) {
    Open({10, 0, 1, 0});
    ExpectBars(10, 1);
    EXPECT_EQ(uia::Value(Ctl("chkBoth")), 0);
    EXPECT_FALSE(ApplyEnabled());
    uia::Click(Acceleration(4));
    Press("cmdApply");
    EXPECT_EQ(Summary(), "HS=50%, VS=0%, Acceleration=Off");

    // Coupled by the user, a change of either bar sets both.
    uia::Click(Ctl("chkBoth"));
    uia::Scroll(V(), SB_LINERIGHT);
    ExpectBars(2, 2);
    Close("cmdOK");
    const std::vector<SimLogEntry> requests = RequestsAfterStart();
    ASSERT_EQ(requests.size(), 2u);
    ExpectSent(requests[0], IOCTL_TOUCH_SET_MOUSE_SPEED, With(stored, {10, 0, 4, 0}));
    ExpectSent(requests[1], IOCTL_TOUCH_SET_MOUSE_SPEED, With(stored, {2, 2, 4, 0}));
}

TEST_F(MouseSpeedDialog, AStoredAccelerationWithoutAnOptionIsKeptUntilOneIsChosen) {
    Open({10, 10, 0, 0});
    ExpectOnlyAcceleration(0);
    EXPECT_FALSE(ApplyEnabled());
    uia::Scroll(H(), SB_LINERIGHT);
    Press("cmdApply");
    EXPECT_EQ(Summary(), "HS=55%, VS=55%, Acceleration=Invalid#0");
    uia::Click(Acceleration(1));
    EXPECT_TRUE(ApplyEnabled());
    Close("cmdOK");
    const std::vector<SimLogEntry> requests = RequestsAfterStart();
    ASSERT_EQ(requests.size(), 2u);
    ExpectSent(requests[0], IOCTL_TOUCH_SET_MOUSE_SPEED, With(stored, {11, 11, 0, 0}));
    ExpectSent(requests[1], IOCTL_TOUCH_SET_MOUSE_SPEED, With(stored, {11, 11, 1, 0}));
}

}  // namespace
