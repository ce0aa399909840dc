#include "controlpanel/frmCalibration.h"

#include "common/Numeric.h"
#include "common/TouchChannel.h"
#include "common/WindowHelpers.h"
#include "controlpanel/CalibrationEdges.h"

FrmCalibration frmCalibration;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

// Cross marks: a red frame with black cross lines; erased by drawing the same in white.
constexpr COLORREF kCrossFrame = kRed;
constexpr COLORREF kCrossLines = tk::kBlack;
constexpr COLORREF kCrossErased = tk::kWhite;
constexpr int16_t kCrossMargin = 16;  // pixels: half the size of a cross mark

constexpr COLORREF kNoContact = tk::kWhite;
constexpr COLORREF kContact = kYellow;

constexpr int kKeyEscape = 27;

// A touch is taken once its position has stayed put over this many further reports.
constexpr int16_t kStableReports = 2;

// What CollectPoint reports.
constexpr int kPointTaken = 0;
constexpr int kBrokenOff = 1;

const char* const kCornerNames[] = {"", "TOP-LEFT", "TOP-RIGHT", "DOWN-RIGHT", "DOWN-LEFT"};

constexpr char kQuestionTitle[] = "TouchScreen Calibration";
constexpr char kBreakQuestion[] = "Are you sure you want to break calibration?";
constexpr char kTestQuestion[] =
    "CALIBRATION IS COMPLETE.\r\r"
    "For test, touch on the screen and check cursor position.\r"
    "To save new calibration, click Yes button.\r"
    "To restore old calibration, click No button.";
constexpr char kTouchPrompt[] = "Please touch on the center of Cross Mark that";
constexpr char kLiftOffPrompt[] = "PLEASE LIFT OFF TO ";
constexpr char kSavedBlank[] = "    ";

bool Touched() { return (TouchSample.status & QR_STATUS_TOUCHED) != 0; }

// Between two reads of the driver while nothing happens. Each read crosses into the driver and
// back (under Wine, with the window events, about a millisecond of processor time in the
// program, wineserver and the driver's host together), so reading ten times a second keeps a
// waiting calibration near 1 % of a processor; a finger held on a cross for the two steady
// reports a point needs is still taken within a few tenths of a second. Input ends the pause
// at once, so ESC is not kept waiting.
constexpr DWORD kPollPauseMs = 100;

void ProcessEventsAndPause() {
    tk::DoEvents();
    tk::WaitForInput(kPollPauseMs);
}

}  // namespace

FrmCalibration::FrmCalibration() : tk::Form("frmCalibration") {
    Caption("Calibration").Border(tk::BorderStyle::None).State(tk::WindowState::Maximized);

    //                               control                        left  top   width height
    picCalibration = &PictureBox("picCalibration")                 .At(0, 0, 6615, 5055).PixelScale()
                                                                   .OnKeyPress([this](int& keyAscii) { picCalibration_KeyPress(keyAscii); });
    lblTitle = &Label("lblTitle").In(*picCalibration)              .At(840, 0, 4620, 480).Text("TouchScreen Calibration").WithFont("Times New Roman", 21.75, true).Fore(kRed).AutoSize();
    picHome = &PictureBox("picHome").In(*picCalibration)           .At(120, 720, 6135, 3255).PixelScale();
    picStat = &PictureBox("picStat").In(*picHome)                  .At(1560, 0, 2895, 975).Back(kNoContact).Bordered().PixelScale();
    lblResolution = &Label("lblResolution").In(*picStat)           .At(360, 360, 2145, 195).Text("Resolution:").WithFont("MS Sans Serif", 8.25, true).Fore(tk::kBlack).Opaque(false);
    picMesg = &PictureBox("picMesg").In(*picHome)                  .At(240, 1320, 5655, 975).Back(tk::kBlack).Bordered().PixelScale();
    lblMesg3 = &Label("lblMesg3").In(*picMesg)                     .At(195, 720, 5250, 240).Text("Please lift off from TouchScreen to start calibration").WithFont("MS Sans Serif", 9.75, true).Fore(kYellow).Opaque(false).Hidden();
    lblMesg1 = &Label("lblMesg1").In(*picMesg)                     .At(480, 240, 4680, 240).Text(kTouchPrompt).WithFont("MS Sans Serif", 9.75, true).Fore(kGreen).Opaque(false);
    lblMesg2 = &Label("lblMesg2").In(*picMesg)                     .At(480, 480, 4425, 240).Text("show on the TOP-LEFT coner of the screen").WithFont("MS Sans Serif", 9.75, true).Fore(kGreen).Opaque(false);
    lblHelp = &Label("lblHelp").In(*picHome)                       .At(1680, 2520, 2970, 195).Text("Press ESC key to break calibration").WithFont("MS Sans Serif", 8.25, true).Fore(kBlue).Opaque(false);
    // Where the accepted raw positions are kept, one pair per corner, never shown.
    const double saveLeft[kCornerCount + 1] = {0, 120, 5415, 5415, 120};
    const double saveTop[kCornerCount + 1] = {0, 120, 120, 2700, 2700};
    for (int i = 1; i <= kCornerCount; ++i) {
        lblSaveXX[i] = &Label("lblSaveXX", i).In(*picHome)         .At(saveLeft[i], saveTop[i], 600, 195).Text("????").WithFont("MS Sans Serif", 8.25, true).Hidden();
        lblSaveYY[i] = &Label("lblSaveYY", i).In(*picHome)         .At(saveLeft[i], saveTop[i] + 240, 600, 195).Text("????").WithFont("MS Sans Serif", 8.25, true).Hidden();
    }
}

