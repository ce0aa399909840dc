// The driver channel: what each request sends and where the answer lands, the commands to the
// right-button tool and its start. Tests marked DriverChannel need the substitute driver and
// skip when \\.\QRWNTPS2 cannot be opened.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/SuiteNames.h"
#include "common/TouchChannel.h"
#include "common/basOEM.h"

namespace {

// A window of the test process standing in for the tool: records the WM_USER commands it gets.
class CommandWindow {
public:
    CommandWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QRChannelTestWindow";
        RegisterClassA(&wc);  // fails harmlessly when already registered
        hwnd = CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                             nullptr);
        received.clear();
    }
    ~CommandWindow() { DestroyWindow(hwnd); }
    int32_t Field() const { return RbfFieldFromHwnd(hwnd); }

    HWND hwnd;
    static std::vector<WPARAM> received;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_USER) received.push_back(wp);
        return DefWindowProcA(w, msg, wp, lp);
    }
};
std::vector<WPARAM> CommandWindow::received;

void AllToolCommands() {
    ShowRightButtonTool();
    HideRightButtonTool();
    CloseRightButtonTool();
}

TEST(RbfField, WindowHandlesRoundTrip) {
    CommandWindow w;
    ASSERT_NE(w.hwnd, nullptr);
    EXPECT_EQ(HwndFromRbfField(w.Field()), w.hwnd);
    EXPECT_EQ(HwndFromRbfField(RBF_NO_WINDOW), reinterpret_cast<HWND>(static_cast<intptr_t>(-1)));
    EXPECT_EQ(RbfFieldFromHwnd(HwndFromRbfField(RBF_NO_WINDOW)), RBF_NO_WINDOW);
}

TEST(ChannelClosed, RequestsFailAndLeaveTheBuffers) {
    CloseTouchDriver();
    std::memset(&TouchSettings, 0xAB, sizeof TouchSettings);
    const TouchSettingsBlock before = TouchSettings;
    lastRequestOk = TRUE;
    TouchGetSettings();
    EXPECT_FALSE(lastRequestOk);
    EXPECT_EQ(std::memcmp(&TouchSettings, &before, sizeof before), 0);

    // Whatever the record held before, a failed GET_RBF_WINDOW names no tool.
    CommandWindow w;
    RbfWindow.hwnd = w.Field();
    AllToolCommands();
    EXPECT_TRUE(CommandWindow::received.empty());
}

// StartRightButtonTool with InstallPath in a scratch folder that holds a copy of the stub.
class ToolStart : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH], self[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        stub = self;
        stub = stub.substr(0, stub.find_last_of('\\') + 1) + "channel_tool_stub.exe";
        const std::string stem = std::string(temp) + "qr" + std::to_string(GetCurrentProcessId());
        // Unquoted, "<stem> tool\QRWNTPrb.exe" would start <stem>.exe.
        folder = stem + " tool";
        decoy = stem + ".exe";
        tool = folder + "\\" + kRightButtonToolFile;
        CreateDirectoryA(folder.c_str(), nullptr);
        savedInstallPath = InstallPath;
    }
    void TearDown() override {
        for (const std::string& f : {tool, tool + ".ran", decoy, decoy + ".ran"}) DeleteFileA(f.c_str());
        RemoveDirectoryA(folder.c_str());
        InstallPath = savedInstallPath;
    }
    static bool AppearsWithin(const std::string& path, DWORD ms) {
        for (DWORD waited = 0; waited <= ms; waited += 50, Sleep(50))
            if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        return false;
    }

    std::string stub, folder, decoy, tool, savedInstallPath;
};

TEST_F(ToolStart, FailsWhenTheToolIsNotThere) {
    InstallPath = folder;
    EXPECT_FALSE(StartRightButtonTool());
    InstallPath = folder + "\\missing";
    EXPECT_FALSE(StartRightButtonTool());
}

TEST_F(ToolStart, StartsTheToolFromAFolderWithBlanks) {
    ASSERT_TRUE(CopyFileA(stub.c_str(), tool.c_str(), FALSE)) << stub;
    ASSERT_TRUE(CopyFileA(stub.c_str(), decoy.c_str(), FALSE));
    InstallPath = folder;
    EXPECT_TRUE(StartRightButtonTool());
    EXPECT_TRUE(AppearsWithin(tool + ".ran", 10000));
    EXPECT_FALSE(AppearsWithin(decoy + ".ran", 0));
}

