#include "tests/driver/qrsimclient.h"

namespace {

// A service stops or starts within a second under Wine; allow for a slow machine.
constexpr DWORD kServiceWaitMs = 10000;
constexpr DWORD kServicePollMs = 50;

HANDLE OpenDevice() {
    return CreateFileA(QR_DEVICE_USER_PATH, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Polls until the device is present (or gone) as wanted.
bool WaitForDevice(bool present) {
    for (DWORD waited = 0; waited < kServiceWaitMs; waited += kServicePollMs) {
        if (SimDriverPresent() == present) return true;
        Sleep(kServicePollMs);
    }
    return SimDriverPresent() == present;
}

// The driver's service, opened for starting and stopping. Closing keeps the caller's last error.
class DriverService {
public:
    DriverService()
        : manager_(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)),
          service_(manager_ ? OpenServiceA(manager_, QR_DRIVER_BASE_NAME, SERVICE_START | SERVICE_STOP) : nullptr) {}
    ~DriverService() {
        DWORD error = GetLastError();
        if (service_) CloseServiceHandle(service_);
        if (manager_) CloseServiceHandle(manager_);
        SetLastError(error);
    }
    DriverService(const DriverService&) = delete;
    DriverService& operator=(const DriverService&) = delete;

    bool Stop() {
        SERVICE_STATUS status = {};
        return service_ && ControlService(service_, SERVICE_CONTROL_STOP, &status);
    }
    bool Start() { return service_ && StartServiceA(service_, 0, nullptr); }

private:
    SC_HANDLE manager_;
    SC_HANDLE service_;
};

}  // namespace

bool SimRequest(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize, DWORD* bytesReturned) {
    HANDLE device = OpenDevice();
    if (device == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize, &returned, nullptr);
    DWORD error = GetLastError();
    CloseHandle(device);
    SetLastError(error);
    if (bytesReturned) *bytesReturned = returned;
    return ok != FALSE;
}

bool SimReset(uint32_t flags) {
    return SimRequest(IOCTL_SIM_RESET, &flags, sizeof flags, nullptr, 0);
}

bool SimResetWithBlock(const TouchSettingsBlock& block, uint32_t flags) {
    SimResetInput in = {flags | SIM_RESET_USE_BLOCK, block};
    return SimRequest(IOCTL_SIM_RESET, &in, sizeof in, nullptr, 0);
}

bool SimReport(int16_t x, int16_t y, bool touched, bool* becameRightClick) {
    SimReportInput in = {x, y, static_cast<uint8_t>(touched ? 1 : 0), {0, 0, 0}};
    SimReportOutput out = {};
    if (!SimRequest(IOCTL_SIM_REPORT, &in, sizeof in, &out, sizeof out)) return false;
    if (becameRightClick) *becameRightClick = out.becameRightClick != 0;
    return true;
}

bool SimGetState(SimState* state) {
    return SimRequest(IOCTL_SIM_GET_STATE, nullptr, 0, state, sizeof *state);
}

bool SimGetLog(SimLog* log) {
    return SimRequest(IOCTL_SIM_GET_LOG, nullptr, 0, log, sizeof *log);
}

bool SimGetLogTimes(SimLogTimes* times) {
    return SimRequest(IOCTL_SIM_GET_LOG_TIMES, nullptr, 0, times, sizeof *times);
}

std::vector<SimLogEntry> SimLogEntries() {
    SimLog log = {};
    if (!SimGetLog(&log) || log.count > SIM_LOG_CAPACITY) return {};
    return std::vector<SimLogEntry>(log.entries, log.entries + log.count);
}

bool SimDriverPresent() {
    HANDLE device = OpenDevice();
    if (device == INVALID_HANDLE_VALUE) return false;
    CloseHandle(device);
    return true;
}

bool SimStopDriver() {
    return DriverService().Stop() && WaitForDevice(false);
}

bool SimStartDriver() {
    return DriverService().Start() && WaitForDevice(true);
}
