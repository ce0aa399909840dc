// The checks a program's main window makes while it loads, before it shows anything of its own:
// only one copy runs, the installation record must be there, and the driver must open.
#ifndef COMMON_STARTCHECKS_H
#define COMMON_STARTCHECKS_H

#include "toolkit/tk.h"

// When an earlier copy runs, brings its window (the one captioned like form) to the front, or
// says that it cannot be found, and ends the program. Does nothing in the first copy.
void EndIfAnotherCopyRuns(tk::Form& form);

// Loads the installation record under the hourglass; when it is incomplete, says so and ends
// the program.
void LoadInstallationRecordOrEnd(tk::Form& form);

// Opens the touch driver's channel; when it cannot be opened, says so and ends the program.
void OpenTouchDriverOrEnd();

#endif