void FrmCalibration::Form_Initialize() { TouchGetRbfWindow(); }

void FrmCalibration::Form_Load() {
    activatedSinceLoad = false;
    // The drawing area takes the system's window colour; the crosses are erased in white whatever it is.
    const COLORREF windowColour = GetSysColor(COLOR_WINDOW);
    picCalibration->SetBackColor(windowColour);
    picHome->SetBackColor(windowColour);
    lblTitle->SetBackColor(windowColour);
    lblResolution->SetCaption("Resolution: " + std::to_string(TouchSettings.screenWidth) + " X " +
                              std::to_string(TouchSettings.screenHeight));
    HideRightButtonTool();
}

void FrmCalibration::Form_Activate() {
    // Activation comes back whenever a message box closes; the run belongs to the first one.
    if (activatedSinceLoad) return;
    activatedSinceLoad = true;
    picCalibration->SetFocus();
    running = true;
    RunCalibration();
    running = false;
    Unload();
}

void FrmCalibration::Form_Resize() {
    tk::Control& calibration = *picCalibration;
    tk::Control& home = *picHome;
    tk::Control& title = *lblTitle;
    tk::Control& stat = *picStat;
    tk::Control& mesg = *picMesg;
    tk::Control& liftOff = *lblMesg3;

    calibration.Move(0, 0, ScaleWidth(), ScaleHeight());
    home.SetWidth(2 * mesg.Left() + mesg.Width());
    home.SetTop((calibration.ScaleHeight() - home.Height()) / 2);
    home.SetLeft((calibration.ScaleWidth() - home.Width()) / 2);
    title.SetTop(home.Top() - 1.5 * title.Height());
    title.SetLeft((calibration.ScaleWidth() - title.Width()) / 2);
    stat.SetLeft((home.Width() - stat.Width()) / 2);
    mesg.SetLeft((home.Width() - mesg.Width()) / 2);
    liftOff.SetTop((stat.Height() - liftOff.Height()) / 2);

    crossLeft = 0;
    crossTop = 0;
    crossRight = static_cast<int16_t>(RoundHalfEven(calibration.ScaleWidth() - 1));
    crossBottom = static_cast<int16_t>(RoundHalfEven(calibration.ScaleHeight() - 1));
    crossMarginX = kCrossMargin;
    crossMarginY = kCrossMargin;
}

void FrmCalibration::Form_Unload(int& cancel) {
    // Closing the window under the running sequence would pull the controls from under it; ESC
    // is the way out.
    if (running) {
        cancel = 1;
        return;
    }
    ShowRightButtonTool();
    ReturnToMainWindow();
    ShowMouseCursor();
}

