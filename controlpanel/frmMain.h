// The control panel's main window: one summary line a setting, one button a task.
#ifndef CONTROLPANEL_FRMMAIN_H
#define CONTROLPANEL_FRMMAIN_H

#include <string>

#include "common/WindowHelpers.h"
#include "toolkit/tk.h"

class FrmMain : public tk::Form {
public:
    FrmMain();

    // InstallPath + "\QRVender.Bmp" unless the vendor disabled the Support button; empty until Load.
    std::string vendorBitmapPath;

    // The summary lines of the settings, which a setting dialog rewrites when it applies.
    tk::Control* lblVirtualButton;
    tk::Control* lblFeedbackSound;
    tk::Control* lblMouseSpeed;

    // Shows a window of the control panel in place of the main window. Setting dialogs and the test
    // window are shown before the main window hides; calibration, support and about after.
    void OpenWindow(tk::Form& target, bool showTargetFirst);

    // Rewrites the three summaries from the settings block.
    void ShowSummaries();

    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    void LayoutForPs2Port();
    void SetUpVendorFiles();

    void cmdExit_Click();
    void cmdExit_MouseDown(int button, int shift);
    void cmdVirtualButton_Click();
    void cmdFeedbackSound_Click();
    void cmdMouseSpeed_Click();
    void cmdCalibration_Click();
    void cmdSupport_Click();
    void imgIcon_DblClick();

    VendorHeader header;
    tk::Control* cmdSerialPort;
    tk::Control* lblSerialPort;
    tk::Control* cmdVirtualButton;
    tk::Control* cmdFeedbackSound;
    tk::Control* cmdMouseSpeed;
    tk::Control* cmdSleepTime;
    tk::Control* shpSleepTime;
    tk::Control* lblSleepTime;
    tk::Control* cmdCalibration;
    tk::Control* cmdSupport;
    tk::Control* cmdExit;
    tk::Control* shpDetection;
    tk::Control* lblDetection;
};

extern FrmMain frmMain;

#endif
