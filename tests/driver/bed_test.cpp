// The test bed as the programs find it: the installation record, the installed files and the
// driver's service, set up by tests/winebed create as the suite's installer and setup would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver/qrwntps2.h"
#include "tests/uia/uia.h"

namespace {

const char kRecordKey[] = "SOFTWARE\\Orvale\\TouchScreen\\QR-K52-PS2";
const char kServiceKey[] = "System\\CurrentControlSet\\Services\\QRWNTPS2";

// The folder this test program runs from: the build's bin folder, which the bed installs from.
std::string BuildBin() {
    char self[MAX_PATH];
    std::string path(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string RecordText(const char* name) { return uia::RegistryText(kRecordKey, name); }

DWORD ServiceDword(const char* name) {
    const uia::RegistryValue v = uia::ReadRegistryValue(HKEY_LOCAL_MACHINE, kServiceKey, name);
    DWORD value = ~0u;
    if (v.exists && v.type == REG_DWORD && v.data.size() == sizeof value) std::memcpy(&value, v.data.data(), sizeof value);
    return value;
}

TEST(TestBed, InstallationRecordHasAllFiveValues) {
    EXPECT_EQ(RecordText("VenderName"), "Orvale TouchScreen");
    EXPECT_EQ(RecordText("InstallPath"), "C:\\QRTouch");
    EXPECT_EQ(RecordText("WindowsPath"), "C:\\windows");
    EXPECT_EQ(RecordText("SystemPath"), "C:\\windows\\system32");
    EXPECT_EQ(RecordText("HardwareID"), "*VXN0001");
}

TEST(TestBed, ProgramsDriverAndStandInsAreInPlace) {
    const std::string install = RecordText("InstallPath") + "\\";
    const std::string windows = RecordText("WindowsPath") + "\\";
    const std::string drivers = RecordText("SystemPath") + "\\drivers\\";
    ASSERT_NE(install, "\\") << "no installation record";
    for (const char* program : {"QRWNTPcp.exe", "QRWNTPao.exe", "QRWNTPrb.exe", "QRWNTPdi.exe"}) {
        if (uia::Exists(BuildBin() + program)) {
            EXPECT_TRUE(uia::Exists(install + program)) << program;
        }
    }
    if (uia::Exists(BuildBin() + "QRWNTPde.exe")) {
        EXPECT_TRUE(uia::Exists(windows + "QRWNTPde.exe"));
    }
    EXPECT_TRUE(uia::Exists(install + "unins000.exe"));
    EXPECT_TRUE(uia::Exists(drivers + "QRWNTPS2.sys"));
    EXPECT_TRUE(uia::Exists(drivers + "i8042prt.sys"));
}

TEST(TestBed, DriverIsASystemStartKernelDriverThatIsRunning) {
    EXPECT_EQ(ServiceDword("Type"), static_cast<DWORD>(SERVICE_KERNEL_DRIVER));
    EXPECT_EQ(ServiceDword("Start"), static_cast<DWORD>(SERVICE_SYSTEM_START));
    EXPECT_FALSE(uia::ReadRegistryValue(HKEY_LOCAL_MACHINE, kServiceKey, "ImagePath").exists)
        << "the driver is found in the drivers folder by its name";

    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE driver = OpenServiceA(manager, QR_DRIVER_BASE_NAME, SERVICE_QUERY_STATUS);
    ASSERT_NE(driver, nullptr);
    SERVICE_STATUS status = {};
    EXPECT_TRUE(QueryServiceStatus(driver, &status));
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    CloseServiceHandle(driver);
    CloseServiceHandle(manager);
}

}  // namespace
