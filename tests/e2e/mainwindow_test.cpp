// The control panel's main window, driven from outside: start-up sequence, summaries, vendor
// files, the failures that end the program and the second copy.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/driver/qrsimclient.h"
#include "tests/uia/uia.h"

namespace {

const char kTitle[] = " TouchScreen Control Panel #QR-K52-PS2";
const char kRecordKey[] = "SOFTWARE\\Orvale\\TouchScreen\\QR-K52-PS2";

std::string RecordValue(const char* name) { return uia::RegistryText(kRecordKey, name); }

void WriteFileText(const std::string& path, const std::string& text) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(f, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(f);
}

// 15 twips a pixel at the bed's 96 DPI.
int Px(int twips) { return twips / 15; }

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SimDriverPresent()) << "the touch driver must be running in the bed";
        ASSERT_TRUE(SimReset());
        DeleteFileA(uia::InstallFile("QRVender.Cut").c_str());
        DeleteFileA(uia::InstallFile("QRVender.Bmp").c_str());
    }
    void TearDown() override {
        DeleteFileA(uia::InstallFile("QRVender.Cut").c_str());
        DeleteFileA(uia::InstallFile("QRVender.Bmp").c_str());
        if (!SimDriverPresent()) SimStartDriver();
    }

    HWND Start() {
        panel = uia::Process::Start(uia::InstallFile("QRWNTPcp.exe"));
        form = uia::WaitForForm("frmMain", uia::kDefaultTimeout, panel.Pid());
        return form;
    }
    std::string TextOf(const char* name) { return uia::Text(uia::Control(form, name)); }

    uia::Process panel;
    HWND form = nullptr;
};

TEST_F(MainWindow, ShowsVendorVersionAndSummariesOfTheDriversBlock) {
    Start();
    EXPECT_EQ(uia::Text(form), kTitle);
    EXPECT_EQ(TextOf("lblOemTitle"), RecordValue("VenderName"));
    EXPECT_EQ(TextOf("lblSystem"), "TouchScreen Control Panel Version K520.PS2");
    EXPECT_EQ(TextOf("lblSerialPort"), "TouchScreen or Mouse found on PS/2 port");
    EXPECT_EQ(TextOf("lblVirtualButton"), "Drag Drop Mode (RBF=Disable)");
    EXPECT_EQ(TextOf("lblFeedbackSound"), "Silence ( No Sound )");
    EXPECT_EQ(TextOf("lblMouseSpeed"), "HS=50%, VS=50%, Acceleration=Slow");
    EXPECT_EQ(TextOf("cmdSupport"), "&About") << "no vendor bitmap in the bed";
    EXPECT_EQ(uia::MousePointer(form), 0);

    SimState state{};
    ASSERT_TRUE(SimGetState(&state));
    EXPECT_EQ(state.requestCounts[QR_REQ_GET_SETTINGS], 1u) << "the block is read once, at start";

    uia::SaveScreenshot("controlpanel_main");
}

TEST_F(MainWindow, LayoutForThePs2PortDropsTheSerialAndPowerSaveRows) {
    Start();
    for (const char* hidden : {"cmdSerialPort", "cmdSleepTime", "shpSleepTime", "lblSleepTime"}) {
        EXPECT_FALSE(uia::Visible(uia::Control(form, hidden))) << hidden;
    }
    EXPECT_FALSE(uia::Enabled(uia::Control(form, "cmdSerialPort")));
    EXPECT_FALSE(uia::Enabled(uia::Control(form, "cmdSleepTime")));
    EXPECT_FALSE(uia::Enabled(uia::Control(form, "lblSleepTime")));

    // The detection box takes the serial-port button's place, its label keeps its offset inside.
    HWND detection = uia::Control(form, "shpDetection");
    HWND detectionLabel = uia::Control(form, "lblDetection");
    ASSERT_TRUE(uia::Visible(detection));
    ASSERT_TRUE(uia::Visible(detectionLabel));
    EXPECT_EQ(uia::RectInForm(detection).left, Px(480));
    EXPECT_EQ(uia::RectInForm(detection).top, Px(1500));
    EXPECT_EQ(uia::RectInForm(detectionLabel).left, Px(960));
    EXPECT_EQ(uia::RectInForm(detectionLabel).top, Px(1620));

    // 600 twips shorter, with the bottom buttons in the old power-save row.
    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(client.bottom, Px(5715 - 600));
    EXPECT_EQ(client.right, Px(6645));
    for (const char* moved : {"cmdCalibration", "cmdSupport", "cmdExit"}) {
        EXPECT_EQ(uia::RectInForm(uia::Control(form, moved)).top, Px(3900)) << moved;
    }
}

