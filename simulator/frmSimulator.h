// The touch simulator's own window: what it does, the raw point of the last touch, the check box
// that makes the mouse a plain mouse again, and Close. Presses on it are never touches.
#ifndef SIMULATOR_FRMSIMULATOR_H
#define SIMULATOR_FRMSIMULATOR_H

#include "toolkit/tk.h"

class FrmSimulator : public tk::Form {
public:
    FrmSimulator();
    // Ends the program when the driver cannot be opened.
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    void chkPlainMouse_Click();
    void cmdClose_Click();

    tk::Control* lblRaw;
    tk::Control* chkPlainMouse;
};

extern FrmSimulator frmSimulator;

#endif
