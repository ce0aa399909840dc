// The drawing test window and the support and about windows, opened from the main window.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/driver/qrsimclient.h"
#include "tests/uia/uia.h"

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Button modes the SET_BUTTON_MODE requests of the log carried, oldest first.
std::vector<int> SentButtonModes() {
    std::vector<int> modes;
    for (const SimLogEntry& e : SimLogEntries()) {
        if (e.code == IOCTL_TOUCH_SET_BUTTON_MODE) modes.push_back(e.input[offsetof(TouchSettingsBlock, buttonMode)]);
    }
    return modes;
}

class ControlPanelWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SimDriverPresent());
        ASSERT_TRUE(SimReset());
        DeleteFileA(uia::InstallFile("QRVender.Bmp").c_str());
    }
    void TearDown() override { DeleteFileA(uia::InstallFile("QRVender.Bmp").c_str()); }

    void StartPanel() {
        panel = uia::Process::Start(uia::InstallFile("QRWNTPcp.exe"));
        main = uia::WaitForForm("frmMain", uia::kDefaultTimeout, panel.Pid());
        // Real input goes where the screen shows windows: the window is drawn and back in its
        // message loop before the gesture is made on it.
        uia::WaitForPainted(main);
    }
    HWND OpenTest() {
        uia::MouseClick(uia::Control(main, "cmdExit"), uia::MouseButton::Right, uia::kShift | uia::kAlt);
        test = uia::WaitForForm("frmTest", uia::kDefaultTimeout, panel.Pid());
        home = uia::WaitForControl(test, "picHome");
        // Activation selects the pen; wait for it so the checks do not race it.
        uia::Require([&] { return uia::DrawWidth(home) == 2 && uia::ForeColor(home) == kBlue; },
                     "the blue pen of width 2");
        return test;
    }
    POINT HomePoint(int x, int y) { return uia::ClientToScreenPoint(home, POINT{x, y}); }
    COLORREF HomePixel(int x, int y) {
        POINT p = HomePoint(x, y);
        return uia::ScreenPixel(p.x, p.y);
    }

    uia::Process panel;
    HWND main = nullptr;
    HWND test = nullptr;
    HWND home = nullptr;
};

TEST_F(ControlPanelWindows, TestWindowHoldsDragDropModeAndRestoresTheOldMode) {
    TouchSettingsBlock block{};
    SimState state{};
    ASSERT_TRUE(SimGetState(&state));
    block = state.block;
    block.buttonMode = 2;
    ASSERT_TRUE(SimResetWithBlock(block));
    StartPanel();
    OpenTest();
    EXPECT_EQ(SentButtonModes(), std::vector<int>{4});
    uia::Click(uia::Control(test, "cmdExit"));
    uia::WaitForWindowGone(test);
    EXPECT_TRUE(uia::WaitUntil([&] { return uia::Visible(main); }));
    EXPECT_EQ(SentButtonModes(), (std::vector<int>{4, 2}));

    // Restored even when the mode was drag-drop already (the panel reads the block once, at start).
    uia::Click(uia::Control(main, "cmdExit"));
    ASSERT_TRUE(panel.WaitForExit());
    ASSERT_TRUE(SimReset());
    StartPanel();
    OpenTest();
    uia::Click(uia::Control(test, "cmdExit"));
    uia::WaitForWindowGone(test);
    EXPECT_EQ(SentButtonModes(), (std::vector<int>{4, 4}));
}

TEST_F(ControlPanelWindows, TestWindowOpensWithABluePenOfWidthTwo) {
    StartPanel();
    OpenTest();
    EXPECT_EQ(uia::ForeColor(home), kBlue);
    HWND selected = uia::Control(test, "lblWidth(1)");
    EXPECT_EQ(uia::Text(selected), " 2 ");
    EXPECT_EQ(uia::ForeColor(selected), RGB(255, 255, 0));
    EXPECT_EQ(uia::BackColor(selected), RGB(64, 64, 64));
    for (const char* other : {"lblWidth(0)", "lblWidth(2)", "lblWidth(3)"}) {
        EXPECT_EQ(uia::ForeColor(uia::Control(test, other)), RGB(0, 0, 0)) << other;
        EXPECT_EQ(uia::BackColor(uia::Control(test, other)), RGB(224, 224, 224)) << other;
    }
    EXPECT_TRUE(uia::StyleFlags(uia::Control(test, "lblColor(3)")) & TK_STYLE_BORDER);
    EXPECT_FALSE(uia::StyleFlags(uia::Control(test, "lblColor(0)")) & TK_STYLE_BORDER);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(uia::StyleFlags(uia::Control(test, "lblButton(" + std::to_string(i) + ")")) & TK_STYLE_OPAQUE);
    }
    uia::SaveScreenshot("controlpanel_test_window");
}

TEST_F(ControlPanelWindows, SwatchTakesEffectAtTouchDown) {
    StartPanel();
    OpenTest();
    HWND red = uia::Control(test, "lblColor(1)");
    uia::MouseMove(uia::Centre(uia::ScreenRect(red)));
    uia::MouseDown(uia::MouseButton::Left);
    EXPECT_TRUE(uia::WaitUntil([&] { return uia::ForeColor(home) == kRed; })) << "before the lift";
    uia::MouseUp(uia::MouseButton::Left);
    Sleep(200);
    EXPECT_EQ(uia::ForeColor(home), kRed);
    EXPECT_TRUE(uia::StyleFlags(red) & TK_STYLE_BORDER);
    EXPECT_FALSE(uia::StyleFlags(uia::Control(test, "lblColor(3)")) & TK_STYLE_BORDER);
}