TEST_F(MainWindow, FailedSettingsReadShowsTheSummariesOfABlockOfZeros) {
    ASSERT_TRUE(SimReset(SIM_RESET_FAIL_REQUESTS));
    Start();
    EXPECT_EQ(TextOf("lblVirtualButton"), "Invalid#0 (RBF=Disable)");
    EXPECT_EQ(TextOf("lblFeedbackSound"), "Invalid#0");
    EXPECT_EQ(TextOf("lblMouseSpeed"), "HS=0%, VS=0%, Acceleration=Invalid#0");
}

TEST_F(MainWindow, VendorFilesDecideTheSupportButton) {
    WriteFileText(uia::InstallFile("QRVender.Bmp"), "BM");
    Start();
    EXPECT_EQ(TextOf("cmdSupport"), "S&upport");
    EXPECT_TRUE(uia::Enabled(uia::Control(form, "cmdSupport")));
    panel.Kill();

    // The marker wins over the bitmap.
    WriteFileText(uia::InstallFile("QRVender.Cut"), "");
    Start();
    EXPECT_EQ(TextOf("cmdSupport"), "");
    EXPECT_FALSE(uia::Enabled(uia::Control(form, "cmdSupport")));
}

TEST_F(MainWindow, ExitEndsTheProgram) {
    Start();
    uia::Click(uia::Control(form, "cmdExit"));
    EXPECT_TRUE(panel.WaitForExit());
}

TEST_F(MainWindow, OnlyRightClickWithShiftAndAltOnExitOpensTheTestWindow) {
    Start();
    HWND exitButton = uia::Control(form, "cmdExit");
    uia::MouseClick(exitButton, uia::MouseButton::Right, uia::kAlt);
    Sleep(300);
    EXPECT_TRUE(uia::Visible(form));
    EXPECT_EQ(uia::FindForm("frmTest", panel.Pid()), nullptr);

    uia::MouseClick(exitButton, uia::MouseButton::Right, uia::kShift | uia::kAlt);
    uia::WaitForForm("frmTest", uia::kDefaultTimeout, panel.Pid());
    uia::WaitForWindowGone(form);
}

TEST_F(MainWindow, LeftClickWithShiftAndAltIsAnOrdinaryExit) {
    Start();
    uia::MouseClick(uia::Control(form, "cmdExit"), uia::MouseButton::Left, uia::kShift | uia::kAlt);
    EXPECT_TRUE(panel.WaitForExit());
}

TEST_F(MainWindow, SecondCopyBringsTheFirstToTheFrontAndEnds) {
    Start();
    HWND other = CreateWindowExA(0, "STATIC", "some other window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    uia::Process second = uia::Process::Start(uia::InstallFile("QRWNTPcp.exe"));
    EXPECT_TRUE(second.WaitForExit());
    EXPECT_EQ(uia::FindMessageBox(second.Pid()), nullptr);
    EXPECT_TRUE(uia::WaitUntil([&] { return GetForegroundWindow() == form; }));
    EXPECT_TRUE(panel.Running());
    DestroyWindow(other);
}

// A failure that leaves nothing usable: a stop box titled as given, then the program ends
// without ever showing its main window.
void ExpectFatalBox(uia::Process& program, const std::string& caption, const std::string& text) {
    HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, program.Pid());
    EXPECT_EQ(uia::Text(box), caption);
    EXPECT_EQ(uia::FailureLine(box), text);
    EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Stop);
    EXPECT_TRUE(uia::IsTopmost(box)) << "system-modal";
    EXPECT_EQ(uia::FindForm("frmMain", program.Pid()), nullptr);
    uia::Answer(box, IDOK);
    EXPECT_TRUE(program.WaitForExit());
}

TEST_F(MainWindow, IncompleteInstallationRecordEndsTheProgram) {
    const std::string hardwareId = RecordValue("HardwareID");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "HardwareID");
    uia::Process program = uia::Process::Start(uia::InstallFile("QRWNTPcp.exe"));
    ExpectFatalBox(program, kTitle, "Fail to load data from Register File! [error 2]");
    RegSetValueExA(key, "HardwareID", 0, REG_SZ, reinterpret_cast<const BYTE*>(hardwareId.c_str()),
                   DWORD(hardwareId.size() + 1));
    RegCloseKey(key);

    SimState state{};
    ASSERT_TRUE(SimGetState(&state));
    EXPECT_EQ(state.requestCounts[QR_REQ_GET_SETTINGS], 0u) << "ends before the driver is opened";
}

TEST_F(MainWindow, MissingDriverEndsTheProgram) {
    ASSERT_TRUE(SimStopDriver());
    uia::Process program = uia::Process::Start(uia::InstallFile("QRWNTPcp.exe"));
    ExpectFatalBox(program, "TouchScreen Control Panel", "Fail to open QRWNTPS2.sys! [error 2]");
    ASSERT_TRUE(SimStartDriver());
}

}  // namespace
