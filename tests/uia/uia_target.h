// The design of the program that the automation library's own tests drive: shared by
// the program and the tests, so that both read positions, colours and boxes from one table.
//
// The program records what it receives in the text of lblLog, entries joined by ";":
//   "cmdOk_Click", "optChoice(2)_Click", "chkFlag_Click 1", "hscLevel_Scroll 40",
//   "hscLevel_Change 40", "cmdBox(3) answered 6",
//   "down L 20,15 shift ctrl alt" (button L/R/M, client point, modifiers seen),
//   "up L 60,40 moves=5" (moves to a new point while the button was held),
//   "key 27", "char 27", "keyup 27" (modifier keys themselves are not recorded),
//   "keymenu" (the form was asked to enter menu mode).
// A test clears the log with WM_SETTEXT "".
#ifndef TESTS_UIA_UIA_TARGET_H
#define TESTS_UIA_UIA_TARGET_H

#include <windows.h>

namespace target {

// Leading blank on purpose: several programs of the suite have one.
constexpr char kCaption[] = " Automation Target #1";
constexpr char kFormName[] = "frmTarget";
constexpr char kExeName[] = "uia_target.exe";
constexpr int kExitCode = 7;

constexpr COLORREF kFormBack = RGB(0, 96, 160);
constexpr COLORREF kLogFore = RGB(192, 0, 0);
constexpr COLORREF kLogBack = RGB(255, 255, 0);
constexpr COLORREF kPadBack = RGB(255, 255, 255);
constexpr COLORREF kFrameBack = RGB(212, 208, 200);
constexpr COLORREF kSelected = RGB(0, 0, 0);
constexpr COLORREF kUnselected = RGB(0, 128, 128);
constexpr int kClientWidth = 480;
constexpr int kClientHeight = 300;
constexpr int kPictureDrawWidth = 3;

// Scroll bar range and steps.
constexpr int kLevelMin = 0;
constexpr int kLevelMax = 100;
constexpr int kLevelStart = 25;
constexpr int kLevelSmall = 1;
constexpr int kLevelLarge = 10;

struct Placement {
    const char* name;
    int x, y, width, height;  // pixels, in the parent's client area
};

// Layout, as the tests expect it. The option buttons and the check box sit in
// picInner, which sits in fraGroup, which sits on the form.
constexpr Placement kOk = {"cmdOk", 10, 10, 80, 25};
constexpr Placement kDisabled = {"cmdDisabled", 100, 10, 80, 25};
constexpr Placement kHidden = {"cmdHidden", 190, 10, 80, 25};
constexpr Placement kBusy = {"cmdBusy", 280, 10, 80, 25};
constexpr Placement kGroup = {"fraGroup", 10, 85, 220, 110};
constexpr Placement kInner = {"picInner", 10, 20, 200, 80};
constexpr Placement kChoice1 = {"optChoice(1)", 5, 5, 90, 20};
constexpr Placement kChoice2 = {"optChoice(2)", 5, 35, 90, 20};
constexpr Placement kFlag = {"chkFlag", 105, 5, 90, 20};
constexpr Placement kLevel = {"hscLevel", 240, 85, 230, 18};
constexpr Placement kPad = {"picDraw", 240, 110, 230, 85};
constexpr Placement kLog = {"lblLog", 10, 205, 460, 60};
// A point of the form's own ground, clear of every control.
constexpr POINT kFormGroundPoint = {470, 290};

constexpr int kBoxCount = 5;
constexpr int kBoxTop = 50;
constexpr int kBoxLeft = 10;
constexpr int kBoxWidth = 85;
constexpr int kBoxGap = 5;
constexpr int kBoxHeight = 25;

enum class Icon { None, Stop, Question, Exclamation, Information };

// Message boxes opened by cmdBox(1) .. cmdBox(5).
struct Box {
    const char* caption;
    const char* text;
    UINT style;
    Icon icon;
    bool systemModal;
    int buttons[3];  // ids, 0 = unused
    int answer;      // the button a test presses
};
constexpr Box kBoxes[kBoxCount] = {
    {" Plain box", "Nothing to say.", MB_OK, Icon::None, false, {IDOK, 0, 0}, IDOK},
    {"Stop box", "Fail to load data from Register File!", MB_OK | MB_ICONSTOP | MB_SYSTEMMODAL,
     Icon::Stop, true, {IDOK, 0, 0}, IDOK},
    {"Question box", "Go on?", MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL, Icon::Question, true,
     {IDYES, IDNO, 0}, IDNO},
    {"Exclamation box", "Look out.", MB_OKCANCEL | MB_ICONEXCLAMATION | MB_SYSTEMMODAL,
     Icon::Exclamation, true, {IDOK, IDCANCEL, 0}, IDCANCEL},
    {"Information box", "For your information.",
     MB_YESNOCANCEL | MB_ICONINFORMATION | MB_SYSTEMMODAL, Icon::Information, true,
     {IDYES, IDNO, IDCANCEL}, IDYES},
};

}  // namespace target

#endif
