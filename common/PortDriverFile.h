// The PS/2 port driver's file, which setup moves aside for the touch driver and the uninstaller
// puts back. That driver serves the keyboard as well as the mouse: neither program may lose it.
#ifndef COMMON_PORTDRIVERFILE_H
#define COMMON_PORTDRIVERFILE_H

#include <string>

// In the drivers folder: the driver's own file and its copy set aside.
constexpr char kPortDriverName[] = "i8042prt";
constexpr char kPortDriverInUse[] = ".sys";
constexpr char kPortDriverAside[] = ".off";

// One of the two files in a drivers folder (ending in "\").
inline std::string PortDriverPath(const std::string& driversDir, const char* extension) {
    return driversDir + kPortDriverName + extension;
}

// Whether a file or folder is at path.
bool IsThere(const std::string& path);

// Moves a file as copy, verify, delete: from goes only once to holds all of it, so that a move cut
// off at any point leaves at least one whole file. copied tells whether to is whole; problem says
// what went wrong, with Windows' error text, or is "" when from is gone too.
struct WholeMove {
    bool copied;
    std::string problem;
};
WholeMove MoveWhole(const std::string& from, const std::string& to);

// Whether a driver's file can be read and is a whole program image: its headers there and every
// section's data inside the file, as a file cut short in its writing is not.
bool IsWholeImage(const std::string& path);

#endif
