// The startup program's about window: the splash window's vendor title and version line and
// the copyright notice. Closing it brings the splash window back.
#ifndef STARTUP_FRMABOUT_H
#define STARTUP_FRMABOUT_H

#include "toolkit/tk.h"

class FrmAbout : public tk::Form {
public:
    FrmAbout();
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    void cmdOK_Click();
};

extern FrmAbout frmAbout;

#endif
