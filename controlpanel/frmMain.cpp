#include "controlpanel/frmMain.h"

#include "common/StartChecks.h"
#include "common/SuiteNames.h"
#include "common/TouchChannel.h"
#include "common/WindowHelpers.h"
#include "common/basOEM.h"
#include "common/frmAbout.h"
#include "controlpanel/Summaries.h"
#include "controlpanel/frmCalibration.h"
#include "controlpanel/frmFeedbackSound.h"
#include "controlpanel/frmMouseSpeed.h"
#include "controlpanel/frmSupport.h"
#include "controlpanel/frmTest.h"
#include "controlpanel/frmVirtualButton.h"
#include "resources/resource.h"

FrmMain frmMain;

namespace {

// Right button with Shift and Alt held on Exit opens the drawing test.
constexpr int kTestGestureButton = tk::vbRightButton;
constexpr int kTestGestureShift = tk::vbShiftMask | tk::vbAltMask;

}  // namespace

FrmMain::FrmMain() : tk::Form("frmMain") {
    Caption("TouchScreen Control Panel").ClientSize(6645, 5715).Border(tk::BorderStyle::FixedDialog).Icon(IDI_PROGRAM);

    //                        title top  width  version width  sized to text
    header = DesignVendorHeader(*this, {480, 3570, 3105, true}, "TouchScreen Control Panel Version ");
    header.icon->OnDblClick([this] { imgIcon_DblClick(); });

    //                    control                                    left  top   width height

    cmdSerialPort = &CommandButton("cmdSerialPort")             .At(480, 1500, 1695, 435).Text("&Serial Port");
    Shape("shpSerialPort")                                      .At(2280, 1500, 3855, 435);
    lblSerialPort = &Label("lblSerialPort")                     .At(2400, 1620, 3615, 195).Text("COM?, Port=????h, IRQ=??, ????? BPS");

    cmdVirtualButton = &CommandButton("cmdVirtualButton")       .At(480, 2100, 1695, 435).Text("&Virtual Button")
                                                                .OnClick([this] { cmdVirtualButton_Click(); });
    Shape("shpVirtualButton")                                   .At(2280, 2100, 3855, 435);
    lblVirtualButton = &Label("lblVirtualButton")               .At(2400, 2220, 3615, 195).Text("Drag Drop Mode");

    cmdFeedbackSound = &CommandButton("cmdFeedbackSound")       .At(480, 2700, 1695, 435).Text("&Feedback Sound")
                                                                .OnClick([this] { cmdFeedbackSound_Click(); });
    Shape("shpFeedbackSound")                                   .At(2280, 2700, 3855, 435);
    lblFeedbackSound = &Label("lblFeedbackSound")               .At(2400, 2820, 3615, 195).Text("Silence");

    cmdMouseSpeed = &CommandButton("cmdMouseSpeed")             .At(480, 3300, 1695, 435).Text("&Mouse Speed")
                                                                .OnClick([this] { cmdMouseSpeed_Click(); });
    Shape("shpMouseSpeed")                                      .At(2280, 3300, 3855, 435);
    lblMouseSpeed = &Label("lblMouseSpeed")                     .At(2400, 3420, 3615, 195).Text("HS=50%, VS=50%, Acceleration=Slow");

    cmdSleepTime = &CommandButton("cmdSleepTime")               .At(480, 3900, 1695, 435).Text("&Power Save");
    shpSleepTime = &Shape("shpSleepTime")                       .At(2280, 3900, 3855, 435);
    lblSleepTime = &Label("lblSleepTime")                       .At(2400, 4020, 3615, 195).Text("Disable Power Down Function");

    cmdCalibration = &CommandButton("cmdCalibration")           .At(480, 4500, 1695, 435).Text("&Calibration")
                                                                .OnClick([this] { cmdCalibration_Click(); });
    cmdSupport = &CommandButton("cmdSupport")                   .At(2280, 4500, 1875, 435).Text("S&upport")
                                                                .OnClick([this] { cmdSupport_Click(); });
    cmdExit = &CommandButton("cmdExit")                         .At(4260, 4500, 1875, 435).Text("E&xit").Default()
                                                                .OnClick([this] { cmdExit_Click(); })
                                                                .OnMouseDown([this](int button, int shift, double, double) { cmdExit_MouseDown(button, shift); });

    shpDetection = &Shape("shpDetection")                       .At(480, 4980, 1695, 435).Hidden();
    lblDetection = &Label("lblDetection")                       .At(960, 5100, 735, 195).Text("Detection").Hidden();

    TabOrder({cmdExit, cmdSerialPort, cmdVirtualButton, cmdFeedbackSound, cmdMouseSpeed, cmdSleepTime, cmdCalibration,
              cmdSupport});
}

