// The right-button tool's only window: one picture button, topmost in the bottom-right
// corner of the work area, that arms the driver's right-button function for the next touch.
#ifndef RIGHTBUTTON_FRMMAIN_H
#define RIGHTBUTTON_FRMMAIN_H

#include <windows.h>

#include "toolkit/tk.h"

// Stands in front of the form's own window procedure and takes the commands other programs
// send as WM_USER; everything else goes on unchanged.
LRESULT CALLBACK RBF_WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

class FrmMain : public tk::Form {
public:
    FrmMain();

    // Loads the window, registers it with the driver and shows it in its corner. Ends the
    // program when the driver cannot be opened or another tool is already running.
    void Start();

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void Form_KeyPress(int& keyAscii) override;
    void Form_MouseDown(int button, int shift, double x, double y) override;

private:
    void FitClientToButton();
    void MoveToWorkAreaCorner();

    void cmdAction_Click();

    tk::Control* cmdAction;
};

extern FrmMain frmMain;

#endif
