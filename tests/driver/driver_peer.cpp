// A second process on the driver, started by the driver tests:
//   driver_peer get-feedback     exits with the driver's feedbackSound (255 when it cannot ask)
//   driver_peer set-feedback N   sends SET_FEEDBACK_SOUND with feedbackSound N; exits 0 on success
#include <cstdlib>
#include <cstring>

#include "tests/driver/qrsimclient.h"

namespace {

constexpr int kFailed = 255;

bool GetSettings(TouchSettingsBlock* block) {
    return SimRequest(IOCTL_TOUCH_GET_SETTINGS, block, sizeof *block, block, sizeof *block);
}

}  // namespace

int main(int argc, char** argv) {
    TouchSettingsBlock block = {};
    if (argc == 2 && std::strcmp(argv[1], "get-feedback") == 0)
        return GetSettings(&block) ? block.feedbackSound : kFailed;
    if (argc == 3 && std::strcmp(argv[1], "set-feedback") == 0) {
        if (!GetSettings(&block)) return kFailed;
        block.feedbackSound = static_cast<uint8_t>(std::atoi(argv[2]));
        return SimRequest(IOCTL_TOUCH_SET_FEEDBACK_SOUND, &block, sizeof block, &block, sizeof block) ? 0 : kFailed;
    }
    return kFailed;
}
