// Four-point calibration: a full-screen window that shows a cross in each corner in turn,
// takes the raw position of a steady touch on each, sends the screen edges derived from them
// to the driver and lets the user try them before keeping or restoring the old ones.
#ifndef CONTROLPANEL_FRMCALIBRATION_H
#define CONTROLPANEL_FRMCALIBRATION_H

#include <array>
#include <cstdint>
#include <string>

#include "toolkit/tk.h"

class FrmCalibration : public tk::Form {
public:
    FrmCalibration();

    void Form_Initialize() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload(int& cancel) override;

private:
    static constexpr int kCornerCount = 4;

    void picCalibration_KeyPress(int& keyAscii);

    void RunCalibration();
    int CollectPoint(int corner, const std::string& cornerName);
    int BreakOff();
    void DrawCrossMark(int corner, bool show);
    void ShowTouchPrompt(const std::string& cornerName);
    void ShowLiftOffPrompt(const std::string& text);
    void SetContactIndicator(bool contact);
    void ApplyCalibrationEdges(int16_t left, int16_t top, int16_t right, int16_t bottom);
    void ConfirmBreak(int keyAscii);

    // Run state. currentPoint outlives a run: it names the corner whose cross the break
    // question erases and redraws.
    bool breakRequested = false;
    int16_t currentPoint = 0;
    int16_t stableCountdown = 0;
    int16_t crossLeft = 0;
    int16_t crossTop = 0;
    int16_t crossRight = 0;
    int16_t crossBottom = 0;
    int16_t crossMarginX = 0;
    int16_t crossMarginY = 0;

    // A cross is on the screen: only then does the break question take it away and put it back.
    bool crossShown = false;
    bool breakQuestionOpen = false;
    // The sequence runs once per opening, and the window stays until it is over.
    bool activatedSinceLoad = false;
    bool running = false;

    tk::Control* picCalibration = nullptr;
    tk::Control* lblTitle = nullptr;
    tk::Control* picHome = nullptr;
    tk::Control* picStat = nullptr;
    tk::Control* lblResolution = nullptr;
    tk::Control* picMesg = nullptr;
    tk::Control* lblMesg3 = nullptr;
    tk::Control* lblMesg1 = nullptr;
    tk::Control* lblMesg2 = nullptr;
    tk::Control* lblHelp = nullptr;
    // The accepted raw position of each of the four corners, indexed by the corner from 1; entry 0
    // stays empty.
    std::array<tk::Control*, kCornerCount + 1> lblSaveXX{};
    std::array<tk::Control*, kCornerCount + 1> lblSaveYY{};
};

extern FrmCalibration frmCalibration;

#endif