void FrmCalibration::picCalibration_KeyPress(int& keyAscii) { ConfirmBreak(keyAscii); }

void FrmCalibration::RunCalibration() {
    const int16_t oldLeft = TouchSettings.calLeft;
    const int16_t oldRight = TouchSettings.calRight;
    const int16_t oldTop = TouchSettings.calTop;
    const int16_t oldBottom = TouchSettings.calBottom;
    HideMouseCursor();

    TouchGetRawSample();
    if (Touched()) {
        ShowLiftOffPrompt("START CALIBRATION!");
        SetContactIndicator(true);
        TouchSignalCalibration(QR_CAL_SIGNAL_TOUCHED_START);
        do {
            ProcessEventsAndPause();
            TouchGetRawSample();
        } while (Touched());
    }
    SetContactIndicator(false);
    breakRequested = false;

    for (int corner = 1; corner <= kCornerCount; ++corner) {
        if (CollectPoint(corner, kCornerNames[corner]) == kBrokenOff) {
            ShowMouseCursor();
            return;
        }
    }

    CalibrationPoint points[kCornerCount];
    for (int i = 1; i <= kCornerCount; ++i) {
        points[i - 1].x = ReadSavedCoordinate(lblSaveXX[i]->Caption());
        points[i - 1].y = ReadSavedCoordinate(lblSaveYY[i]->Caption());
    }
    const CalibrationEdges edges = ComputeCalibrationEdges(points, TouchSettings.screenWidth,
                                                           TouchSettings.screenHeight, crossMarginX, crossMarginY);
    ApplyCalibrationEdges(edges.left, edges.top, edges.right, edges.bottom);

    picCalibration->SetVisible(false);
    ShowMouseCursor();
    TouchSignalCalibration(QR_CAL_SIGNAL_DONE_OR_ESC);

    // The driver maps touches with the new edges while the question is open, so the user tries
    // them with the real cursor before answering.
    if (AskYesNo(kTestQuestion, 0, kQuestionTitle) == IDNO) {
        tk::SetScreenMousePointer(tk::vbHourglass);
        ApplyCalibrationEdges(oldLeft, oldTop, oldRight, oldBottom);
        tk::SetScreenMousePointer(tk::vbDefault);
    }
    ShowMouseCursor();
}

int FrmCalibration::CollectPoint(int corner, const std::string& cornerName) {
    tk::Control& savedX = *lblSaveXX[corner];
    tk::Control& savedY = *lblSaveYY[corner];
    currentPoint = static_cast<int16_t>(corner);
    savedX.SetCaption(kSavedBlank);
    savedY.SetCaption(kSavedBlank);
    DrawCrossMark(corner, true);
    ShowTouchPrompt(cornerName);
    tk::DoEvents();

    int16_t lastX = 0;
    int16_t lastY = 0;
    int16_t lastSequence = 0;
    bool touched = false;
    SetContactIndicator(false);
    stableCountdown = kStableReports;

    for (;;) {
        TouchGetRawSample();
        const TouchRawSample sample = TouchSample;

        if (!Touched()) {
            lastSequence = sample.sequence;
            ProcessEventsAndPause();
            if (breakRequested) return BreakOff();
            // A finger that left before its point was taken starts the corner over.
            if (touched) SetContactIndicator(false);
            stableCountdown = kStableReports;
            lastX = 0;
            lastY = 0;
            touched = false;
            continue;
        }

        if (!touched) {
            touched = true;
            SetContactIndicator(true);
            tk::DoEvents();
        }

        if (sample.x != lastX || sample.y != lastY) {
            lastX = sample.x;
            lastY = sample.y;
            stableCountdown = kStableReports;
            continue;
        }

        if (sample.sequence != lastSequence) {
            lastSequence = sample.sequence;
            --stableCountdown;
        } else {
            // The same report read again: the next one may be a while in coming, and the window
            // has to stay responsive for ESC meanwhile.
            ProcessEventsAndPause();
        }
        if (stableCountdown >= 1) continue;

        savedX.SetCaption(std::to_string(sample.x));
        savedY.SetCaption(std::to_string(sample.y));
        TouchSignalCalibration(QR_CAL_SIGNAL_POINT_TAKEN);
        DrawCrossMark(corner, false);
        ShowLiftOffPrompt("NEXT STEP!");
        for (;;) {
            TouchGetRawSample();
            if (!Touched()) break;
            ProcessEventsAndPause();
            if (breakRequested) return BreakOff();
        }
        SetContactIndicator(false);
        return kPointTaken;
    }
}

