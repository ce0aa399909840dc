// The setup information file "setup.oem" that the suite's installer may leave in the
// installation folder.
#ifndef SETUP_BASINIFILE_H
#define SETUP_BASINIFILE_H

#include <string>

// Appended to the installation folder.
constexpr char kSetupInfoFile[] = "\\setup.oem";

// The entry's value without trailing blanks; "" when the file, section or key is missing or the
// entry is empty.
std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key);

#endif
