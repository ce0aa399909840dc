// The touch driver's simulation requests, for feeding touches and checking what reached it.
#include "tests/uia/uia.h"

#include "tests/uia/uia_internal.h"

namespace uia {

using detail::Fail;
using detail::FailWin32;

Driver::~Driver() {
    if (device_ != INVALID_HANDLE_VALUE) CloseHandle(device_);
}

bool Driver::TryOpen() {
    if (device_ != INVALID_HANDLE_VALUE) return true;
    device_ = CreateFileA(QR_DEVICE_USER_PATH, GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    return device_ != INVALID_HANDLE_VALUE;
}

void Driver::Open() {
    if (!TryOpen()) FailWin32(std::string("cannot open the driver ") + QR_DEVICE_USER_PATH);
}

bool Driver::Available() {
    Driver probe;
    return probe.TryOpen();
}

DWORD Driver::Request(uint32_t code, const void* in, DWORD inSize, void* out, DWORD outSize,
                      DWORD minimum, const char* what) {
    Open();
    DWORD returned = 0;
    if (!DeviceIoControl(device_, code, const_cast<void*>(in), inSize, out, outSize, &returned,
                         nullptr))
        FailWin32(std::string("driver request ") + what + " failed");
    if (returned < minimum)
        Fail(std::string("driver request ") + what + " returned " + std::to_string(returned) +
             " bytes, expected " + std::to_string(minimum));
    return returned;
}

void Driver::Reset(uint32_t flags, const TouchSettingsBlock* block) {
    if ((flags & SIM_RESET_USE_BLOCK) && !block)
        Fail("IOCTL_SIM_RESET with SIM_RESET_USE_BLOCK needs a block");
    SimResetInput in = {};
    in.flags = flags;
    if (block) in.block = *block;
    Request(IOCTL_SIM_RESET, &in, sizeof in, nullptr, 0, 0, "IOCTL_SIM_RESET");
}

bool Driver::Report(int16_t x, int16_t y, bool touched) {
    SimReportInput in = {};
    in.x = x;
    in.y = y;
    in.touched = touched ? 1 : 0;
    SimReportOutput out = {};
    Request(IOCTL_SIM_REPORT, &in, sizeof in, &out, sizeof out, sizeof out, "IOCTL_SIM_REPORT");
    return out.becameRightClick != 0;
}

SimState Driver::State() {
    SimState state = {};
    Request(IOCTL_SIM_GET_STATE, nullptr, 0, &state, sizeof state, sizeof state,
            "IOCTL_SIM_GET_STATE");
    return state;
}

SimLog Driver::Log() {
    SimLog log = {};
    // The driver may send only the entries it holds.
    const DWORD header = DWORD(offsetof(SimLog, entries));
    DWORD returned = Request(IOCTL_SIM_GET_LOG, nullptr, 0, &log, sizeof log, header,
                             "IOCTL_SIM_GET_LOG");
    if (log.count > SIM_LOG_CAPACITY || returned < header + log.count * sizeof(SimLogEntry))
        Fail("IOCTL_SIM_GET_LOG returned " + std::to_string(returned) + " bytes for " +
             std::to_string(log.count) + " entries");
    return log;
}

}  // namespace uia