// Against the substitute driver: a second handle drives its simulation requests.
class DriverChannel : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OpenTouchDriver()) GTEST_SKIP() << "no " << kDevicePath;
        sim = CreateFileA(kDevicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(sim, INVALID_HANDLE_VALUE);
        Reset(0);
    }
    void TearDown() override {
        if (sim != INVALID_HANDLE_VALUE) {
            Reset(0);
            CloseHandle(sim);
        }
        CloseTouchDriver();
    }
    bool Sim(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize) {
        DWORD n = 0;
        return DeviceIoControl(sim, code, const_cast<void*>(in), inSize, out, outSize, &n, nullptr);
    }
    void Reset(uint32_t flags, const TouchSettingsBlock* block = nullptr) {
        SimResetInput in = {flags, block ? *block : TouchSettingsBlock{}};
        ASSERT_TRUE(Sim(IOCTL_SIM_RESET, &in, block ? sizeof in : sizeof flags, nullptr, 0));
    }
    SimState State() {
        SimState s = {};
        EXPECT_TRUE(Sim(IOCTL_SIM_GET_STATE, nullptr, 0, &s, sizeof s));
        return s;
    }
    SimLog Log() {
        SimLog l = {};
        EXPECT_TRUE(Sim(IOCTL_SIM_GET_LOG, nullptr, 0, &l, sizeof l));
        return l;
    }

    HANDLE sim = INVALID_HANDLE_VALUE;
};

