// The about window: vendor title, version line and copyright notice.
#ifndef CONTROLPANEL_FRMABOUT_H
#define CONTROLPANEL_FRMABOUT_H

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
