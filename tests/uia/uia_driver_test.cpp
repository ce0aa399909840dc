// The driver's simulation requests, when the driver is loaded.
#include <cstring>

#include <gtest/gtest.h>

#include "tests/uia/uia.h"

namespace {

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uia::Driver::Available()) GTEST_SKIP() << QR_DEVICE_USER_PATH << " cannot be opened";
    }
    void TearDown() override {
        if (!IsSkipped()) driver.Reset();
    }
    uia::Driver driver;
};

TEST_F(DriverTest, ResetTakesTheGivenBlockAndClearsTheRest) {
    TouchSettingsBlock block = {};
    block.buttonMode = 2;
    block.feedbackSound = 3;
    block.hSpeed = 77;
    block.mcuCode[3] = 0xA5;
    driver.Report(10, 20, true);
    driver.Reset(SIM_RESET_USE_BLOCK, &block);
    SimState state = driver.State();
    EXPECT_EQ(0, std::memcmp(&block, &state.block, sizeof block));
    EXPECT_EQ(0, state.raw.x);
    EXPECT_EQ(0u, state.raw.status);
    EXPECT_THROW(driver.Reset(SIM_RESET_USE_BLOCK, nullptr), uia::Error);
}

TEST_F(DriverTest, ReportsShowInTheRawSample) {
    driver.Reset();
    EXPECT_FALSE(driver.Report(100, 200, true));
    SimState touched = driver.State();
    EXPECT_EQ(100, touched.raw.x);
    EXPECT_EQ(200, touched.raw.y);
    EXPECT_EQ(QR_STATUS_TOUCHED, touched.raw.status);
    driver.Report(100, 200, false);
    SimState lifted = driver.State();
    EXPECT_EQ(0u, lifted.raw.status);
    EXPECT_NE(touched.raw.sequence, lifted.raw.sequence);
}

TEST_F(DriverTest, LogHoldsTheSystemRequestsSinceTheReset) {
    driver.Reset();
    SimLog empty = driver.Log();
    EXPECT_EQ(0u, empty.total);
    EXPECT_EQ(0u, empty.count);

    HANDLE device = CreateFileA(QR_DEVICE_USER_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    TouchSettingsBlock block = {};
    DWORD returned = 0;
    DeviceIoControl(device, IOCTL_TOUCH_GET_SETTINGS, &block, sizeof block, &block, sizeof block,
                    &returned, nullptr);
    CloseHandle(device);

    SimLog log = driver.Log();
    EXPECT_EQ(1u, log.total);
    ASSERT_EQ(1u, log.count);
    EXPECT_EQ(IOCTL_TOUCH_GET_SETTINGS, log.entries[0].code);
    EXPECT_EQ(1u, driver.State().requestCounts[QR_REQ_GET_SETTINGS]);
}

TEST_F(DriverTest, RegisterToolWritesTheRecordUnarmed) {
    driver.Reset();
    uia::StandInWindow tool("stand-in tool");
    driver.RegisterTool(tool.Window());
    SimState state = driver.State();
    EXPECT_EQ(uia::WindowField(tool.Window()), state.rbf.hwnd);
    EXPECT_EQ(uia::FieldWindow(state.rbf.hwnd), tool.Window());
    EXPECT_EQ(0, state.rbf.armed);
    EXPECT_EQ(1u, state.requestCounts[QR_REQ_SET_RBF_WINDOW]);
}

}  // namespace
