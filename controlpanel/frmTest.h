// The drawing test: freehand drawing with the touch on a full-screen white area, pen colours and
// widths, and indicators of the held mouse buttons. The driver is held in drag-drop mode meanwhile.
#ifndef CONTROLPANEL_FRMTEST_H
#define CONTROLPANEL_FRMTEST_H

#include <cstdint>

#include "toolkit/tk.h"

class FrmTest : public tk::Form {
public:
    FrmTest();
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;

private:
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
};

extern FrmTest frmTest;

#endif