// The cross and the prompts stay as they are until the window closes.
int FrmCalibration::BreakOff() {
    TouchSignalCalibration(QR_CAL_SIGNAL_BROKEN_OFF);
    return kBrokenOff;
}

void FrmCalibration::DrawCrossMark(int corner, bool show) {
    if (corner < 1 || corner > kCornerCount) return;
    const int l = crossLeft, t = crossTop, r = crossRight, b = crossBottom;
    const int mx = crossMarginX, my = crossMarginY;
    const bool leftSide = corner == 1 || corner == 4;
    const bool topSide = corner == 1 || corner == 2;
    // The right and bottom crosses are one pixel wider than the left and top ones, so their
    // centres sit MX + 1 / MY + 1 pixels in from the last pixel.
    const int x1 = leftSide ? l : r - 2 * mx - 1;
    const int xc = leftSide ? l + mx - 1 : r - mx - 1;
    const int x2 = leftSide ? l + 2 * mx - 1 : r;
    const int y1 = topSide ? t : b - 2 * my - 1;
    const int yc = topSide ? t + my - 1 : b - my - 1;
    const int y2 = topSide ? t + 2 * my - 1 : b;

    const COLORREF frame = show ? kCrossFrame : kCrossErased;
    const COLORREF lines = show ? kCrossLines : kCrossErased;
    tk::Control& calibration = *picCalibration;
    calibration.Box(x1, y1, x2, y2, frame);
    calibration.Line(x1, yc, x2, yc, lines);
    calibration.Line(xc, y1, xc, y2, lines);
    crossShown = show;
}

void FrmCalibration::ShowTouchPrompt(const std::string& cornerName) {
    tk::Control& first = *lblMesg1;
    tk::Control& second = *lblMesg2;
    lblMesg3->SetVisible(false);
    first.SetCaption(kTouchPrompt);
    second.SetCaption("show on the " + cornerName + " of the screen");
    second.SetLeft(first.Left());
    first.SetVisible(true);
    second.SetVisible(true);
}

void FrmCalibration::ShowLiftOffPrompt(const std::string& text) {
    lblMesg1->SetVisible(false);
    lblMesg2->SetVisible(false);
    tk::Control& liftOff = *lblMesg3;
    liftOff.SetCaption(kLiftOffPrompt + text);
    liftOff.SetVisible(true);
}

void FrmCalibration::SetContactIndicator(bool contact) {
    picStat->SetBackColor(contact ? kContact : kNoContact);
}

void FrmCalibration::ApplyCalibrationEdges(int16_t left, int16_t top, int16_t right, int16_t bottom) {
    TouchSettings.calLeft = left;
    TouchSettings.calTop = top;
    TouchSettings.calRight = right;
    TouchSettings.calBottom = bottom;
    TouchSetCalibration();
}

void FrmCalibration::ConfirmBreak(int keyAscii) {
    // The question's own message loop can hand over another queued ESC: one question at a time.
    if (keyAscii != kKeyEscape || breakQuestionOpen) return;
    breakQuestionOpen = true;
    tk::Control& mesg = *picMesg;
    tk::Control& help = *lblHelp;
    // Between corners (while waiting for lift-off) no cross is up, and none must appear.
    const bool crossWasShown = crossShown;

    TouchSignalCalibration(QR_CAL_SIGNAL_DONE_OR_ESC);
    if (crossWasShown) DrawCrossMark(currentPoint, false);
    mesg.SetVisible(false);
    help.SetVisible(false);
    ShowMouseCursor();

    breakRequested = AskYesNo(kBreakQuestion, MB_DEFBUTTON2, kQuestionTitle) == IDYES;

    HideMouseCursor();
    help.SetVisible(true);
    mesg.SetVisible(true);
    if (crossWasShown) DrawCrossMark(currentPoint, true);
    breakQuestionOpen = false;
}
