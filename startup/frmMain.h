// The startup program's splash window: vendor name, version line and the program icon, on
// screen while the start procedure runs. A double-click on the icon opens the about window.
#ifndef STARTUP_FRMMAIN_H
#define STARTUP_FRMMAIN_H

#include "common/WindowHelpers.h"
#include "toolkit/tk.h"

class FrmMain : public tk::Form {
public:
    FrmMain();
    // Ends the program when another copy runs or the installation record cannot be read.
    void Form_Load() override;

private:
    void imgIcon_DblClick();

    VendorHeader header;
};

extern FrmMain frmMain;

#endif
