// The about window of the control panel and of the startup program: the main window's vendor
// title and version line, and the copyright notice. Closing it brings the main window back.
#ifndef COMMON_FRMABOUT_H
#define COMMON_FRMABOUT_H

#include "common/WindowHelpers.h"
#include "toolkit/tk.h"

class FrmAbout : public tk::Form {
public:
    FrmAbout();
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    void cmdOK_Click();

    VendorHeader header;
    tk::Control* lblCopyright;
};

extern FrmAbout frmAbout;

#endif
