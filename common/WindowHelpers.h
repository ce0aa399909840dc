// Window helpers shared by the programs: message boxes, centring, the vendor header
// of the dialogs, the return to the main window, the mouse cursor and the search for
// an earlier copy of a program.
#ifndef COMMON_WINDOWHELPERS_H
#define COMMON_WINDOWHELPERS_H

#include <windows.h>

#include <string>

#include "toolkit/tk.h"

// Message box styles the helpers combine.
constexpr unsigned kErrorBoxStyle = MB_ICONHAND | MB_SYSTEMMODAL;               // 0x1010
constexpr unsigned kAskYesNoStyle = MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL; // 4 + 32 + 4096

struct VendorHeader;

// The program's main window: the window that dialogs copy their header from and
// return to when they unload. Each program names it once at start, with its header.
void SetMainWindow(tk::Form& form, const VendorHeader& header);
tk::Form& MainWindow();

// How a failure's box looks, as each program's messages have it.
enum class FailureBox {
    Stop,               // a beep, then a system-modal stop box
    Plain,              // OK alone
    Exclamation,        // OK with the exclamation mark
    SystemExclamation,  // the same, system-modal
};
// The one way a program tells of a failure: text as the program words it, then, a blank line
// below, Windows' text for cause when there is one (0: none), in a box with OK titled title.
// The same text goes to the log named by LogFailuresWith. Returns the button pressed.
int ShowErrorBox(const std::string& text, const std::string& title, FailureBox look = FailureBox::Stop,
                 DWORD cause = ERROR_SUCCESS);
// Where ShowErrorBox writes each failure as well: the install side's log; nowhere until set.
void LogFailuresWith(void (*log)(const std::string& text));
// A system-modal Yes/No question; extraStyle adds e.g. MB_DEFBUTTON2. Returns IDYES or IDNO.
int AskYesNo(const std::string& text, unsigned extraStyle, const std::string& title);

// Where CenterForm puts a window of the given size, all in twips.
struct FormPlacement {
    long left;
    long top;
};
FormPlacement CenterPlacement(double screenWidth, double screenHeight, double formWidth, double formHeight);

// Horizontally centred, vertically centred in the upper 85 % of the screen.
void CenterForm(tk::Form& form);
// The vendor header: the vendor title (lblOemTitle) above the version line (lblSystem), and the
// program's icon (imgIcon) in a box (picIcon) at the right. Windows place the two labels
// differently; the rest is the same in every window that shows the header.
struct VendorHeaderPlace {
    double titleTop;      // twips
    double titleWidth;
    double versionWidth;
    bool versionSizedToText;
};
// The header's controls, as its form designed them.
struct VendorHeader {
    tk::Control* oemTitle = nullptr;  // lblOemTitle
    tk::Control* system = nullptr;    // lblSystem
    tk::Control* iconBox = nullptr;   // picIcon
    tk::Control* icon = nullptr;      // imgIcon
};
VendorHeader DesignVendorHeader(tk::Form& form, const VendorHeaderPlace& place, const std::string& versionCaption);

// Copies the main window's vendor title and version line into another window's header.
void CopyMainHeader(const VendorHeader& header);
// Centres imgIcon inside picIcon.
void CenterIcon(const VendorHeader& header);
// Copies the main window's vendor title and version line into a dialog's header, then centres the
// dialog and its icon.
void PrepareDialog(tk::Form& dialog, const VendorHeader& header);
// Shows the main window again and gives it the focus.
void ReturnToMainWindow();

// True when the file can be opened for reading (false for folders, locked files and "").
bool FileExists(const std::string& path);

// ShowCursor keeps a count that other code may have moved, so these loop until it crosses zero.
void HideMouseCursor();
void ShowMouseCursor();

// The top-level window of an earlier copy of a program: the first top-level window other than
// ownWindow, without a parent, whose caption is exactly caption. 0 when there is none.
HWND FindRunningInstance(HWND ownWindow, const std::string& caption);

#endif
