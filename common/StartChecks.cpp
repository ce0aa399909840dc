#include "common/StartChecks.h"

#include <windows.h>

#include "common/SuiteNames.h"
#include "common/TouchChannel.h"
#include "common/WindowHelpers.h"
#include "common/basOEM.h"

void EndIfAnotherCopyRuns(tk::Form& form) {
    if (!tk::PrevInstance()) return;
    HWND running = FindRunningInstance(form.hWnd(), form.GetCaption());
    if (running != nullptr) {
        SetForegroundWindow(running);
        BringWindowToTop(running);
    } else {
        ShowErrorBox("Application is running!\r\rPlease find and select the running window from Taskbar.",
                     form.GetCaption());
    }
    tk::End();
}

void LoadInstallationRecordOrEnd(tk::Form& form) {
    form.SetMousePointer(tk::vbHourglass);
    const Outcome recordLoaded = LoadInstallationRecord();
    form.SetMousePointer(tk::vbDefault);
    if (!recordLoaded) {
        ShowErrorBox("Fail to load data from Register File!", form.GetCaption(), FailureBox::Stop, recordLoaded.Error());
        tk::End();
    }
}

void OpenTouchDriverOrEnd() {
    const Outcome opened = OpenTouchDriver();
    if (opened) return;
    ShowErrorBox(std::string("Fail to open ") + kDriverFileName + "!", kDriverOpenFailureTitle, FailureBox::Stop,
                 opened.Error());
    tk::End();
}