TEST_F(DriverChannel, EachRequestSendsItsCodeAndWholeBuffer) {
    const struct {
        const char* name;
        void (*send)();
        uint32_t code;
        int index;
        void* buffer;
        DWORD size;
        bool logged;  // the driver only counts the two polled reads
    } cases[] = {
        {"GET_SETTINGS", TouchGetSettings, IOCTL_TOUCH_GET_SETTINGS, QR_REQ_GET_SETTINGS, &TouchSettings, 48, true},
        {"GET_RAW_SAMPLE", TouchGetRawSample, IOCTL_TOUCH_GET_RAW_SAMPLE, QR_REQ_GET_RAW_SAMPLE, &TouchSample, 8, false},
        {"CALIBRATION_SIGNAL", [] { TouchSignalCalibration(0x05040302); }, IOCTL_TOUCH_CALIBRATION_SIGNAL,
         QR_REQ_CALIBRATION_SIGNAL, &TouchCalSignal, 4, true},
        {"SET_BUTTON_MODE", TouchSetButtonMode, IOCTL_TOUCH_SET_BUTTON_MODE, QR_REQ_SET_BUTTON_MODE, &TouchSettings, 48, true},
        {"SET_FEEDBACK_SOUND", TouchSetFeedbackSound, IOCTL_TOUCH_SET_FEEDBACK_SOUND, QR_REQ_SET_FEEDBACK_SOUND,
         &TouchSettings, 48, true},
        {"SET_MOUSE_SPEED", TouchSetMouseSpeed, IOCTL_TOUCH_SET_MOUSE_SPEED, QR_REQ_SET_MOUSE_SPEED, &TouchSettings, 48, true},
        {"SET_CALIBRATION", TouchSetCalibration, IOCTL_TOUCH_SET_CALIBRATION, QR_REQ_SET_CALIBRATION, &TouchSettings, 48, true},
        {"SET_SCREEN_SIZE", TouchSetScreenSize, IOCTL_TOUCH_SET_SCREEN_SIZE, QR_REQ_SET_SCREEN_SIZE, &TouchSettings, 48, true},
        {"GET_RBF_WINDOW", TouchGetRbfWindow, IOCTL_TOUCH_GET_RBF_WINDOW, QR_REQ_GET_RBF_WINDOW, &RbfWindow, 8, false},
        {"SET_RBF_WINDOW", TouchSetRbfWindow, IOCTL_TOUCH_SET_RBF_WINDOW, QR_REQ_SET_RBF_WINDOW, &RbfWindow, 8, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reset(0);
        auto* bytes = static_cast<uint8_t*>(c.buffer);
        for (DWORD i = 0; i < c.size; ++i) bytes[i] = static_cast<uint8_t>(0x40 + i);
        const std::vector<uint8_t> filled(bytes, bytes + c.size);
        lastRequestOk = FALSE;
        c.send();
        EXPECT_TRUE(lastRequestOk);
        const SimState state = State();
        for (int i = 0; i < QR_REQUEST_COUNT; ++i) EXPECT_EQ(state.requestCounts[i], i == c.index ? 1u : 0u) << i;
        if (!c.logged) continue;
        const SimLog log = Log();
        ASSERT_EQ(log.count, 1u);
        EXPECT_EQ(log.entries[0].code, c.code);
        EXPECT_EQ(log.entries[0].inputLength, c.size);
        const std::vector<uint8_t> sent = c.index == QR_REQ_CALIBRATION_SIGNAL ? std::vector<uint8_t>{2, 3, 4, 5} : filled;
        EXPECT_EQ(std::vector<uint8_t>(log.entries[0].input, log.entries[0].input + c.size), sent);
    }
}

TEST_F(DriverChannel, AnswersLandInTheBufferThatWasSent) {
    TouchSettingsBlock block = {};
    for (size_t i = 0; i < sizeof block; ++i) reinterpret_cast<uint8_t*>(&block)[i] = static_cast<uint8_t>(0x90 + i);
    Reset(SIM_RESET_USE_BLOCK, &block);
    TouchSettings = TouchSettingsBlock{};
    TouchGetSettings();
    EXPECT_EQ(std::memcmp(&TouchSettings, &block, sizeof block), 0);

    TouchSettings.feedbackSound = 3;
    const TouchSettingsBlock sent = TouchSettings;
    TouchSetFeedbackSound();
    EXPECT_EQ(std::memcmp(&TouchSettings, &sent, sizeof sent), 0);
    EXPECT_EQ(State().block.feedbackSound, 3);

    const SimReportInput touch = {321, 654, 1, {}};
    SimReportOutput clicked = {};
    ASSERT_TRUE(Sim(IOCTL_SIM_REPORT, &touch, sizeof touch, &clicked, sizeof clicked));
    TouchSample = TouchRawSample{};
    TouchGetRawSample();
    EXPECT_EQ(TouchSample.x, 321);
    EXPECT_EQ(TouchSample.y, 654);
    EXPECT_EQ(TouchSample.status & QR_STATUS_TOUCHED, QR_STATUS_TOUCHED);
    EXPECT_EQ(TouchSample.sequence, State().raw.sequence);

    RbfWindow = RbfWindowRecord{0x1234, 1, {0x11, 0x22}};
    TouchSetRbfWindow();
    RbfWindow = RbfWindowRecord{};
    TouchGetRbfWindow();
    EXPECT_EQ(RbfWindow.hwnd, 0x1234);
    EXPECT_EQ(RbfWindow.armed, 1);
    EXPECT_EQ(RbfWindow.spare[0], 0x11);
    EXPECT_EQ(RbfWindow.spare[1], 0x22);
}

// Only a live tool gets commands (the end-to-end tests show the tool obeying them): not a window
// of another program that holds a registered handle, as after a tool died.
TEST_F(DriverChannel, ToolHelpersSendNothingButToALiveTool) {
    CommandWindow w;
    RbfWindow = RbfWindowRecord{w.Field(), 0, {}};
    TouchSetRbfWindow();
    AllToolCommands();
    EXPECT_TRUE(CommandWindow::received.empty());
    EXPECT_EQ(State().requestCounts[QR_REQ_GET_RBF_WINDOW], 3u);

    Reset(0);
    RbfWindow.hwnd = w.Field();  // stale: the driver's record says -1
    AllToolCommands();
    EXPECT_TRUE(CommandWindow::received.empty());
    EXPECT_EQ(RbfWindow.hwnd, RBF_NO_WINDOW);

    Reset(SIM_RESET_FAIL_REQUESTS);
    RbfWindow.hwnd = w.Field();  // a failing driver leaves the buffer as it was
    AllToolCommands();
    EXPECT_TRUE(CommandWindow::received.empty());
}

}  // namespace
