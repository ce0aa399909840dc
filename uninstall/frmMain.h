// The uninstaller's confirmation window: the vendor header, the warning and the question, and Yes
// or No. Its width follows the caption; the warning's frame and the buttons are centred in it,
// with an etched rule between them.
#ifndef UNINSTALL_FRMMAIN_H
#define UNINSTALL_FRMMAIN_H

#include "common/WindowHelpers.h"
#include "toolkit/tk.h"

class FrmMain : public tk::Form {
public:
    FrmMain();
    // Ends the program when the installation record cannot be read.
    void Form_Load() override;

private:
    void cmdYes_Click();
    void cmdNo_Click();

    VendorHeader header;
    tk::Control* shpRemoval;
    tk::Control* lblAsk;
    tk::Control* cmdYes;
    tk::Control* cmdNo;
};

extern FrmMain frmMain;

// What the layout is made from and what it gives, in twips. The frame is the outer width less
// the inner one.
struct RemovalMeasures {
    double formWidth, frameWidth, captionWidth;
    double yesWidth, noWidth, yesTop, noHeight;
    double shapeWidth;
};
struct RemovalLayout {
    double formWidth;
    double shapeLeft, yesLeft, noLeft;
    long ruleX, ruleY, ruleLength;
};
// Wide enough for the caption beside two buttons; the frame and the buttons centred by the
// runtime's rounding (a whole twip, then halved toward zero); the rule just wider than the frame,
// half a button above the buttons.
RemovalLayout LayOutRemoval(const RemovalMeasures& m);

#endif
