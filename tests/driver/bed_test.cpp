// The test bed as the programs find it: the installation record, the installed files and the
// driver's service, set up by tests/winebed create as the suite's installer and setup would.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "driver/qrwntps2.h"

namespace {

const char kRecordKey[] = "SOFTWARE\\Orvale\\TouchScreen\\QR-K52-PS2";
const char kServiceKey[] = "System\\CurrentControlSet\\Services\\QRWNTPS2";

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The folder this test program runs from: the build's bin folder, which the bed installs from.
std::string BuildBin() {
    char self[MAX_PATH];
    std::string path(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    return path.substr(0, path.find_last_of('\\') + 1);
}

class Key {
public:
    explicit Key(const char* path) { opened_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key_) == 0; }
    ~Key() {
        if (opened_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Opened() const { return opened_; }
    bool Has(const char* name) const { return RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, nullptr) == 0; }
    std::string String(const char* name) const {
        char value[MAX_PATH] = {};
        DWORD type = 0, size = sizeof value - 1;
        if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != 0 || type != REG_SZ)
            return "<missing>";
        return value;
    }
    DWORD Dword(const char* name) const {
        DWORD value = 0, type = 0, size = sizeof value;
        if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != 0 ||
            type != REG_DWORD)
            return ~0u;
        return value;
    }

private:
    HKEY key_ = nullptr;
    bool opened_ = false;
};

TEST(TestBed, InstallationRecordHasAllFiveValues) {
    Key record(kRecordKey);
    ASSERT_TRUE(record.Opened());
    EXPECT_EQ(record.String("VenderName"), "Orvale TouchScreen");
    EXPECT_EQ(record.String("InstallPath"), "C:\\QRTouch");
    EXPECT_EQ(record.String("WindowsPath"), "C:\\windows");
    EXPECT_EQ(record.String("SystemPath"), "C:\\windows\\system32");
    EXPECT_EQ(record.String("HardwareID"), "*VXN0001");
}

TEST(TestBed, ProgramsDriverAndStandInsAreInPlace) {
    Key record(kRecordKey);
    ASSERT_TRUE(record.Opened());
    const std::string install = record.String("InstallPath") + "\\";
    const std::string windows = record.String("WindowsPath") + "\\";
    const std::string drivers = record.String("SystemPath") + "\\drivers\\";
    for (const char* program : {"QRWNTPcp.exe", "QRWNTPao.exe", "QRWNTPrb.exe", "QRWNTPdi.exe"}) {
        if (Exists(BuildBin() + program)) {
            EXPECT_TRUE(Exists(install + program)) << program;
        }
    }
    if (Exists(BuildBin() + "QRWNTPde.exe")) {
        EXPECT_TRUE(Exists(windows + "QRWNTPde.exe"));
    }
    EXPECT_TRUE(Exists(install + "unins000.exe"));
    EXPECT_TRUE(Exists(drivers + "QRWNTPS2.sys"));
    EXPECT_TRUE(Exists(drivers + "i8042prt.sys"));
}

TEST(TestBed, DriverIsASystemStartKernelDriverThatIsRunning) {
    Key service(kServiceKey);
    ASSERT_TRUE(service.Opened());
    EXPECT_EQ(service.Dword("Type"), static_cast<DWORD>(SERVICE_KERNEL_DRIVER));
    EXPECT_EQ(service.Dword("Start"), static_cast<DWORD>(SERVICE_SYSTEM_START));
    EXPECT_FALSE(service.Has("ImagePath")) << "the driver is found in the drivers folder by its name";

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