void FrmMain::Form_Load() {
    SetMainWindow(*this, header);
    SetCaption(kControlPanelTitle);
    header.system->SetCaption(header.system->Caption() + kVersionLabel);

    EndIfAnotherCopyRuns(*this);

    LayoutForPs2Port();

    LoadInstallationRecordOrEnd(*this);

    header.oemTitle->SetCaption(VenderName);
    SetUpVendorFiles();

    SetMousePointer(tk::vbHourglass);
    FillNameTables();
    OpenTouchDriverOrEnd();
    TouchGetSettings();

    lblSerialPort->SetCaption("TouchScreen or Mouse found on PS/2 port");
    ShowSummaries();

    CenterForm(*this);
    CenterIcon(header);
    SetMousePointer(tk::vbDefault);
}

void FrmMain::Form_Unload(int&) { CloseTouchDriver(); }

void FrmMain::LayoutForPs2Port() {
    tk::Control& detection = *shpDetection;
    tk::Control& detectionLabel = *lblDetection;
    tk::Control& serialPort = *cmdSerialPort;
    // The detection box takes the place of the serial-port button; its label moves with it.
    detectionLabel.SetLeft(detectionLabel.Left() - (detection.Left() - serialPort.Left()));
    detectionLabel.SetTop(detectionLabel.Top() - (detection.Top() - serialPort.Top()));
    detectionLabel.SetVisible(true);
    detection.SetLeft(serialPort.Left());
    detection.SetTop(serialPort.Top());
    detection.SetVisible(true);

    serialPort.SetEnabled(false);
    serialPort.SetVisible(false);
    tk::Control& sleepTime = *cmdSleepTime;
    sleepTime.SetEnabled(false);
    sleepTime.SetVisible(false);
    shpSleepTime->SetVisible(false);
    lblSleepTime->SetEnabled(false);
    lblSleepTime->SetVisible(false);

    // The power-save row goes: the bottom row of buttons moves up into its place.
    const double rowTop = sleepTime.Top();
    SetHeight(Height() - (cmdCalibration->Top() - rowTop));
    for (tk::Control* button : {cmdCalibration, cmdSupport, cmdExit}) button->SetTop(rowTop);
}

void FrmMain::SetUpVendorFiles() {
    tk::Control& support = *cmdSupport;
    if (FileExists(InstallPath + kVendorCutFile)) {
        support.SetCaption("");
        support.SetEnabled(false);
        return;
    }
    vendorBitmapPath = InstallPath + kVendorBitmapFile;
    if (!FileExists(vendorBitmapPath)) support.SetCaption("&About");
}

void FrmMain::ShowSummaries() {
    const TouchSettingsBlock& s = TouchSettings;
    lblVirtualButton->SetCaption(ButtonModeSummary(s.buttonMode, s.rightButtonFunction));
    lblFeedbackSound->SetCaption(FeedbackSoundText(s.feedbackSound));
    lblMouseSpeed->SetCaption(MouseSpeedText(s.hSpeed, s.vSpeed, s.acceleration, s.bypassMode));
}

void FrmMain::OpenWindow(tk::Form& target, bool showTargetFirst) {
    SetMousePointer(tk::vbHourglass);
    if (showTargetFirst) {
        target.Show();
        Hide();
    } else {
        Hide();
        target.Show();
    }
    SetMousePointer(tk::vbDefault);
}

void FrmMain::cmdExit_Click() { Unload(); }

void FrmMain::cmdExit_MouseDown(int button, int shift) {
    if (button == kTestGestureButton && shift == kTestGestureShift) OpenWindow(frmTest, true);
}

void FrmMain::cmdVirtualButton_Click() { OpenWindow(frmVirtualButton, true); }

void FrmMain::cmdFeedbackSound_Click() { OpenWindow(frmFeedbackSound, true); }

void FrmMain::cmdMouseSpeed_Click() { OpenWindow(frmMouseSpeed, true); }

void FrmMain::cmdCalibration_Click() { OpenWindow(frmCalibration, false); }

void FrmMain::cmdSupport_Click() {
    if (FileExists(vendorBitmapPath)) {
        OpenWindow(frmSupport, false);
    } else {
        OpenWindow(frmAbout, false);
    }
}

void FrmMain::imgIcon_DblClick() { OpenWindow(frmAbout, false); }
