// The touch driver's simulation requests, for feeding touches and checking what reached it:
// the simulation client does the requests, this turns its failures into errors that say which
// request failed and why.
#include "tests/uia/uia.h"

#include "common/SuiteNames.h"
#include "tests/driver/qrsimclient.h"
#include "tests/uia/uia_internal.h"

namespace uia {

using detail::Fail;
using detail::FailWin32;

namespace {

void Check(bool ok, const char* what) {
    if (!ok) FailWin32(std::string("driver request ") + what + " failed");
}

}  // namespace

bool Driver::Available() { return SimDriverPresent(); }

void Driver::Open() {
    if (!Available()) FailWin32(std::string("cannot open the driver ") + QR_DEVICE_USER_PATH);
}

void Driver::Reset(uint32_t flags, const TouchSettingsBlock* block) {
    if (flags & SIM_RESET_USE_BLOCK) {
        if (!block) Fail("IOCTL_SIM_RESET with SIM_RESET_USE_BLOCK needs a block");
        Check(SimResetWithBlock(*block, flags), "IOCTL_SIM_RESET");
    } else {
        Check(SimReset(flags), "IOCTL_SIM_RESET");
    }
}

bool Driver::Report(int16_t x, int16_t y, bool touched) {
    bool becameRightClick = false;
    Check(SimReport(x, y, touched, &becameRightClick), "IOCTL_SIM_REPORT");
    return becameRightClick;
}

SimState Driver::State() {
    SimState state = {};
    Check(SimGetState(&state), "IOCTL_SIM_GET_STATE");
    return state;
}

SimLog Driver::Log() {
    SimLog log = {};
    Check(SimGetLog(&log), "IOCTL_SIM_GET_LOG");
    if (log.count > SIM_LOG_CAPACITY)
        Fail("IOCTL_SIM_GET_LOG holds " + std::to_string(log.count) + " entries");
    return log;
}

void Driver::RegisterTool(HWND window, bool armed) {
    RbfWindowRecord record = {WindowField(window), int16_t(armed ? 1 : 0), {}};
    Check(SimRequest(IOCTL_TOUCH_SET_RBF_WINDOW, &record, sizeof record, &record, sizeof record),
          "IOCTL_TOUCH_SET_RBF_WINDOW");
}

Process StartRegisteredTool(Driver& driver, HWND& window) {
    Process tool = Process::Start(InstallFile(kRightButtonToolFile));
    window = WaitForForm("frmMain", kDefaultTimeout, tool.Pid());
    Require([&] { return driver.State().rbf.hwnd == WindowField(window) && Visible(window); },
            "the right-button tool's registration");
    return tool;
}

}  // namespace uia
