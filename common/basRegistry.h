// Thin wrapper over the ANSI registry functions. Every operation hands back its Outcome, with the
// registry's code for a failure, and never reports anything itself; callers decide what a failure
// means.
#ifndef COMMON_BASREGISTRY_H
#define COMMON_BASREGISTRY_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/Outcome.h"

// Opens parent\keyPath\subKey, creating it when missing. Fails at once on an empty keyPath
// (ERROR_INVALID_PARAMETER).
// A leading "\" of subKey is left out; an empty subKey opens keyPath alone. key is set only on
// success.
Outcome CreateKey(HKEY parent, const std::string& keyPath, const std::string& subKey, HKEY& key);
// Opens an existing key; key is set only on success.
Outcome OpenKey(HKEY parent, const std::string& keyPath, HKEY& key);
Outcome CloseKey(HKEY key);

// Reads a REG_SZ value, cut at its first NUL. Any other type fails with ERROR_INVALID_DATA, a value
// past the registry's 1 MiB with ERROR_NOT_ENOUGH_MEMORY. text is changed only on success.
Outcome QueryString(HKEY key, const std::string& valueName, std::string& text);
// Reads a 4-byte REG_DWORD value (anything else: ERROR_INVALID_DATA); value is changed only on
// success.
Outcome QueryDword(HKEY key, const std::string& valueName, uint32_t& value);

// Writes a REG_SZ value with its terminating NUL. Fails without a call when key is 0
// (ERROR_INVALID_HANDLE).
Outcome SetString(HKEY key, const std::string& valueName, const std::string& text);
Outcome SetDword(HKEY key, const std::string& valueName, uint32_t value);

// The text up to its first NUL character; the whole text when it has none.
std::string TrimAtNul(const std::string& text);

#endif
