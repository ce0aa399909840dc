// Calibration as a person does it at the screen, with the X pointer: the tour's and the bench's.
#ifndef TESTS_TOUR_TOUCHCALIBRATION_H
#define TESTS_TOUR_TOUCHCALIBRATION_H

#include <windows.h>

#include <functional>

#include "tests/uia/uia.h"

// Opens the calibration from the control panel's main window (of process pid) and, at each
// cross once it is drawn, runs atCross(corner 0..3), touches the cross's centre and holds the
// touch until the window says to lift off. Returns after the fourth lift, with the closing
// question on its way.
void CalibrateByTouch(uia::XPointer& pointer, HWND main, DWORD pid,
                      const std::function<void(int corner)>& atCross = [](int) {});

#endif