TEST_F(ControlPanelWindows, TapDrawsAPointDragDrawsALineAndClearErasesBoth) {
    StartPanel();
    OpenTest();
    uia::MouseMove(HomePoint(300, 150));  // moving without a button draws nothing
    uia::MouseMove(HomePoint(400, 150));
    uia::MouseClickAt(home, POINT{100, 100});
    uia::MouseDragIn(home, POINT{200, 200}, POINT{400, 200});
    // Input is handled in order: once the line's middle is drawn, so is everything before it.
    EXPECT_TRUE(uia::WaitUntil([&] { return HomePixel(300, 200) == kBlue; })) << "the middle of the dragged line";

    EXPECT_EQ(HomePixel(100, 100), kBlue) << "the tapped point";
    EXPECT_EQ(HomePixel(106, 100), kWhite) << "a point, not a stroke";
    EXPECT_EQ(HomePixel(350, 150), kWhite) << "moved without a button";
    uia::SaveScreenshot("controlpanel_test_drawing");

    uia::Click(uia::Control(test, "cmdClear"));
    EXPECT_TRUE(uia::WaitUntil([&] { return HomePixel(100, 100) == kWhite && HomePixel(300, 200) == kWhite; }))
        << "both cleared";
    EXPECT_EQ(uia::ForeColor(home), kBlue) << "Clear keeps the pen";
    EXPECT_EQ(uia::DrawWidth(home), 2);
}

TEST_F(ControlPanelWindows, IndicatorShowsTheHeldButton) {
    StartPanel();
    OpenTest();
    HWND left = uia::Control(test, "lblButton(0)");
    uia::MouseMove(HomePoint(150, 150));
    uia::MouseDown(uia::MouseButton::Left);
    EXPECT_TRUE(uia::WaitUntil([&] { return (uia::StyleFlags(left) & TK_STYLE_OPAQUE) != 0; }));
    uia::MouseUp(uia::MouseButton::Left);
    EXPECT_TRUE(uia::WaitUntil([&] { return (uia::StyleFlags(left) & TK_STYLE_OPAQUE) == 0; }));
}

// A 24-bit bottom-up bitmap file of the given size, filled with one colour.
void WriteBitmap(const std::string& path, int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = DWORD(stride * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<BYTE> pixels(info.biSizeImage, 0x80);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(f, &file, sizeof file, &written, nullptr);
    WriteFile(f, &info, sizeof info, &written, nullptr);
    WriteFile(f, pixels.data(), DWORD(pixels.size()), &written, nullptr);
    CloseHandle(f);
}

TEST_F(ControlPanelWindows, SupportWindowTakesTheSizeOfTheVendorBitmap) {
    WriteBitmap(uia::InstallFile("QRVender.Bmp"), 600, 400);
    StartPanel();
    uia::Click(uia::Control(main, "cmdSupport"));
    HWND support = uia::WaitForForm("frmSupport", uia::kDefaultTimeout, panel.Pid());
    EXPECT_EQ(uia::Text(support), uia::Text(main));
    RECT client;
    GetClientRect(support, &client);
    // Bitmap width; bitmap height + 5 margins of 60 twips + the 495-twip button (15 twips a pixel).
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 400 + 300 / 15 + 495 / 15);
    RECT ok = uia::RectInForm(uia::Control(support, "cmdOK"));
    EXPECT_LE(std::abs((ok.left + ok.right) - 600), 2) << "button centred";
    EXPECT_EQ(ok.top, 3 * 60 / 15 + 400);
    uia::SaveScreenshot("controlpanel_support");

    uia::Click(uia::Control(support, "cmdOK"));
    uia::WaitForWindowGone(support);
    EXPECT_TRUE(uia::WaitUntil([&] { return uia::Visible(main); }));
}

TEST_F(ControlPanelWindows, AboutWindowShowsTheMainWindowsHeaderAndTheCopyright) {
    StartPanel();
    uia::Click(uia::Control(main, "cmdSupport"));  // "&About" without a vendor bitmap
    HWND about = uia::WaitForForm("frmAbout", uia::kDefaultTimeout, panel.Pid());
    EXPECT_FALSE(uia::Visible(main));
    EXPECT_EQ(uia::Text(about), " About");
    EXPECT_EQ(uia::Text(uia::Control(about, "lblOemTitle")), uia::Text(uia::Control(main, "lblOemTitle")));
    EXPECT_EQ(uia::Text(uia::Control(about, "lblSystem")), "TouchScreen Control Panel Version K520.PS2");
    EXPECT_EQ(uia::Text(uia::Control(about, "lblCopyright")), "Copyright (C) Orvale. All rights reserved.");
    uia::SaveScreenshot("controlpanel_about");
    uia::Click(uia::Control(about, "cmdOK"));
    uia::WaitForWindowGone(about);
    EXPECT_TRUE(uia::WaitUntil([&] { return uia::Visible(main); }));

    // A double-click on the icon opens it too.
    HWND icon = uia::Control(main, "imgIcon");
    uia::MouseClick(icon);
    uia::MouseClick(icon);
    about = uia::WaitForForm("frmAbout", uia::kDefaultTimeout, panel.Pid());
    uia::Click(uia::Control(about, "cmdOK"));
}

}  // namespace
