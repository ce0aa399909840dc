// The drawing test: freehand drawing with the touch on a full-screen white area, pen colours and
// widths, and indicators of the held mouse buttons. The driver is held in drag-drop mode meanwhile.
#ifndef CONTROLPANEL_FRMTEST_H
#define CONTROLPANEL_FRMTEST_H

#include <array>
#include <cstdint>

#include "toolkit/tk.h"

class FrmTest : public tk::Form {
public:
    FrmTest();
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;

private:
    static constexpr int kWidthCount = 4;
    static constexpr int kSwatchCount = 5;
    static constexpr int kIndicatorCount = 3;

    void picHome_MouseDown(int button, double x, double y);
    void picHome_MouseMove(double x, double y);
    void picHome_MouseUp(int button);
    void lblWidth_Select(int index);
    void lblColor_Select(int index);
    void picHead_Resize();
    void picMesg_Resize();
    void cmdClear_Click();
    void cmdExit_Click();

    void SetButtonIndicator(int button, bool held);

    bool penDown = false;
    int16_t currentWidthIndex = 0;
    int16_t currentColorIndex = 0;
    uint8_t savedButtonMode = 0;

    tk::Control* picHead = nullptr;
    tk::Control* imgIcon = nullptr;
    tk::Control* lblTitle = nullptr;
    tk::Control* cmdClear = nullptr;
    tk::Control* cmdExit = nullptr;
    tk::Control* picHome = nullptr;
    tk::Control* picMesg = nullptr;
    tk::Control* lblHelpBox = nullptr;
    tk::Control* lblHelp = nullptr;
    tk::Control* lblWidthName = nullptr;
    std::array<tk::Control*, kWidthCount> lblWidth{};
    tk::Control* lblColorName = nullptr;
    std::array<tk::Control*, kSwatchCount> lblColor{};
    tk::Control* lblButtonName = nullptr;
    std::array<tk::Control*, kIndicatorCount> lblButton{};
};

extern FrmTest frmTest;

#endif
