// From the raw positions of the four calibration crosses to the raw coordinates of the
// four screen edges. Pure arithmetic, kept apart from the window so it can be checked alone.
#ifndef CONTROLPANEL_CALIBRATIONEDGES_H
#define CONTROLPANEL_CALIBRATIONEDGES_H

#include <cstdint>
#include <string>

// Raw position of one accepted cross.
struct CalibrationPoint {
    int16_t x;
    int16_t y;
};

// The four values the driver maps touches with: raw X at the left and right edge, raw Y at
// the top and bottom edge.
struct CalibrationEdges {
    int16_t left;
    int16_t top;
    int16_t right;
    int16_t bottom;
};

// Highest raw coordinate the controller reports.
constexpr int16_t kRawCoordinateMax = 1023;

// corners[0..3] are TOP-LEFT, TOP-RIGHT, DOWN-RIGHT, DOWN-LEFT as seen on the screen. The
// crosses' centres sit marginX / marginY pixels inside the screen, so the averaged raw
// positions are pushed outward by the raw length of that margin. On a portrait screen
// (taller than wide) the panel lies turned: its raw X runs down the screen and its raw Y
// from right to left. Only left and top are kept from going below 0 and only right and
// bottom from going above kRawCoordinateMax.
CalibrationEdges ComputeCalibrationEdges(const CalibrationPoint (&corners)[4], int screenWidth, int screenHeight,
                                         int marginX, int marginY);

// A coordinate kept as label text: the number the text starts with (blanks skipped), 0 when
// there is none, cut to 16 bits.
int16_t ReadSavedCoordinate(const std::string& text);

#endif
