// The support window: the vendor's support bitmap with an OK button below it.
#ifndef CONTROLPANEL_FRMSUPPORT_H
#define CONTROLPANEL_FRMSUPPORT_H

#include "toolkit/tk.h"

class FrmSupport : public tk::Form {
public:
    FrmSupport();
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    void cmdOK_Click();

    tk::Control* picSupport = nullptr;
    tk::Control* cmdOK = nullptr;
};

extern FrmSupport frmSupport;

#endif
