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

bool SetDoubleClickSize() {
    HKEY key = nullptr;
    if (!CreateKey(HKEY_CURRENT_USER, kMouseKeyPath, kMouseSubKey, key)) return false;
    // Both values are tried even when the first one fails.
    const bool widthWritten = SetString(key, kDoubleClickWidthValue, kDoubleClickSize);
    const bool heightWritten = SetString(key, kDoubleClickHeightValue, kDoubleClickSize);
    CloseKey(key);
    return widthWritten && heightWritten;
}

void WriteScreenSizeToDriver(int screenWidth, int screenHeight) {
    TouchGetSettings();
    TouchSettings.screenWidth = ToInt16(screenWidth);
    TouchSettings.screenHeight = ToInt16(screenHeight);
    TouchSetScreenSize();
}

bool StartRightButtonToolIfNeeded() {
    if (TouchSettings.rightButtonFunction != kRightButtonFunctionOn) return true;
    if (RunningRightButtonTool() != nullptr) return true;
    return StartRightButtonTool();
}

void PauseAboutOneSecond() { PauseAboutOneSecond(tk::Timer, tk::DoEvents, tk::WaitForInput); }

void Main() {
    frmMain.Show();

    if (!SetDoubleClickSize()) ShowErrorBox("Fail to setup Double Clock Size!", kStartupTitle);

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

    // Without the driver there is nothing to wait for: the splash goes at once.
    if (OpenTouchDriver()) {
        WriteScreenSizeToDriver(screenWidth, screenHeight);
        if (!StartRightButtonToolIfNeeded()) ShowErrorBox("Fail to initialize Right Button Function!", kStartupTitle);
        CloseTouchDriver();
        PauseAboutOneSecond();
    } else {
        ShowErrorBox(std::string("Fail to open TouchScreen Driver! (") + kDriverFileName + ")", kStartupTitle);
    }

    frmMain.Unload();
    tk::End();
}
