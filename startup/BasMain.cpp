#include "startup/BasMain.h"

#include <windows.h>

#include <string>

#include "common/Numeric.h"
#include "common/SuiteNames.h"
#include "common/TouchChannel.h"
#include "common/WindowHelpers.h"
#include "common/basRegistry.h"
#include "startup/Pause.h"
#include "startup/frmMain.h"
#include "toolkit/tk.h"

namespace {

constexpr char kMouseKeyPath[] = "Control Panel";
constexpr char kMouseSubKey[] = "Mouse";
constexpr char kDoubleClickWidthValue[] = "DoubleClickWidth";
constexpr char kDoubleClickHeightValue[] = "DoubleClickHeight";
constexpr char kDoubleClickSize[] = "32";

constexpr uint8_t kRightButtonFunctionOn = 1;

}  // namespace

Outcome SetDoubleClickSize() {
    HKEY key = nullptr;
    Outcome written = CreateKey(HKEY_CURRENT_USER, kMouseKeyPath, kMouseSubKey, key);
    if (!written) return written;
    // Both values are tried even when the first one fails.
    written &= SetString(key, kDoubleClickWidthValue, kDoubleClickSize);
    written &= SetString(key, kDoubleClickHeightValue, kDoubleClickSize);
    CloseKey(key);
    return written;
}

void WriteScreenSizeToDriver(int screenWidth, int screenHeight) {
    TouchGetSettings();
    TouchSettings.screenWidth = ToInt16(screenWidth);
    TouchSettings.screenHeight = ToInt16(screenHeight);
    TouchSetScreenSize();
}

Outcome StartRightButtonToolIfNeeded() {
    if (TouchSettings.rightButtonFunction != kRightButtonFunctionOn) return Outcome();
    if (RunningRightButtonTool() != nullptr) return Outcome();
    return StartRightButtonTool();
}

void Main() {
    frmMain.Show();

    if (const Outcome set = SetDoubleClickSize(); !set)
        ShowErrorBox("Fail to setup Double Clock Size!", kStartupTitle, FailureBox::Stop, set.Error());

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

    // Without the driver there is nothing to wait for: the splash goes at once.
    if (const Outcome opened = OpenTouchDriver(); opened) {
        WriteScreenSizeToDriver(screenWidth, screenHeight);
        if (const Outcome started = StartRightButtonToolIfNeeded(); !started)
            ShowErrorBox("Fail to initialize Right Button Function!", kStartupTitle, FailureBox::Stop, started.Error());
        CloseTouchDriver();
        PauseAboutOneSecond();
    } else {
        ShowErrorBox(std::string("Fail to open TouchScreen Driver! (") + kDriverFileName + ")", kStartupTitle,
                     FailureBox::Stop, opened.Error());
    }

    frmMain.Unload();
    tk::End();
}
