// The PS/2 port driver's file, which setup moves aside for the touch driver and the removal puts
// back. That driver serves the keyboard as well as the mouse: no program may lose it. Nothing here
// replaces or deletes a driver's file unless a whole image, on the disk, takes its place.
#ifndef COMMON_PORTDRIVERFILE_H
#define COMMON_PORTDRIVERFILE_H

#include <windows.h>

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

// Moves a driver's file as copy, verify, flush, delete: from goes only once to holds all of it on
// the disk, with the registry keys that the next start reads, so that a move cut off at any
// point, or by a power cut just after, leaves at least one whole file. A from that is not a whole
// image is not copied. copied tells whether to is whole; problem says what went wrong, with
// Windows' error text, or is "" when from is gone too.
struct WholeMove {
    bool copied;
    std::string problem;
};
WholeMove MoveWhole(const std::string& from, const std::string& to);

// Whether a driver's file can be read and is a whole program image: its headers there and every
// section's data inside the file, as a file cut short in its writing is not.
bool IsWholeImage(const std::string& path);
// Why a driver's file is not a whole image, with Windows' error text where it cannot be read; ""
// when it is one.
std::string WholeImageProblem(const std::string& path);

// Puts the port driver's file back for the next start, as the removal does: a whole i8042prt.sys
// stays (a setup cut off while it set the file aside leaves one beside the copy), else a whole
// copy aside is moved over it; a copy aside that is not whole is never copied. ERROR_SUCCESS when
// a whole i8042prt.sys is in place afterwards (a copy aside that then cannot be deleted is only
// logged); otherwise Windows' error code, with nothing replaced or deleted.
DWORD RestorePortDriverFile(const std::string& driversDir);

#endif
