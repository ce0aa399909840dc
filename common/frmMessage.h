// The progress window of setup and of the uninstaller: the program's icon and one line of text
// saying what is being done.
#ifndef COMMON_FRMMESSAGE_H
#define COMMON_FRMMESSAGE_H

#include <string>

#include "toolkit/tk.h"

class FrmMessage : public tk::Form {
public:
    FrmMessage();
    void Form_Load() override;

    // The caption the window takes when it loads.
    std::string title;

    tk::Control* imgMsg;
    tk::Control* lblMsg;
};

extern FrmMessage frmMessage;

// Shows text in the progress window, which is loaded first when needed (captioned title), laid
// out, placed by centre, shown without waiting and painted at once.
void ShowProgressMessage(const std::string& text, const std::string& title, void (*centre)(tk::Form&));

#endif
